#!/usr/bin/env bash
# benchmarks-under-wine.sh BUILD
# The benchmarks of scripts/run-benchmarks.sh, on a built tree. Chat
# benchmarks run in the build folder's Wine prefix, extraction in a sandbox
# prefix (run-extract-benchmark.sh). ZYM_IDLE_SECONDS sets the span of the
# idle measurement (default 60).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
idle_seconds=${ZYM_IDLE_SECONDS:-60}
bench_dir="$build/Tests/Client/Components/ZymChat/Benchmark"
results=$(mktemp "${TMPDIR:-/tmp}/zym-bench.XXXXXX")
trap 'rm -f "$results"' EXIT

# utime + stime of a process in clock ticks; empty when it is gone.
ticks() { [ -n "$1" ] && [ -r "/proc/$1/stat" ] && awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }

. "$root/scripts/wine-env.sh"
zym_wine_up

echo "== chat: inbound dispatch, send delay, pacing"
(cd "$bench_dir" && wine ./ZymChatBenchmark.exe) | tr -d '\r' | tee -a "$results"

echo "== chat: idle CPU over ${idle_seconds} s"
# The component's own process and the Wine server, which does the system's
# part of every socket call, both count.
# The wineserver command runs the server under another name and ends.
server_pid=$(pgrep -o -f '/wineserver' || true)
[ -n "$server_pid" ] || { echo "FAILED: no Wine server process found" >&2; exit 1; }
program_pid="" p0="" s0="" p1="" s1="" span=""
while IFS= read -r line; do
  line=${line%$'\r'}
  echo "$line"
  case $line in
    "idle window begins"*)
      # Linux shows the program's name cut to 15 characters.
      program_pid=$(pgrep -n 'ZymChatBenchmar' || true)
      [ -n "$program_pid" ] && echo "  (sampling process $program_pid: $(tr '\0' ' ' < "/proc/$program_pid/cmdline"), Wine server $server_pid)"
      p0=$(ticks "$program_pid" || true)
      s0=$(ticks "$server_pid" || true)
      ;;
    "idle window ends after "*)
      p1=$(ticks "$program_pid" || true)
      s1=$(ticks "$server_pid" || true)
      span=$(sed -n 's/^idle window ends after \([0-9.]*\) s$/\1/p' <<<"$line")
      ;;
  esac
# The carriage returns are dropped here: a filter in the pipe would hold the
# marker lines back until the program ends.
done < <(cd "$bench_dir" && wine ./ZymChatBenchmark.exe --idle "$idle_seconds")
if [ -z "$span" ] || [ -z "$p0" ] || [ -z "$p1" ] || [ -z "$s0" ] || [ -z "$s1" ]; then
  echo "FAILED: the idle measurement did not run, or its processes were not found" >&2
  exit 1
fi
percent() { awk -v a="$1" -v b="$2" -v hz="$(getconf CLK_TCK)" -v t="$span" 'BEGIN { printf "%.3f", 100 * (b - a) / hz / t }'; }
process_percent=$(percent "$p0" "$p1")
server_percent=$(percent "$s0" "$s1")
echo "CPU over ${span} s: component's process ${process_percent}%, Wine server ${server_percent}% of one core"
echo "idle_cpu_percent: $(awk -v a="$process_percent" -v b="$server_percent" 'BEGIN { printf "%.3f", a + b }')" >> "$results"
zym_down

echo "== extraction"
bash "$root/Tests/Helpers/ZymShared/run-extract-benchmark.sh" "$build" | tee -a "$results"

echo "== summary"
for name in inbound_lines_per_s inbound_bare_lines_per_s inbound_ratio_to_bare \
            send_delay_p50_ms send_delay_p99_ms idle_cpu_percent \
            extract_s extract_wine_floor_s extract_unzip_native_s extract_ratio_to_floor \
            extract_ratio_to_unzip; do
  value=$(sed -n "s/^$name: //p" "$results" | tail -n 1)
  [ -n "$value" ] || { echo "FAILED: no figure for $name" >&2; exit 1; }
  echo "$name: $value"
done
