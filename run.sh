#!/usr/bin/env bash
# Installs what is missing, builds the program and runs it. An argument names
# a settings file for one batch conversion; the program runs in the caller's
# working directory and reads the file as given. With no argument it opens
# in a copy of samples/ under build/, so that what it writes (grids, its
# settings file) stays out of the tracked files; files already in the copy
# are kept, so the settings of the last run are offered again.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
(
  cd "$root"
  tools/install-deps.sh
  cmake --preset default >/dev/null
  cmake --build --preset default -j "$(nproc)" --target zeltramo
)
if [ "$#" -eq 0 ]; then
  run_dir="$root/build/sample-run"
  mkdir -p "$run_dir"
  cp -n "$root"/samples/* "$run_dir"/
  cd "$run_dir"
fi
exec "$root/build/app/zeltramo" "$@"
