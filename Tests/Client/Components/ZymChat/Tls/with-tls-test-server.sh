#!/usr/bin/env bash
# with-tls-test-server.sh COMMAND [ARG ...]
# Starts tls-test-server.py with the certificates in ZYM_TLS_CERTS on the
# first free port of 127.0.0.1 from 7100 on, runs COMMAND with
# ZYM_TLS_CONTROL naming its control address, and stops the server by its pid.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ -n "${ZYM_TLS_CERTS:-}" ] || { echo "ZYM_TLS_CERTS is not set (run through with-tls-authority.sh)" >&2; exit 2; }
python=$(command -v /usr/bin/python3 python3 2>/dev/null | head -n1 || true)
[ -n "$python" ] || { echo "python3 is not installed (scripts/setup-debian.sh installs it)" >&2; exit 2; }

port=""
for candidate in $(seq 7100 7140); do
  if [ -z "$(ss -Hltn "src 127.0.0.1:$candidate" 2>/dev/null)" ]; then port=$candidate; break; fi
done
[ -n "$port" ] || { echo "no free control port on 127.0.0.1 from 7100 to 7140" >&2; exit 1; }

log="$ZYM_TLS_CERTS/../tls-test-server.log"
fifo=$(mktemp -u "${TMPDIR:-/tmp}/zym-tls.XXXXXX")
mkfifo "$fifo"
"$python" "$here/tls-test-server.py" "127.0.0.1:$port" "$ZYM_TLS_CERTS" >"$fifo" 2>"$log" &
server_pid=$!
stop() { kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; }
trap stop EXIT
ready=""
read -r -t 15 ready <"$fifo" || true
rm -f "$fifo"
if [ "$ready" != listening ]; then
  echo "the TLS test server did not start:" >&2
  cat "$log" >&2
  exit 1
fi

status=0
ZYM_TLS_CONTROL="127.0.0.1:$port" "$@" || status=$?
exit "$status"
