#!/usr/bin/env bash
# isolated.sh COMMAND [ARG ...]
# Runs COMMAND in a network namespace of its own, whose loopback no other
# program shares: a system IRC service on 0.0.0.0:6667 or another test run
# cannot take the addresses our servers bind. It is also a process namespace
# of its own, so that every process started inside (Xvfb, the Wine server,
# the IRC servers) ends with COMMAND, even when the run is killed.
# Where namespaces cannot be made (not root, no unshare), COMMAND runs as it
# is, and the servers' address checks say what holds a port.
set -euo pipefail

if [ -n "${ZYM_ISOLATED:-}" ]; then
  exec "$@"
fi

if [ "$(id -u)" -eq 0 ] && command -v unshare >/dev/null 2>&1 &&
   unshare -n -p -f --mount-proc true 2>/dev/null; then
  exec env ZYM_ISOLATED=1 unshare -n -p -f --kill-child --mount-proc \
    bash -c 'ip link set lo up && exec "$@"' isolated "$@"
fi

echo "note: no private network namespace here (needs root and unshare); tests share the machine's loopback" >&2
exec "$@"
