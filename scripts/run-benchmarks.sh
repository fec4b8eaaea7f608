#!/usr/bin/env bash
# Installs what is missing, builds what the benchmarks need and runs all of
# them under Wine: chat inbound dispatch, send delay, idle CPU, extraction.
# Ends with a summary of one figure per line. A measurement, not a test:
# timings on a shared machine are no pass/fail criterion, and the command
# fails only when a benchmark could not run or lost data.
# The build measured is chosen as for scripts/run-demo.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/arch-lib.sh"

bash "$root/scripts/setup-debian.sh"
zym_pick_arch || exit 1
preset=mingw-$zym_arch
build="${ZYM_BUILD_DIR:-$root/build}/$preset"
echo "* benchmarks of the $(zym_arch_name "$zym_arch") build"

cd "$root"
cmake --preset "$preset" -B "$build" >/dev/null
cmake --build "$build" --target ZymChat ZymChatBenchmark ZymShared ExtractBenchmark ExtractFloor

exec bash "$root/scripts/isolated.sh" bash "$root/scripts/benchmarks-under-wine.sh" "$build"
