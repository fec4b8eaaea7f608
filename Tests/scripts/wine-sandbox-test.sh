#!/usr/bin/env bash
# wine-sandbox-test.sh WORK_DIR
# The sandbox maker on prefixes that try to lead out of the sandbox: a base
# named through a link, a linked drive_c, a link inside drive_c to the
# outside. Needs no Wine: the prefixes are made by hand. Everything lives in
# WORK_DIR.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
script="$here/../../scripts/wine-sandbox.sh"
work=$1
rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd -P)
status=0
fail() { echo "FAIL: $*"; status=1; }

# make_base DIR: a prefix as Wine leaves it, with a drive Z: on the root and
# a user's folder linked to a folder outside (here: WORK_DIR/home).
make_base() {
  mkdir -p "$1/dosdevices" "$1/drive_c/users/someone" "$work/home"
  echo "WINE REGISTRY" >"$1/system.reg"
  ln -s ../drive_c "$1/dosdevices/c:"
  ln -s / "$1/dosdevices/z:"
  ln -s "$work/home" "$1/drive_c/users/someone/Desktop"
}

# A base named through a link: the copy is the sandbox's own, and the base
# keeps its drives and links.
make_base "$work/real-base"
ln -s "$work/real-base" "$work/linked-base"
prefix=$(bash "$script" "$work/linked-base" "$work/sb1") || fail "a linked base was refused"
[ -L "$work/sb1/prefix" ] && fail "the sandbox prefix is a link"
[ "$(ls "$work/sb1/prefix/dosdevices" | tr '\n' ' ')" = "c: d: " ] || fail "sandbox drives are not C: and D:"
[ -L "$work/sb1/prefix/drive_c/users/someone/Desktop" ] && fail "the user's folder is still a link"
[ "$(ls "$work/real-base/dosdevices" | tr '\n' ' ')" = "c: z: " ] || fail "the base lost its drives"
[ -L "$work/real-base/drive_c/users/someone/Desktop" ] || fail "the base's user folder was replaced"
[ "$prefix" = "$work/sb1/prefix" ] || fail "printed prefix $prefix"

# A linked drive_c would make C: the linked folder.
make_base "$work/outside-c"
make_base "$work/linked-c"
rm -rf "$work/linked-c/drive_c"
ln -s "$work/outside-c/drive_c" "$work/linked-c/drive_c"
if bash "$script" "$work/linked-c" "$work/sb2" >/dev/null 2>&1; then
  fail "a linked drive_c was accepted"
fi
[ -e "$work/sb2/prefix" ] && fail "a refused sandbox left its prefix"
[ -L "$work/outside-c/drive_c/users/someone/Desktop" ] || fail "the linked drive_c was changed"

# A link elsewhere in drive_c to a folder outside the sandbox.
make_base "$work/leaky"
mkdir -p "$work/leaky/drive_c/windows"
ln -s "$work/home" "$work/leaky/drive_c/windows/temp"
if bash "$script" "$work/leaky" "$work/sb3" >/dev/null 2>&1; then
  fail "a link out of the sandbox was accepted"
fi
[ -e "$work/sb3/prefix" ] && fail "a refused sandbox left its prefix"

# Links that stay inside the copy are kept.
make_base "$work/inner"
mkdir -p "$work/inner/drive_c/windows/system32"
ln -s system32 "$work/inner/drive_c/windows/sysnative"
bash "$script" "$work/inner" "$work/sb4" >/dev/null || fail "a link inside the prefix was refused"
[ -L "$work/sb4/prefix/drive_c/windows/sysnative" ] || fail "the inner link was not kept"

[ "$status" -eq 0 ] && rm -rf "$work" && echo "wine-sandbox: all cases passed"
exit "$status"
