#!/usr/bin/env bash
# with-irc-server.sh KIND ADDRESS WORKDIR COMMAND [ARG ...]
# Starts a private IRC server (KIND ngircd or inspircd) on a loopback address,
# port 6667, with a configuration written into WORKDIR, runs COMMAND with
# ZYM_IRC_SERVER (the address) and ZYM_IRC_KIND set, stops the server by its
# pid and exits with COMMAND's status. ADDRESS is the first choice: when
# another program (another build folder's test run) already listens there,
# the next free one of ADDRESS+20, +40, ... in its last byte is taken. The
# server pings idle clients every few seconds, so that a short test sees
# several PINGs.
set -euo pipefail
kind=$1 first=$2 workdir=$3
shift 3

case "$first" in
  127.*.*.*) ;;
  *) echo "refusing to listen outside loopback: $first" >&2; exit 2 ;;
esac
case "$kind" in
  ngircd | inspircd) ;;
  *) echo "unknown server kind: $kind" >&2; exit 2 ;;
esac

mkdir -p "$workdir"
workdir=$(cd "$workdir" && pwd)
log="$workdir/$kind.log"
: >"$log"

program=$(command -v "$kind" 2>/dev/null || true)
[ -n "$program" ] || { [ -x "/usr/sbin/$kind" ] && program="/usr/sbin/$kind"; }
[ -n "$program" ] || { echo "$kind is not installed (scripts/setup-debian.sh installs it)" >&2; exit 2; }

write_config() {
  local address=$1
  if [ "$kind" = ngircd ]; then
    cat >"$workdir/ngircd.conf" <<EOF
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
# No flood penalty (as fakelag="off" for InspIRCd): a test's burst of
# commands would otherwise be answered one per second.
MaxPenaltyTime = 0
[Options]
PAM = no
Ident = no
DNS = no
EOF
  else
    echo "Hello from the test server" >"$workdir/inspircd.motd"
    cat >"$workdir/inspircd.conf" <<EOF
<server name="irc.inspircd.test" description="Integration test server" network="TestNet">
<admin name="Integration tests" nick="admin" email="nobody@inspircd.test">
<bind address="$address" port="6667" type="clients">
<connect allow="*" pingfreq="5" timeout="20" fakelag="off" commandrate="100000" threshold="1000" localmax="50" globalmax="50" maxchans="50" limit="100" resolvehostnames="no">
<pid file="$workdir/inspircd.pid">
<files motd="$workdir/inspircd.motd">
<log method="file" type="* -USERINPUT -USEROUTPUT" level="default" target="$workdir/inspircd-server.log">
<options defaultmodes="not">
EOF
  fi
}

# The pids of the programs listening on address port 6667.
listeners() {
  ss -Hltnp "src $1:6667" 2>/dev/null | grep -o 'pid=[0-9]*' | cut -d= -f2 || true
}

# Address and program of every listener on port 6667, for the messages.
holders() {
  ss -Hltnp 'sport = :6667' 2>/dev/null | awk '{print "  " $4, $6}' || true
}

server_pid=""
stop_server() {
  [ -n "$server_pid" ] || return 0
  if kill -0 "$server_pid" 2>/dev/null; then
    kill "$server_pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$server_pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$server_pid" 2>/dev/null || true
  fi
  wait "$server_pid" 2>/dev/null || true
  server_pid=""
}
trap stop_server EXIT

# Starts the server on address; succeeds once the listener there is this
# server's own (InspIRCd keeps running when its address is taken).
start_on() {
  local address=$1
  write_config "$address"
  if [ "$kind" = ngircd ]; then
    "$program" -n -f "$workdir/ngircd.conf" >>"$log" 2>&1 &
  else
    "$program" --config="$workdir/inspircd.conf" --nofork --runasroot >>"$log" 2>&1 &
  fi
  server_pid=$!
  for _ in $(seq 100); do
    kill -0 "$server_pid" 2>/dev/null || break
    if listeners "$address" | grep -qx "$server_pid"; then return 0; fi
    sleep 0.1
  done
  stop_server
  return 1
}

prefix=${first%.*} last=${first##*.}
address=""
for try in $(seq 0 5); do
  candidate="$prefix.$((last + 20 * try))"
  [ $((last + 20 * try)) -le 254 ] || break
  [ -z "$(listeners "$candidate")" ] || continue
  if start_on "$candidate"; then address=$candidate; break; fi
done
if [ -z "$address" ]; then
  echo "$kind could not listen on $first:6667 or the addresses after it; port 6667 is held by:" >&2
  holders >&2
  echo "its output:" >&2
  cat "$log" >&2
  exit 1
fi
if [ "$address" != "$first" ]; then
  echo "$first:6667 was taken; $kind listens on $address:6667. Port 6667 is held by:"
  holders
fi

status=0
ZYM_IRC_SERVER="$address" ZYM_IRC_KIND="$kind" "$@" || status=$?
exit "$status"
