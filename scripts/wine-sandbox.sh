#!/usr/bin/env bash
# wine-sandbox.sh BASE_PREFIX SANDBOX_DIR
# Makes SANDBOX_DIR/prefix a copy of an initialised Wine prefix whose only
# drives are C: (the copy's own drive_c) and D: (SANDBOX_DIR/d). The Z: drive,
# which maps to the Linux root, is removed, so programs run in the sandbox
# reach nothing outside SANDBOX_DIR. Prints the new prefix's path.
# Used by tests of code that deletes files, folders and registry keys.
set -euo pipefail
base=$1 dir=$2

[ -f "$base/system.reg" ] || { echo "not an initialised Wine prefix: $base" >&2; exit 2; }
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
case "$dir" in
  /|/bin*|/boot*|/dev*|/etc*|/home|/lib*|/proc*|/root|/sbin*|/sys*|/usr*|/var) echo "refusing sandbox at $dir" >&2; exit 2 ;;
esac

prefix="$dir/prefix"
rm -rf "$prefix" "$dir/d"
mkdir -p "$dir/d"
cp -a "$base" "$prefix"
find "$prefix/dosdevices" -mindepth 1 -maxdepth 1 -exec rm -f {} +
ln -s ../drive_c "$prefix/dosdevices/c:"
ln -s "$dir/d" "$prefix/dosdevices/d:"
# Wine links the user's folders (Desktop, Documents, ...) to the Linux home;
# in the sandbox they become plain folders.
find "$prefix/drive_c/users" -type l -exec sh -c 'for l; do rm -f "$l"; mkdir -p "$l"; done' sh {} +
echo "$prefix"
