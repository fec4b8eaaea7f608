#!/usr/bin/env bash
# Installs what is missing, builds the kit for 32-bit Windows and runs every
# test under Wine and a virtual X display. Extra arguments go to ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset=mingw-i686
# ZYM_BUILD_DIR lets several work trees or builds live side by side.
build="${ZYM_BUILD_DIR:-$root/build/$preset}"
# Relative to where the command was started; Wine needs it absolute.
mkdir -p "$build"
build=$(cd "$build" && pwd)

bash "$root/scripts/setup-debian.sh"

cd "$root"
start=$(date +%s)
cmake --preset "$preset" -B "$build" >/dev/null
cmake --build "$build"

status=0
bash "$root/scripts/isolated.sh" bash "$root/scripts/ctest-under-wine.sh" "$build" "$@" || status=$?
echo "whole run: $(( $(date +%s) - start )) s"
exit "$status"
