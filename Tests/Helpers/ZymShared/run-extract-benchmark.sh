#!/usr/bin/env bash
# run-extract-benchmark.sh BUILD_DIR [ENTRIES]
# Builds a ZIP archive of more than 50 MB in a few thousand entries and
# extracts it three ways, each three times into a fresh folder: with Debian's
# unzip natively, with DecompressArchive under Wine, and with ExtractFloor
# under Wine (the same files written from memory: what Wine's file calls
# alone cost). The Wine programs run in a sandbox prefix. Checks that every
# way gives the same files and ends with the medians as figure lines:
#   extract_s, extract_wine_floor_s, extract_unzip_native_s,
#   extract_ratio_to_floor, extract_ratio_to_unzip. A measurement, not a test.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
build=$(cd "$1" && pwd)
entries=${2:-3000}
rounds=3
program="$build/Tests/Helpers/ZymShared/ExtractBenchmark.exe"
floor="$build/Tests/Helpers/ZymShared/ExtractFloor.exe"
dll="$build/Helpers/ZymShared/ZymShared.dll"
for f in "$program" "$floor" "$dll"; do
  [ -f "$f" ] || { echo "build ExtractBenchmark, ExtractFloor and ZymShared first" >&2; exit 2; }
done
work="$build/extract-benchmark"
rm -rf "$work"
mkdir -p "$work"

# Mostly incompressible bytes with some text, so the archive stays large.
src="$work/source"
text="$work/text.part"
for ((i = 0; i < 143; i++)); do echo "chat server channel member notice install"; done > "$text"
for ((i = 0; i < entries; i++)); do
  folder="$src/set$(printf %02d $((i % 30)))"
  mkdir -p "$folder"
  { head -c 18432 /dev/urandom; cat "$text"; } > "$folder/part$(printf %05d "$i").bin"
done
(cd "$src" && zip -q -r "$work/archive.zip" .)
archive_mb=$(du -m "$work/archive.zip" | cut -f1)
content_mb=$(unzip -Z -t "$work/archive.zip" | awk '{print int($3 / 1048576)}')
echo "archive: ${archive_mb} MB, ${entries} entries, ${content_mb} MB unpacked"

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
now() { date +%s.%N; }

. "$root/scripts/wine-env.sh"
trap zym_down EXIT
zym_wine_up
sandbox="$work/sandbox"
prefix=$(bash "$root/scripts/wine-sandbox.sh" "$WINEPREFIX" "$sandbox")
zym_down
trap - EXIT
d="$sandbox/d"
cp "$program" "$floor" "$dll" "$work/archive.zip" "$d/"

# Every round writes into folders of its own and nothing is deleted until
# the end, not even the files the archive was made from: ext4 makes the
# creation of files slower for minutes after many were deleted, which would
# weigh on whichever way ran next. The order of the
# three ways turns from round to round for the same reason.
(
  export WINEPREFIX="$prefix"
  wineserver -p >/dev/null 2>&1 &
  server=$!
  cd "$d"
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
  ways=(da floor native)
  for ((r = 1; r <= rounds; r++)); do
    for ((k = 0; k < 3; k++)); do
      sync
      case ${ways[(r - 1 + k) % 3]} in
        da) wine 'D:\ExtractBenchmark.exe' 'D:\archive.zip' "D:\\out-da-$r" | tr -d '\r' ;;
        floor) wine 'D:\ExtractFloor.exe' 'D:\archive.zip' "D:\\out-floor-$r" | tr -d '\r' ;;
        native)
          t0=$(now)
          unzip -q -o "$work/archive.zip" -d "$work/native-$r"
          t1=$(now)
          awk -v a="$t0" -v b="$t1" 'BEGIN { printf "unzip (native): %.3f s\n", b - a }'
          ;;
      esac
    done
  done
  wineserver -k >/dev/null 2>&1 || true
  wait "$server" 2>/dev/null || true
) | tee "$work/runs.txt"

same=yes
for ((r = 1; r <= rounds; r++)); do
  diff -r "$work/native-1" "$d/out-da-$r" >/dev/null || same=NO
  diff -r "$work/native-1" "$d/out-floor-$r" >/dev/null || same=NO
done
rm -rf "$prefix" "$d"/out-* "$work"/native-* "$src" "$text"

mapfile -t wine_da < <(sed -n 's/^DecompressArchive: true in \([0-9.]*\) s$/\1/p' "$work/runs.txt")
mapfile -t wine_floor < <(sed -n 's/^ExtractFloor: true, .* in \([0-9.]*\) s$/\1/p' "$work/runs.txt")
mapfile -t native < <(sed -n 's/^unzip (native): \([0-9.]*\) s$/\1/p' "$work/runs.txt")
if [ "${#wine_da[@]}" -ne "$rounds" ] || [ "${#wine_floor[@]}" -ne "$rounds" ] ||
   [ "${#native[@]}" -ne "$rounds" ] || [ "$same" != yes ]; then
  echo "FAILED: an extraction failed or gave other files than unzip (same files: $same)" >&2
  exit 1
fi
da=$(median "${wine_da[@]}")
fl=$(median "${wine_floor[@]}")
na=$(median "${native[@]}")
echo "same files: $same; medians of $rounds rounds:"
echo "extract_s: $da"
echo "extract_wine_floor_s: $fl"
echo "extract_unzip_native_s: $na"
echo "extract_ratio_to_floor: $(awk -v a="$da" -v b="$fl" 'BEGIN { printf "%.2f", a / b }')"
echo "extract_ratio_to_unzip: $(awk -v a="$da" -v b="$na" 'BEGIN { printf "%.2f", a / b }')"
