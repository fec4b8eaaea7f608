#!/usr/bin/env bash
# Redraws the uninstaller's two icons with ImageMagick: a dark box with a
# red arrow leaving it. Run from this folder; the results are committed so a
# build needs no image tools.
set -euo pipefail
draw() { # size output
  local s=$1 m=$(( $1 / 8 ))
  convert -size "${s}x${s}" xc:none \
    -fill '#2f4858' -draw "roundrectangle $m,$((m*2)) $((s-m*3)),$((s-m)) $m,$m" \
    -fill '#e8eef2' -draw "rectangle $((m*2)),$((m*4)) $((s-m*4)),$((s-m*2))" \
    -stroke '#c0392b' -strokewidth $(( s / 10 > 1 ? s / 10 : 1 )) \
    -draw "line $((s/2)),$((s/2)) $((s-m)),$((s/2))" \
    -fill '#c0392b' -stroke none \
    -draw "polygon $((s-m*2)),$((s/2-m*2)) $((s-1)),$((s/2)) $((s-m*2)),$((s/2+m*2))" \
    "png32:$2"
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for s in 16 32 48; do draw "$s" "$tmp/$s.png"; done
convert "$tmp/16.png" "$tmp/32.png" "$tmp/48.png" uninstall.ico
convert "$tmp/16.png" small.ico
