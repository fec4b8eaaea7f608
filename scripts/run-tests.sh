#!/usr/bin/env bash
# Installs what is missing, builds the kit for 32-bit Windows and runs every
# test under Wine and a virtual X display. Then, natively on Linux with
# clang: the portable code's tests under AddressSanitizer with
# UndefinedBehaviorSanitizer and under ThreadSanitizer, a short run of every
# fuzz target from its corpus (ZYM_FUZZ_SECONDS each, default 30), and a
# build of the whole Windows tree with clang, warnings as errors. Any test
# failure, sanitizer report or fuzz finding fails the run.
# Extra arguments go to ctest (the Wine and the native suites alike) and
# leave out the fuzz runs and the clang build; ZYM_NATIVE=0 leaves out
# everything native.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset=mingw-i686
# ZYM_BUILD_DIR lets several work trees or builds live side by side.
build="${ZYM_BUILD_DIR:-$root/build/$preset}"
# Relative to where the command was started; Wine needs it absolute.
mkdir -p "$build"
build=$(cd "$build" && pwd)

bash "$root/scripts/setup-debian.sh"

cd "$root"
start=$(date +%s)
failed=()
stage() {
  local name=$1
  shift
  local t0
  t0=$(date +%s)
  if "$@"; then
    echo "== $name: passed in $(( $(date +%s) - t0 )) s"
  else
    echo "== $name: FAILED after $(( $(date +%s) - t0 )) s"
    failed+=("$name")
  fi
}

# The Wine suites run in a process group of their own: when this command is
# interrupted or killed, the whole group ends with it (in a namespace, its
# first process takes every other one along).
# Outside a namespace, Xvfb and the Wine server leave that group, so they
# are ended by their pid file and by the prefix.
xvfb_pid_file="$build/xvfb.pid"
suites=""
end_suites() {
  if [ -n "$suites" ] && kill -TERM -- "-$suites" 2>/dev/null; then
    for _ in $(seq 50); do kill -0 -- "-$suites" 2>/dev/null || break; sleep 0.1; done
    kill -KILL -- "-$suites" 2>/dev/null || true
  fi
  WINEPREFIX="$build/wine-prefix" wineserver -k >/dev/null 2>&1 || true
  local xvfb
  xvfb=$(cat "$xvfb_pid_file" 2>/dev/null || true)
  if [ -n "$xvfb" ] && grep -q Xvfb "/proc/$xvfb/cmdline" 2>/dev/null; then kill "$xvfb" 2>/dev/null || true; fi
}

wine_suite() {
  cmake --preset "$preset" -B "$build" >/dev/null &&
    cmake --build "$build" &&
    cmake --install "$build" >/dev/null || return 1
  rm -f "$xvfb_pid_file"
  ZYM_XVFB_PID_FILE="$xvfb_pid_file" \
    setsid bash "$root/scripts/isolated.sh" bash "$root/scripts/ctest-under-wine.sh" "$build" "$@" &
  suites=$!
  trap 'end_suites; exit 130' INT
  trap 'end_suites; exit 143' TERM HUP
  local status=0
  wait "$suites" || status=$?
  trap - INT TERM HUP
  suites=""
  return "$status"
}

# A sanitizer report ends the test program with a failure; the suites bind
# loopback addresses, so they run in the private namespace as well. Tests
# that bound a duration are left to the Wine suite: the sanitizers' checks
# slow every step several times over.
native_skip=TakeWellUnderASecond
native_suite() {
  local native_preset=$1
  shift
  cmake --preset "$native_preset" >/dev/null &&
    cmake --build "$root/build/$native_preset" &&
    env ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1 \
        UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
      bash "$root/scripts/isolated.sh" \
        ctest --test-dir "$root/build/$native_preset" --output-on-failure --no-tests=error \
              --timeout 300 -j2 -E "$native_skip" "$@"
}

clang_windows_build() {
  cmake --preset clang-mingw-i686 >/dev/null && cmake --build "$root/build/clang-mingw-i686"
}

stage "tests under Wine" wine_suite "$@"
if [ "${ZYM_NATIVE:-1}" != 0 ]; then
  stage "native tests, ASan+UBSan" native_suite native-asan "$@"
  stage "native tests, TSan" native_suite native-tsan "$@"
  if [ "$#" -eq 0 ]; then
    stage "fuzz smoke runs" bash "$root/scripts/fuzz.sh" "${ZYM_FUZZ_SECONDS:-30}"
    stage "clang build for Windows" clang_windows_build
  fi
fi

echo "whole run: $(( $(date +%s) - start )) s"
if [ "${#failed[@]}" -gt 0 ]; then
  echo "failed: ${failed[*]}"
  exit 1
fi
