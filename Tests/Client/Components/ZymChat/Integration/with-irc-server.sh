#!/usr/bin/env bash
# with-irc-server.sh KIND ADDRESS WORKDIR COMMAND [ARG ...]
# Starts a private IRC server (KIND ngircd, inspircd, inspircd-ircv3: InspIRCd
# with its IRCv3 capability modules loaded, or inspircd-services: the same
# linked to Anope's services on port 7001 of its address, for SASL) on a
# loopback address,
# port 6667, with a configuration written into WORKDIR, runs COMMAND with
# ZYM_IRC_SERVER (the address) and ZYM_IRC_KIND set, stops the server by its
# pid and exits with COMMAND's status. ADDRESS is the first choice: when
# another program (another build folder's test run) already listens there,
# the next free one of ADDRESS+20, +40, ... in its last byte is taken. The
# server pings idle clients every few seconds, so that a short test sees
# several PINGs.
# With ZYM_TLS_CERTS naming a folder of with-tls-authority.sh, the server also
# takes TLS on 127.0.0.1 (the certificate is for localhost) at the first free
# port from 6697 on, announced as ZYM_IRC_TLS_SERVER="ircs://localhost:PORT".
# ZYM_TLS_REQUEST_CLIENT_CERT=yes makes InspIRCd ask every TLS client for a
# certificate during the handshake (which a client without one may decline).
# With inspircd-services, InspIRCd then hands the certificate's SHA-256
# fingerprint to the services (sslinfo), whose NickServ CERT list and SASL
# EXTERNAL log in by it.
set -euo pipefail
kind=$1 first=$2 workdir=$3
shift 3

case "$first" in
  127.*.*.*) ;;
  *) echo "refusing to listen outside loopback: $first" >&2; exit 2 ;;
esac
case "$kind" in
  ngircd | inspircd | inspircd-ircv3 | inspircd-services) ;;
  *) echo "unknown server kind: $kind" >&2; exit 2 ;;
esac
server=${kind%-ircv3}
server=${server%-services}

mkdir -p "$workdir"
workdir=$(cd "$workdir" && pwd)
log="$workdir/$kind.log"
: >"$log"

program=$(command -v "$server" 2>/dev/null || true)
[ -n "$program" ] || { [ -x "/usr/sbin/$server" ] && program="/usr/sbin/$server"; }
[ -n "$program" ] || { echo "$server is not installed (scripts/setup-debian.sh installs it)" >&2; exit 2; }

tls_certs=${ZYM_TLS_CERTS:-}
tls_port=""
request_client_cert=${ZYM_TLS_REQUEST_CLIENT_CERT:-no}
case "$request_client_cert" in
  yes | no) ;;
  *) echo "ZYM_TLS_REQUEST_CLIENT_CERT must be yes or no: $request_client_cert" >&2; exit 2 ;;
esac
if [ "$request_client_cert" = yes ] && { [ "$server" != inspircd ] || [ -z "$tls_certs" ]; }; then
  echo "ZYM_TLS_REQUEST_CLIENT_CERT=yes needs inspircd with TLS (ZYM_TLS_CERTS)" >&2
  exit 2
fi
if [ -n "$tls_certs" ]; then
  # The server may read its key after it has dropped root.
  cp "$tls_certs/good.pem" "$workdir/tls.pem"
  cp "$tls_certs/good.key" "$workdir/tls.key"
  chmod 644 "$workdir/tls.key"
  for candidate in $(seq 6697 6737); do
    if [ -z "$(ss -Hltn "src 127.0.0.1:$candidate" 2>/dev/null)" ]; then tls_port=$candidate; break; fi
  done
  [ -n "$tls_port" ] || { echo "no free TLS port on 127.0.0.1 from 6697 to 6737" >&2; exit 1; }
fi

write_config() {
  local address=$1
  if [ "$kind" = ngircd ]; then
    # ngircd listens on every address for every port; the plain port on
    # 127.0.0.1 may be taken by another server, which ngircd reports and
    # carries on.
    cat >"$workdir/ngircd.conf" <<EOF
[Global]
Name = irc.ngircd.test
Info = Integration test server
AdminInfo1 = Integration tests
AdminInfo2 = Loopback
AdminEMail = nobody@ngircd.test
Listen = $address${tls_port:+,127.0.0.1}
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
    if [ -n "$tls_port" ]; then
      cat >>"$workdir/ngircd.conf" <<EOF
[SSL]
CertFile = $workdir/tls.pem
KeyFile = $workdir/tls.key
CipherList = SECURE128:-VERS-SSL3.0
Ports = $tls_port
EOF
    fi
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
    if [ "$kind" != inspircd ]; then
      for module in cap ircv3 ircv3_servertime ircv3_msgid ircv3_accounttag ircv3_capnotify \
                    ircv3_chghost ircv3_ctctags ircv3_echomessage ircv3_invitenotify ircv3_batch namesx uhnames; do
        echo "<module name=\"$module\">" >>"$workdir/inspircd.conf"
      done
    fi
    if [ "$kind" = inspircd-services ]; then
      write_services_config "$address"
    fi
    if [ -n "$tls_port" ]; then
      cat >>"$workdir/inspircd.conf" <<EOF
<module name="ssl_gnutls">
<sslprofile name="Clients" provider="gnutls" certfile="$workdir/tls.pem" keyfile="$workdir/tls.key" dhfile="" requestclientcert="$request_client_cert" hash="sha256">
<bind address="127.0.0.1" port="$tls_port" type="clients" sslprofile="Clients">
EOF
      if [ "$kind" = inspircd-services ]; then
        echo '<module name="sslinfo">' >>"$workdir/inspircd.conf"
      fi
    fi
  fi
}

