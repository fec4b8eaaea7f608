#!/usr/bin/env bash
# The main job: two chat components hold a conversation through a local IRC
# server (ngircd on loopback, port 6667), then everything started here stops.
#
#   scripts/run-demo.sh                          the conversation, non-interactive
#   scripts/run-demo.sh --interactive [NICK] [CHANNEL]
#                                              chat by hand with the console host
#   scripts/run-demo.sh --tls [...]              the same over TLS: a demo authority
#                                              trusted only in the demo's prefix,
#                                              the server's TLS port on localhost;
#                                              prints the protocol and cipher
#
# Installs what is missing, builds, and runs the Windows programs under Wine.
# The conversation runs in a network of its own where root may make one, so
# nothing else on port 6667 can disturb it. ZYM_BUILD_DIR chooses the folder
# of the build folders as for scripts/run-tests.sh; ZYM_DEMO_ADDRESS the
# loopback address the server listens on (when it is taken, the next free
# one is used). A second --interactive run while the first one's server is
# up joins it. The programs are the 32-bit build where this machine runs
# 32-bit programs, else the 64-bit one; ZYM_ARCHS=x86_64 (or i686) chooses.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/arch-lib.sh"
if [ -z "${ZYM_DEMO_ARCH:-}" ]; then
  # What runs here is known only once everything is installed.
  bash "$root/scripts/setup-debian.sh"
  zym_pick_arch || exit 1
  ZYM_DEMO_ARCH=$zym_arch
  export ZYM_DEMO_ARCH
fi
preset=mingw-$ZYM_DEMO_ARCH
builds="${ZYM_BUILD_DIR:-$root/build}"
# Relative to where the command was started; Wine needs it absolute.
mkdir -p "$builds/$preset"
build=$(cd "$builds/$preset" && pwd)
address="${ZYM_DEMO_ADDRESS:-127.0.3.100}"

mode=demo nick=guest channel="#lobby" tls=""
if [ "${1:-}" = --tls ]; then
  tls=yes
  shift
fi
case "${1:-}" in
  "") ;;
  --interactive | -i)
    mode=interactive
    nick="${2:-guest}"
    channel="${3:-#lobby}"
    ;;
  *)
    sed -n '2,/^set /s/^# \{0,1\}//p' "$0" >&2
    exit 2
    ;;
esac
case "$address" in
  127.*) ;;
  *) echo "ZYM_DEMO_ADDRESS must be a loopback address (127.x.x.x)" >&2; exit 2 ;;
esac

cd "$root"
if [ -z "${ZYM_ISOLATED:-}" ]; then
  cmake --preset "$preset" -B "$build" >/dev/null
  cmake --build "$build" --target ChatDemo ChatHost ${tls:+TrustTestAuthority} >/dev/null
  # The conversation needs nobody else: it runs in a network and process
  # namespace of its own (see isolated.sh), which ends with it. People who
  # chat by hand must reach one server, so that stays on the machine's
  # loopback.
  if [ "$mode" = demo ]; then
    ZYM_BUILD_DIR="$builds" exec bash "$root/scripts/isolated.sh" bash "$0" ${tls:+--tls}
  fi
fi

. "$root/scripts/wine-env.sh"
# A prefix of its own: the demo may run while the tests use theirs, and each
# person chatting by hand has one, whose Wine server ends with the session.
if [ "$mode" = demo ]; then
  export WINEPREFIX="$build/demo-wine-prefix"
else
  export WINEPREFIX="$build/demo-wine-prefix-$nick"
fi

demo_dir="$build/demo"
mkdir -p "$demo_dir"
server_pid=""

cleanup_server() {
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$server_pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
    server_pid=""
  fi
}
cleanup() {
  if [ -n "$server_pid" ] && [ "$mode" = interactive ]; then
    rm -f "$demo_dir/ngircd.pid" "$demo_dir/ngircd.address"
  fi
  cleanup_server
  if [ -n "$tls" ] && [ -f "$tls_dir/authority.sha1" ]; then
    wine reg delete "HKLM\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\$(cat "$tls_dir/authority.sha1")" /f >/dev/null 2>&1 || true
  fi
  zym_down
}
trap cleanup EXIT

# True when the program with pid $2 listens on address $1, port 6667.
listening() { ss -Hltnp "src $1:6667" 2>/dev/null | grep -q "pid=$2,"; }
# Address and program of every listener on port 6667, for the messages.
holders() { ss -Hltnp 'sport = :6667' 2>/dev/null | awk '{print "  " $4, $6}' || true; }

ngircd_program=$(command -v ngircd 2>/dev/null || echo /usr/sbin/ngircd)
tls_dir="$demo_dir/tls"
tls_port=6697

