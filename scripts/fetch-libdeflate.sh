#!/usr/bin/env bash
# fetch-libdeflate.sh DEST_DIR
# Puts libdeflate's sources (the upstream tarball of Debian's libdeflate
# source package: lib/ and the public header) in DEST_DIR/libdeflate,
# downloaded by scripts/debian-orig.sh. Does nothing when the sources are
# there already.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dest=$1
mkdir -p "$dest"
dest=$(cd "$dest" && pwd)
out="$dest/libdeflate"
[ -f "$out/libdeflate.h" ] && [ -f "$out/lib/deflate_decompress.c" ] && exit 0

orig=$(bash "$here/debian-orig.sh" libdeflate "$dest")
rm -rf "$dest/extract" "$out"
mkdir -p "$dest/extract"
tar -xf "$orig" -C "$dest/extract"
mv "$dest"/extract/* "$out"
rm -rf "$dest/extract"
echo "libdeflate sources in $out"
