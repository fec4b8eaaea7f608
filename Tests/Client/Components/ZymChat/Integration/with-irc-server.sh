#!/usr/bin/env bash
# with-irc-server.sh KIND ADDRESS WORKDIR COMMAND [ARG ...]
# Starts a private IRC server (KIND ngircd or inspircd) on ADDRESS port 6667
# with a configuration written into WORKDIR, runs COMMAND with ZYM_IRC_SERVER
# and ZYM_IRC_KIND set, stops the server by its pid and exits with COMMAND's
# status. The server pings idle clients every few seconds, so that a short
# test sees several PINGs.
set -euo pipefail
kind=$1 address=$2 workdir=$3
shift 3

case "$address" in
  127.*) ;;
  *) echo "refusing to listen outside loopback: $address" >&2; exit 2 ;;
esac

mkdir -p "$workdir"
workdir=$(cd "$workdir" && pwd)
log="$workdir/$kind.log"
: >"$log"

program() {
  local p
  p=$(command -v "$1" 2>/dev/null || true)
  [ -n "$p" ] || { [ -x "/usr/sbin/$1" ] && p="/usr/sbin/$1"; }
  [ -n "$p" ] || { echo "$1 is not installed (tools/setup-debian.sh installs it)" >&2; exit 2; }
  echo "$p"
}

case "$kind" in
  ngircd)
    conf="$workdir/ngircd.conf"
    cat >"$conf" <<EOF
[Global]
Name = irc.ngircd.test
Info = Integration test server
AdminInfo1 = Integration tests
AdminInfo2 = Loopback
AdminEMail = nobody@ngircd.test
Listen = $address
Ports = 6667
MotdPhrase = "Hello from the test server"
ServerUID = 65534
ServerGID = 65534
[Limits]
PingTimeout = 5
PongTimeout = 10
MaxConnectionsIP = 20
[Options]
PAM = no
Ident = no
DNS = no
EOF
    "$(program ngircd)" -n -f "$conf" >>"$log" 2>&1 &
    ;;
  inspircd)
    conf="$workdir/inspircd.conf"
    echo "Hello from the test server" >"$workdir/inspircd.motd"
    cat >"$conf" <<EOF
<server name="irc.inspircd.test" description="Integration test server" network="TestNet">
<admin name="Integration tests" nick="admin" email="nobody@inspircd.test">
<bind address="$address" port="6667" type="clients">
<connect allow="*" pingfreq="5" timeout="20" fakelag="off" commandrate="100000" threshold="1000" localmax="50" globalmax="50" maxchans="50" limit="100" resolvehostnames="no">
<pid file="$workdir/inspircd.pid">
<files motd="$workdir/inspircd.motd">
<log method="file" type="* -USERINPUT -USEROUTPUT" level="default" target="$workdir/inspircd-server.log">
<options defaultmodes="not">
EOF
    "$(program inspircd)" --config="$conf" --nofork --runasroot >>"$log" 2>&1 &
    ;;
  *) echo "unknown server kind: $kind" >&2; exit 2 ;;
esac
server_pid=$!

stop_server() {
  if kill -0 "$server_pid" 2>/dev/null; then
    kill "$server_pid" 2>/dev/null || true
    local i
    for i in $(seq 50); do kill -0 "$server_pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$server_pid" 2>/dev/null || true
  fi
  wait "$server_pid" 2>/dev/null || true
}
trap stop_server EXIT

listening=0
for _ in $(seq 100); do
  if ! kill -0 "$server_pid" 2>/dev/null; then break; fi
  if (exec 3<>"/dev/tcp/$address/6667") 2>/dev/null; then listening=1; break; fi
  sleep 0.1
done
if [ "$listening" -ne 1 ]; then
  echo "$kind did not start listening on $address:6667; its output:" >&2
  cat "$log" >&2
  exit 1
fi

status=0
ZYM_IRC_SERVER="$address" ZYM_IRC_KIND="$kind" "$@" || status=$?
exit "$status"
