#!/usr/bin/env bash
# isolated.sh COMMAND [ARG ...]
# Runs COMMAND in a network namespace of its own, whose loopback no other
# program shares: a system IRC service on 0.0.0.0:6667 or another test run
# cannot take the addresses our servers bind. It is also a process namespace
# of its own, so that every process started inside (Xvfb, the Wine server,
# the IRC servers) ends with COMMAND, even when the run is killed.
# Where namespaces cannot be made (not root, no unshare), or with
# ZYM_NO_NAMESPACE=1, COMMAND runs on the machine's loopback: the servers
# then move to free addresses, and this script says what holds port 6667.
set -euo pipefail

if [ -n "${ZYM_ISOLATED:-}" ]; then
  exec "$@"
fi

if [ "${ZYM_NO_NAMESPACE:-}" != 1 ] && [ "$(id -u)" -eq 0 ] && command -v unshare >/dev/null 2>&1 &&
   unshare -n -p -f --mount-proc true 2>/dev/null; then
  exec env ZYM_ISOLATED=1 unshare -n -p -f --kill-child --mount-proc \
    bash -c 'ip link set lo up && exec "$@"' isolated "$@"
fi

echo "note: no private network namespace (it needs root and unshare); the tests share the machine's loopback" >&2
# The chat component connects to port 6667 only. A listener on every
# address takes that port on all of 127.0.0.0/8, so no test server can
# listen; one on single addresses only moves the test servers elsewhere.
holders=$(ss -Hltnp 'sport = :6667' 2>/dev/null || true)
if [ -n "$holders" ]; then
  if awk '{print $4}' <<<"$holders" | grep -Eq '^(0\.0\.0\.0|\*|\[::\]):6667$'; then
    echo "error: port 6667 of every address is taken, so the chat tests cannot start their servers:" >&2
    echo "$holders" | sed 's/^/  /' >&2
    echo "  stop that program (an IRC service: /etc/init.d/ngircd stop, systemctl stop inspircd)," >&2
    echo "  or run as root, where the tests get a network of their own" >&2
  else
    echo "note: port 6667 is in use on some loopback addresses; test servers move to free ones:" >&2
    echo "$holders" | sed 's/^/  /' >&2
  fi
fi
exec "$@"
