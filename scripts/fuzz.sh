#!/usr/bin/env bash
# fuzz.sh [SECONDS] [TARGET ...]
# Builds the fuzz targets natively (preset native-fuzz: libFuzzer with
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs each one for
# SECONDS (default 30) from its committed starting corpus, then prints the
# executions and findings per target. New inputs the fuzzer keeps go to a
# working corpus in the build folder, findings to its artifacts folder; the
# committed corpus is only read. Exits 1 when any target found something.
# Targets: ServerBytes HostOperations IrcMessage Scram EntryName Archive (default: all).
# ZYM_FUZZ_NICE sets the niceness (default 0); ZYM_FUZZ_BUILD_DIR the build
# folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
shift || true
targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
  targets=(ServerBytes HostOperations IrcMessage Scram EntryName Archive)
fi
build="${ZYM_FUZZ_BUILD_DIR:-$root/build/native-fuzz}"
fuzz_src="$root/Tests/Fuzz"

cd "$root"
cmake --preset native-fuzz -B "$build" >/dev/null
cmake --build "$build" --target $(printf 'Fuzz%s ' "${targets[@]}")

# The longest input per target: server streams long enough to pass the
# longest line the component keeps, the rest small.
max_len() {
  case $1 in
    ServerBytes) echo 36000 ;;
    HostOperations) echo 8192 ;;
    IrcMessage) echo 1024 ;;
    EntryName) echo 600 ;;
    Archive) echo 16384 ;;
  esac
}

report=()
status=0
for target in "${targets[@]}"; do
  run="$build/fuzz-runs/$target"
  mkdir -p "$run/corpus" "$run/artifacts"
  rm -f "$run/artifacts"/*
  dict=()
  if [ -f "$fuzz_src/$target.dict" ]; then dict=(-dict="$fuzz_src/$target.dict"); fi
  log="$run/last-run.log"
  code=0
  ( cd "$run" && nice -n "${ZYM_FUZZ_NICE:-0}" \
      env ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}" \
          UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}" \
      "$build/Tests/Fuzz/Fuzz$target" -max_total_time="$seconds" -print_final_stats=1 \
        -max_len="$(max_len "$target")" -timeout=30 -rss_limit_mb=2048 -malloc_limit_mb=512 \
        -artifact_prefix="$run/artifacts/" "${dict[@]}" \
        "$run/corpus" "$fuzz_src/corpus/$target" ) >"$log" 2>&1 || code=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  # Crashes, sanitizer reports, leaks, timeouts and exhausted memory; a
  # slow unit (one that took long, on a loaded machine often only waited)
  # is kept for a look but is no finding.
  findings=$(find "$run/artifacts" -type f \( -name 'crash-*' -o -name 'leak-*' \
    -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  if [ "$code" -ne 0 ] && [ "$findings" -eq 0 ]; then findings=1; fi
  report+=("$(printf '%-16s %8s s %12s executions %3s findings' "$target" "$seconds" "${runs:-?}" "$findings")")
  if [ "$findings" -ne 0 ]; then
    status=1
    echo "== $target found something (exit $code); its log: $log" >&2
    grep -E 'ERROR|FINDING|SUMMARY|accepted|Test unit written' "$log" | head -20 >&2 || true
  fi
done

echo "== fuzzing, $seconds s per target"
printf '%s\n' "${report[@]}"
exit "$status"
