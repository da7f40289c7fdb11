#!/usr/bin/env bash
# Installs what is missing, builds the program and runs it. With no argument
# it opens the bundled sample model; an argument names a settings file for
# one batch conversion.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target zeltramo
exec build/app/zeltramo "$@"
