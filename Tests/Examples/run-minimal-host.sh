#!/usr/bin/env bash
# run-minimal-host.sh BUILD WORKDIR EXAMPLE_SOURCE TOOLCHAIN [OTHER_TOOLCHAIN]
# Installs BUILD into WORKDIR/kit, checks the install layout, builds the
# example host there with find_package(ZymKit), checks that it imports
# ZymShared.dll, and runs it under Wine against a private ngircd. With
# OTHER_TOOLCHAIN (one of the other architecture), a host configured with it
# must be refused by the kit's package. ZYM_PE_OBJDUMP names the objdump of
# the kit's architecture.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$1 work=$2 source=$3 toolchain=$4 other_toolchain=${5:-}
objdump=${ZYM_PE_OBJDUMP:?must name the objdump of the kit architecture}
cmake_=${ZYM_CMAKE:-cmake}

rm -rf "$work"
mkdir -p "$work"
kit="$work/kit"
"$cmake_" --install "$build" --prefix "$kit" >"$work/install.log"

status=0
fail() { echo "FAIL: $*"; status=1; }

expected="ChatHost.exe
ZymChat.dll
ZymShared.dll
include/ComponentInterfaces/BaseComponent.h
include/ComponentInterfaces/ChatComponent.h
include/ComponentInterfaces/ChatEventSink.h
include/ComponentInterfaces/ExtendedChatComponent.h
include/ComponentInterfaces/ExtendedChatEventSink.h
include/ComponentInterfaces/MessagingComponent.h
include/ZymShared.h
lib/cmake/ZymKit/ZymKitConfig.cmake
lib/cmake/ZymKit/ZymKitConfigVersion.cmake
lib/cmake/ZymKit/ZymKitTargets-CONFIG.cmake
lib/cmake/ZymKit/ZymKitTargets.cmake
lib/libZymShared.dll.a
uninstall.exe"
actual=$(cd "$kit" && find . -type f | sed "s|^\./||; s|ZymKitTargets-[a-z]*\.cmake|ZymKitTargets-CONFIG.cmake|" | LC_ALL=C sort)
echo "---- install folder ----"
echo "$actual"
[ "$actual" = "$expected" ] || { fail "the install folder differs from the expected layout:"; diff <(echo "$expected") <(echo "$actual") || true; }

generator=()
[ -z "${ZYM_GENERATOR:-}" ] || generator=(-G "$ZYM_GENERATOR")
"$cmake_" -S "$source" -B "$work/host" "${generator[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZymKit_DIR="$kit/lib/cmake/ZymKit" >"$work/configure.log" 2>&1 \
  || { cat "$work/configure.log"; echo "FAIL: the example host did not configure against the kit"; exit 1; }
"$cmake_" --build "$work/host" >"$work/build.log" 2>&1 \
  || { cat "$work/build.log"; echo "FAIL: the example host did not build against the kit"; exit 1; }

# A DLL loads only into a process of its own architecture: the package
# must say no at configure time rather than let the host fail at run time.
if [ -n "$other_toolchain" ]; then
  if "$cmake_" -S "$source" -B "$work/other-host" "${generator[@]}" \
       -DCMAKE_TOOLCHAIN_FILE="$other_toolchain" \
       -DZymKit_DIR="$kit/lib/cmake/ZymKit" >"$work/other-configure.log" 2>&1; then
    fail "a host of the other architecture configured against the kit"
  elif ! grep -q 'considered but not accepted' "$work/other-configure.log"; then
    cat "$work/other-configure.log"
    fail "a host of the other architecture was refused, but not by the package's version check"
  fi
fi

host="$work/host/MinimalHost.exe"
imports=$("$objdump" -p "$host" | sed -n 's/^\s*DLL Name: //p')
echo "---- MinimalHost.exe imports ----"
echo "$imports"
grep -qx 'ZymShared.dll' <<<"$imports" || fail "the example host does not import ZymShared.dll"
! grep -qix 'ZymChat.dll' <<<"$imports" || fail "the example host imports ZymChat.dll instead of loading it"

echo "---- MinimalHost.exe against ngircd ----"
rc=0
bash "$root/Tests/Client/Components/ZymChat/Integration/with-irc-server.sh" ngircd 127.0.3.5 "$work/server" \
  bash -c 'wine "$1" "$ZYM_IRC_SERVER" minimal </dev/null' run "$host" >"$work/host.log" 2>&1 || rc=$?
cat "$work/host.log"
[ "$rc" -eq 0 ] || fail "the example host exited with $rc"
grep -q '^welcomed by ' "$work/host.log" || fail "the example host was not welcomed"

# The kit copy and the host build are small, but they are only worth keeping
# for a look after a failure.
if [ "$status" -eq 0 ]; then rm -rf "$work"; else echo "kept for a look: $work"; fi
exit "$status"
