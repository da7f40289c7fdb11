#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite; then the
# same suite built with AddressSanitizer and UndefinedBehaviorSanitizer, and
# every fuzz target for a bounded time from its corpus (docs/fuzzing.md).
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
jobs=$(nproc)
cmake --preset default >/dev/null
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
tools/run-fuzzers.sh 6