# Starts ngircd on address $1; succeeds once it listens there.
start_server() {
  cat >"$demo_dir/ngircd.conf" <<EOF
[Global]
Name = irc.demo.local
Info = Local chat server of the demo
AdminInfo1 = Chat demo
AdminInfo2 = Loopback only
AdminEMail = nobody@demo.local
Listen = $1${tls:+,127.0.0.1}
Ports = 6667
MotdPhrase = "Welcome to the local chat server of the demo"
ServerUID = 65534
ServerGID = 65534
[Options]
PAM = no
Ident = no
DNS = no
EOF
  if [ -n "$tls" ]; then
    cat >>"$demo_dir/ngircd.conf" <<EOF
[SSL]
CertFile = $tls_dir/good.pem
KeyFile = $tls_dir/good.key
CipherList = SECURE128:-VERS-SSL3.0
Ports = $tls_port
EOF
  fi
  "$ngircd_program" -n -f "$demo_dir/ngircd.conf" >"$demo_dir/ngircd.log" 2>&1 &
  server_pid=$!
  for _ in $(seq 100); do
    kill -0 "$server_pid" 2>/dev/null || break
    listening "$1" "$server_pid" && return 0
    sleep 0.1
  done
  cleanup_server
  return 1
}

running_pid=$(cat "$demo_dir/ngircd.pid" 2>/dev/null || true)
running_address=$(cat "$demo_dir/ngircd.address" 2>/dev/null || true)
if [ "$mode" = interactive ] && [ -n "$running_pid" ] && [ -n "$running_address" ] &&
   listening "$running_address" "$running_pid"; then
  address=$running_address
  echo "* joining the server of the other session on $address"
else
  if [ -n "$tls" ]; then
    # A fresh authority for this session, for the server's certificate on
    # localhost; the key only lives in the build folder.
    bash "$root/Tests/Client/Components/ZymChat/Tls/make-test-certificates.sh" "$tls_dir" >/dev/null
    chmod 644 "$tls_dir/good.key"
  fi
  first=$address address=""
  for try in $(seq 0 9); do
    [ $(( ${first##*.} + try )) -le 254 ] || break
    candidate="${first%.*}.$(( ${first##*.} + try ))"
    if start_server "$candidate"; then address=$candidate; break; fi
  done
  if [ -z "$address" ]; then
    echo "ngircd could not listen on $first:6667 or the addresses after it; port 6667 is held by:" >&2
    holders >&2
    echo "ngircd's output:" >&2
    cat "$demo_dir/ngircd.log" >&2
    exit 1
  fi
  if [ "$address" != "$first" ]; then
    echo "* $first:6667 is taken; the server listens on $address instead. Port 6667 is held by:"
    holders
  fi
  if [ "$mode" = interactive ]; then
    echo "$server_pid" >"$demo_dir/ngircd.pid"
    echo "$address" >"$demo_dir/ngircd.address"
  fi
  echo "* ngircd listens on $address port 6667 (pid $server_pid)"
fi

zym_wine_up

server="$address"
if [ -n "$tls" ]; then
  if ! ss -Hltn "src 127.0.0.1:$tls_port" 2>/dev/null | grep -q .; then
    echo "the server takes no TLS on 127.0.0.1:$tls_port (was it started without --tls?)" >&2
    exit 1
  fi
  server="ircs://localhost:$tls_port"
  # Trusted in this prefix only, and taken out again when the demo ends.
  wine "$build/Tests/Client/Components/ZymChat/Tls/TrustTestAuthority.exe" \
    "$(wine winepath -w "$tls_dir/authority.der" 2>/dev/null)"
  # The components' log names what each connection negotiated.
  chat_log="$demo_dir/chat-$nick.log"
  : >"$chat_log"
  wine reg add 'HKCU\SOFTWARE\Quillmarsh\SkelvaneClient\2.0' /v ChatLogFile \
    /d "$(wine winepath -w "$chat_log" 2>/dev/null)" /f >/dev/null
  echo "* TLS on 127.0.0.1 port $tls_port; the server text is $server"
fi

status=0
if [ "$mode" = demo ]; then
  wine "$build/Tools/ChatDemo/ChatDemo.exe" --channel "$channel" "$server" </dev/null || status=$?
else
  if [ -n "$server_pid" ]; then
    echo "* another person can join: scripts/run-demo.sh ${tls:+--tls }--interactive OTHERNICK"
  fi
  wine "$build/Tools/ChatHost/ChatHost.exe" --nick "$nick" --channel "$channel" "$server" || status=$?
fi
if [ -n "$tls" ]; then
  wine reg delete 'HKCU\SOFTWARE\Quillmarsh\SkelvaneClient\2.0' /v ChatLogFile /f >/dev/null 2>&1 || true
  echo "* negotiated, as the components logged it:"
  grep -a "^TLS with " "$chat_log" | tr -d '\r' | sed 's/^/    /' || echo "    (nothing logged)"
fi
exit "$status"
