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
cmake --install "$build" >/dev/null

# The suites run in a process group of their own: when this command is
# interrupted or killed, the whole group ends with it (in a namespace, its
# first process takes every other one along).
# Outside a namespace, Xvfb and the Wine server leave that group, so they
# are ended by their pid file and by the prefix.
xvfb_pid_file="$build/xvfb.pid"
rm -f "$xvfb_pid_file"
ZYM_XVFB_PID_FILE="$xvfb_pid_file" \
  setsid bash "$root/scripts/isolated.sh" bash "$root/scripts/ctest-under-wine.sh" "$build" "$@" &
suites=$!
end_suites() {
  if kill -TERM -- "-$suites" 2>/dev/null; then
    for _ in $(seq 50); do kill -0 -- "-$suites" 2>/dev/null || break; sleep 0.1; done
    kill -KILL -- "-$suites" 2>/dev/null || true
  fi
  WINEPREFIX="$build/wine-prefix" wineserver -k >/dev/null 2>&1 || true
  local xvfb
  xvfb=$(cat "$xvfb_pid_file" 2>/dev/null || true)
  if [ -n "$xvfb" ] && grep -q Xvfb "/proc/$xvfb/cmdline" 2>/dev/null; then kill "$xvfb" 2>/dev/null || true; fi
}
trap 'end_suites; exit 130' INT
trap 'end_suites; exit 143' TERM HUP
status=0
wait "$suites" || status=$?
trap - INT TERM HUP
echo "whole run: $(( $(date +%s) - start )) s"
exit "$status"
