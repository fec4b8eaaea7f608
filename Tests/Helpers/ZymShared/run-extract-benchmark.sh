#!/usr/bin/env bash
# run-extract-benchmark.sh BUILD_DIR [ENTRIES]
# Builds a ZIP archive of more than 50 MB in a few thousand entries, extracts
# it with Debian's unzip natively and with DecompressArchive under Wine (in a
# sandbox prefix), checks that both give the same files, and prints both
# times and their ratio. A measurement, not a test.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
build=$(cd "$1" && pwd)
entries=${2:-3000}
program="$build/Tests/Helpers/ZymShared/ExtractBenchmark.exe"
dll="$build/Helpers/ZymShared/ZymShared.dll"
[ -f "$program" ] && [ -f "$dll" ] || { echo "build ExtractBenchmark and ZymShared first" >&2; exit 2; }
work="$build/extract-benchmark"
rm -rf "$work/native" "$work/archive.zip"
mkdir -p "$work"

# Mostly incompressible bytes with some text, so the archive stays large.
src="$work/source"
rm -rf "$src"
text="$work/text.part"
for ((i = 0; i < 143; i++)); do echo "chat server channel member notice install"; done > "$text"
for ((i = 0; i < entries; i++)); do
  folder="$src/set$(printf %02d $((i % 30)))"
  mkdir -p "$folder"
  { head -c 18432 /dev/urandom; cat "$text"; } > "$folder/part$(printf %05d "$i").bin"
done
(cd "$src" && zip -q -r "$work/archive.zip" .)
rm -rf "$src" "$text"
archive_mb=$(du -m "$work/archive.zip" | cut -f1)
content_mb=$(unzip -Z -t "$work/archive.zip" | awk '{print int($3 / 1048576)}')

now() { date +%s.%N; }
sync
t0=$(now)
unzip -q -o "$work/archive.zip" -d "$work/native"
t1=$(now)
native=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')

. "$root/scripts/wine-env.sh"
trap zym_down EXIT
zym_wine_up
sandbox="$work/sandbox"
prefix=$(bash "$root/scripts/wine-sandbox.sh" "$WINEPREFIX" "$sandbox")
cp "$program" "$dll" "$work/archive.zip" "$sandbox/d/"
(
  export WINEPREFIX="$prefix"
  wineserver -p >/dev/null 2>&1 &
  server=$!
  cd "$sandbox/d"
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
  wine 'D:\ExtractBenchmark.exe' 'D:\archive.zip' 'D:\out' | tr -d '\r' > "$work/wine.txt"
  wineserver -k >/dev/null 2>&1 || true
  wait "$server" 2>/dev/null || true
)
cat "$work/wine.txt"
wine_s=$(sed -n 's/.* in \([0-9.]*\) s$/\1/p' "$work/wine.txt")

if diff -r "$work/native" "$sandbox/d/out" >/dev/null; then same=yes; else same=NO; fi
rm -rf "$prefix"
echo "archive: ${archive_mb} MB, ${entries} entries, ${content_mb} MB unpacked"
echo "unzip (native):             ${native} s"
echo "DecompressArchive (Wine):   ${wine_s} s"
echo "ratio DecompressArchive/unzip: $(awk -v w="$wine_s" -v n="$native" 'BEGIN { printf "%.2f", w / n }')"
echo "same files: $same"
