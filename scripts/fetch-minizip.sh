#!/usr/bin/env bash
# fetch-minizip.sh DEST_DIR
# Puts minizip's sources (contrib/minizip of Debian's zlib source package) in
# DEST_DIR/minizip, downloaded by scripts/debian-orig.sh. Does nothing when
# the sources are there already.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dest=$1
mkdir -p "$dest"
dest=$(cd "$dest" && pwd)
out="$dest/minizip"
[ -f "$out/unzip.c" ] && [ -f "$out/zip.c" ] && exit 0

orig=$(bash "$here/debian-orig.sh" zlib "$dest")
rm -rf "$dest/extract" "$out"
mkdir -p "$dest/extract"
tar -xf "$orig" -C "$dest/extract" --wildcards '*/contrib/minizip/*'
mv "$dest"/extract/*/contrib/minizip "$out"
rm -rf "$dest/extract"
echo "minizip sources in $out"