# InspIRCd's link to Anope, and Anope's configuration: Debian's own, with the
# uplink, the server's name, its files, the case mapping and the session
# limit changed.
write_services_config() {
  local address=$1
  cat >>"$workdir/inspircd.conf" <<EOF
<bind address="$address" port="7001" type="servers">
<module name="spanningtree">
<module name="services_account">
<module name="sasl">
<module name="chgident">
<module name="chghost">
<module name="sethost">
<module name="hidechans">
<module name="topiclock">
<module name="svshold">
<module name="servprotect">
<sasl target="services.test" requiressl="no">
<link name="services.test" ipaddr="$address" port="7001" allowmask="127.0.0.0/8" sendpass="linkpass" recvpass="linkpass">
<uline server="services.test" silent="yes">
EOF
  rm -rf "$workdir/anope"
  mkdir -p "$workdir/anope/conf" "$workdir/anope/db" "$workdir/anope/logs"
  cp /etc/anope/*.conf /etc/anope/services.motd "$workdir/anope/conf/"
  sed -i \
    -e "/^uplink\$/,/^}/ { s|^\(\s*\)host = .*|\1host = \"$address\"|; s|^\(\s*\)port = .*|\1port = 7001|; s|^\(\s*\)password = .*|\1password = \"linkpass\"| }" \
    -e "/^serverinfo\$/,/^}/ { s|^\(\s*\)name = .*|\1name = \"services.test\"|; s|^\(\s*\)pid = .*|\1pid = \"$workdir/anope/anope.pid\"|; s|^\(\s*\)motd = .*|\1motd = \"$workdir/anope/conf/services.motd\"| }" \
    -e 's|^\(\s*\)casemap = "ascii"|\1casemap = "rfc1459"|' \
    -e 's|^\(\s*\)usemail = yes|\1usemail = no|' \
    "$workdir/anope/conf/services.conf"
  # Every client of a test comes from 127.0.0.1: no limit of sessions per host.
  sed -i 's|^\(\s*\)defaultsessionlimit = .*|\1defaultsessionlimit = 0|' "$workdir/anope/conf/operserv.conf"
}

services_pid=""
# Starts Anope and waits until it has linked and synced with the server.
start_services() {
  /usr/sbin/anope --confdir="$workdir/anope/conf" --dbdir="$workdir/anope/db" \
    --logdir="$workdir/anope/logs" --modulesdir=/usr/lib/anope \
    --localedir=/usr/share/anope/locale --nofork >>"$workdir/anope.log" 2>&1 &
  services_pid=$!
  for _ in $(seq 150); do
    kill -0 "$services_pid" 2>/dev/null || break
    if grep -q 'services.test .* is done syncing' "$workdir/anope.log"; then return 0; fi
    sleep 0.1
  done
  echo "Anope did not link to the server; its output:" >&2
  cat "$workdir/anope.log" >&2
  return 1
}

stop_services() {
  [ -n "$services_pid" ] || return 0
  kill "$services_pid" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$services_pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$services_pid" 2>/dev/null || true
  wait "$services_pid" 2>/dev/null || true
  services_pid=""
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
trap 'stop_services; stop_server' EXIT

# Starts the server on address; succeeds once the listener there is this
# server's own (InspIRCd keeps running when its address is taken).
start_on() {
  local address=$1
  write_config "$address"
  if [ "$server" = ngircd ]; then
    "$program" -n -f "$workdir/ngircd.conf" >>"$log" 2>&1 &
  else
    "$program" --config="$workdir/inspircd.conf" --nofork --runasroot >>"$log" 2>&1 &
  fi
  server_pid=$!
  for _ in $(seq 100); do
    kill -0 "$server_pid" 2>/dev/null || break
    if listeners "$address" | grep -qx "$server_pid" &&
       { [ -z "$tls_port" ] || ss -Hltnp "src 127.0.0.1:$tls_port" 2>/dev/null | grep -q "pid=$server_pid,"; }; then
      return 0
    fi
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

if [ "$kind" = inspircd-services ]; then
  [ -x /usr/sbin/anope ] || { echo "anope is not installed (scripts/setup-debian.sh installs it)" >&2; exit 2; }
  start_services || exit 1
fi

status=0
if [ -n "$tls_port" ]; then
  export ZYM_IRC_TLS_SERVER="ircs://localhost:$tls_port"
fi
ZYM_IRC_SERVER="$address" ZYM_IRC_KIND="$kind" "$@" || status=$?
exit "$status"
