#!/usr/bin/env bash
# Runs every libFuzzer program of the `fuzz` preset from its committed corpus
# for a bounded time and number of runs; a crash, a sanitizer report, a slow
# input or a failed check fails the script, with the input that did it kept.
# Usage: tools/run-fuzzers.sh [seconds per target] [runs per target] [jobs]
# (jobs > 1 runs that many targets at once).
# (docs/fuzzing.md: building the programs and running them for longer).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-6}
runs=${2:-1000000}
bin=build-fuzz/tests
# The one leak report allowed, as in the sanitizer run (docs/fuzzing.md).
export LSAN_OPTIONS="suppressions=$PWD/tools/sanitize/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d "${TMPDIR:-/tmp}/quinda-fuzz-run-XXXXXX")
# The targets' scratch files go below one directory that goes whatever
# happens, also when a target crashes before it could remove its own.
export QUINDA_FUZZ_SCRATCH="$work/scratch"
mkdir -p "$QUINDA_FUZZ_SCRATCH"
trap 'rm -rf "$QUINDA_FUZZ_SCRATCH"' EXIT
failed=()
jobs=${3:-1}
run_one() {
  local program=$1 name
  name=$(basename "$program" _fuzz)
  # New inputs go to a scratch corpus; the committed one is only read.
  mkdir -p "$work/$name"
  if "$program" -max_total_time="$seconds" -runs="$runs" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$work/$name-" "$work/$name" "tests/fuzz/corpus/$name" >"$work/$name.log" 2>&1; then
    echo "fuzz $name: $(grep -Eo 'Done [0-9]+ runs' "$work/$name.log" | tail -1)"
  else
    touch "$work/$name.failed"
    echo "fuzz $name: FAILED"
    tail -n 40 "$work/$name.log"
  fi
}
running=0
for program in "$bin"/*_fuzz; do
  run_one "$program" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait
for f in "$work"/*.failed; do
  if [ -e "$f" ]; then failed+=("$(basename "$f" .failed)"); fi
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz targets failed: ${failed[*]}; inputs and logs in $work"
  exit 1
fi
rm -rf "$work"
