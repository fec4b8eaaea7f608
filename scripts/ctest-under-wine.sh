#!/usr/bin/env bash
# ctest-under-wine.sh BUILD [CTEST ARG ...]
# Brings up a virtual display and the build folder's Wine prefix and server,
# runs ctest there and takes down what it started.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# Wine takes only an absolute prefix path.
build=$(cd "$1" && pwd)
shift

. "$root/scripts/wine-env.sh"
trap zym_down EXIT
zym_x_up
# Xvfb leaves the caller's process group; a caller that must end it after a
# kill finds it here.
[ -z "${ZYM_XVFB_PID_FILE:-}" ] || echo "$zym_xvfb_pid" >"$ZYM_XVFB_PID_FILE"
zym_wine_up || exit 1

ctest --test-dir "$build" --output-on-failure --no-tests=error --timeout 300 "$@"
