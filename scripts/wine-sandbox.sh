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
dir=$(cd "$dir" && pwd -P)
case "$dir" in
  /|/bin*|/boot*|/dev*|/etc*|/home|/lib*|/proc*|/root|/sbin*|/sys*|/usr*|/var) echo "refusing sandbox at $dir" >&2; exit 2 ;;
esac

prefix="$dir/prefix"
rm -rf "$prefix" "$dir/d"
mkdir -p "$dir/d" "$prefix"
# The contents, not the path: a base named through a link is copied, where
# copying the link would make every change below one to the base itself.
# The base's Wine server may be saving its registry meanwhile, through a
# temporary file that is renamed over the old one: a copy that saw such a
# file vanish is made again.
copied=""
for _ in 1 2 3 4 5; do
  if cp -a "$base/." "$prefix/" 2>"$dir/copy-errors.txt"; then copied=1; break; fi
  rm -rf "$prefix"
  mkdir -p "$prefix"
  sleep 0.2
done
[ -n "$copied" ] || { echo "could not copy $base:" >&2; cat "$dir/copy-errors.txt" >&2; exit 1; }
rm -f "$dir/copy-errors.txt"
# C: must be the copy's own folder; a linked drive_c would reach wherever
# the link leads.
if [ -L "$prefix/drive_c" ] || [ ! -d "$prefix/drive_c" ]; then
  echo "refusing sandbox: drive_c of $base is no folder of its own" >&2
  rm -rf "$prefix"
  exit 2
fi
rm -rf "$prefix/dosdevices"
mkdir "$prefix/dosdevices"
ln -s ../drive_c "$prefix/dosdevices/c:"
ln -s "$dir/d" "$prefix/dosdevices/d:"
# Wine links the user's folders (Desktop, Documents, ...) to the Linux home;
# in the sandbox they become plain folders.
if [ -d "$prefix/drive_c/users" ]; then
  find "$prefix/drive_c/users" -type l -exec sh -c 'for l; do rm -f "$l"; mkdir -p "$l"; done' sh {} +
fi
# Any other link that leads out of the sandbox folder is refused.
outside=$(find "$prefix/drive_c" -type l -exec sh -c '
  for l; do
    t=$(readlink -f "$l" || true)
    case "$t" in "$0"/*) ;; *) echo "$l" ;; esac
  done' "$dir" {} +)
if [ -n "$outside" ]; then
  echo "refusing sandbox: links out of $dir:" >&2
  echo "$outside" >&2
  rm -rf "$prefix"
  exit 2
fi
echo "$prefix"
