#!/usr/bin/env bash
# Installs what is missing, builds the kit for 32-bit and for 64-bit Windows
# and runs every test of each under Wine and a virtual X display, the 32-bit
# suite first. Then, natively on Linux with clang: the portable code's tests
# under AddressSanitizer with UndefinedBehaviorSanitizer and under
# ThreadSanitizer (the threaded ones several times over), a short run of
# every fuzz target from its corpus (ZYM_FUZZ_SECONDS each, default 30), and
# builds of the whole Windows tree with clang, warnings as errors. Any test
# failure, sanitizer report or fuzz finding fails the run.
# First it finds out whether this machine can run 32-bit x86 programs at
# all; where it cannot, the 32-bit tree is still built and its PE files
# checked, and the summary says that its programs did not run and why.
# ZYM_ARCHS chooses the architectures (default "i686 x86_64").
# Extra arguments go to ctest (the Wine and the native suites alike) and
# leave out the fuzz runs and the clang builds; ZYM_NATIVE=0 leaves out
# everything native.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/arch-lib.sh"
archs=${ZYM_ARCHS:-"i686 x86_64"}
zym_check_archs "$archs" || exit 2
# ZYM_BUILD_DIR holds one build folder per architecture (mingw-i686,
# mingw-x86_64) and lets several work trees or builds live side by side.
builds="${ZYM_BUILD_DIR:-$root/build}"
# Relative to where the command was started; Wine needs it absolute.
mkdir -p "$builds"
builds=$(cd "$builds" && pwd)

bash "$root/scripts/setup-debian.sh"

zym_probe_i686
echo "== 32-bit x86 programs on this machine: $zym_i686_runs: $zym_i686_why"

cd "$root"
start=$(date +%s)
failed=()
not_run=()
# stage NAME COMMAND...: runs and reports one stage; stage_passed says how
# it went, for the stages that build on it.
stage() {
  local name=$1
  shift
  local t0
  t0=$(date +%s)
  if "$@"; then
    echo "== $name: passed in $(( $(date +%s) - t0 )) s"
    stage_passed=yes
  else
    echo "== $name: FAILED after $(( $(date +%s) - t0 )) s"
    failed+=("$name")
    stage_passed=no
  fi
}

# The Wine suites run in a process group of their own: when this command is
# interrupted or killed, the whole group ends with it (in a namespace, its
# first process takes every other one along).
# Outside a namespace, Xvfb and the Wine server leave that group, so they
# are ended by their pid file and by the prefix.
suites="" build=""
end_suites() {
  [ -n "$build" ] || return 0
  local xvfb_pid_file="$build/xvfb.pid"

  if [ -n "$suites" ] && kill -TERM -- "-$suites" 2>/dev/null; then
    for _ in $(seq 50); do kill -0 -- "-$suites" 2>/dev/null || break; sleep 0.1; done
    kill -KILL -- "-$suites" 2>/dev/null || true
  fi
  WINEPREFIX="$build/wine-prefix" wineserver -k >/dev/null 2>&1 || true
  local xvfb
  xvfb=$(cat "$xvfb_pid_file" 2>/dev/null || true)
  if [ -n "$xvfb" ] && grep -q Xvfb "/proc/$xvfb/cmdline" 2>/dev/null; then kill "$xvfb" 2>/dev/null || true; fi
}

build_tree() {
  cmake --preset "mingw-$1" -B "$builds/mingw-$1" >/dev/null &&
    cmake --build "$builds/mingw-$1" &&
    cmake --install "$builds/mingw-$1" >/dev/null
}

# The checks of the deliverables' PE headers, imports and exports read the
# files only: they hold where the programs cannot run.
pe_checks() {
  cmake --build "$builds/mingw-$1" --target zym_pe_checks
}

wine_suite() {
  build="$builds/mingw-$1"
  shift
  local xvfb_pid_file="$build/xvfb.pid"
  rm -f "$xvfb_pid_file"
  ZYM_XVFB_PID_FILE="$xvfb_pid_file" \
    setsid bash "$root/scripts/isolated.sh" bash "$root/scripts/ctest-under-wine.sh" "$build" "$@" &
  suites=$!
  trap 'end_suites; exit 130' INT
  trap 'end_suites; exit 143' TERM HUP
  local status=0
  wait "$suites" || status=$?
  trap - INT TERM HUP
  suites="" build=""
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
  # A race shows only when the threads happen to meet: under the thread
  # sanitizer every test runs several times (ZYM_TSAN_REPEAT, default 5).
  local repeat=()
  if [ "$native_preset" = native-tsan ]; then
    repeat=(--repeat "until-fail:${ZYM_TSAN_REPEAT:-5}")
  fi
  cmake --preset "$native_preset" >/dev/null &&
    cmake --build "$root/build/$native_preset" &&
    env ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1 \
        UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
      bash "$root/scripts/isolated.sh" \
        ctest --test-dir "$root/build/$native_preset" --output-on-failure --no-tests=error \
              --timeout 300 -j2 -E "$native_skip" "${repeat[@]}" "$@"
}

clang_windows_build() {
  cmake --preset "clang-mingw-$1" >/dev/null && cmake --build "$root/build/clang-mingw-$1"
}

for arch in $archs; do
  name=$(zym_arch_name "$arch")
  if [ "$arch" = i686 ] && [ "$zym_i686_runs" != yes ]; then
    stage "build, $name" build_tree "$arch"
    if [ "$stage_passed" = yes ]; then stage "PE checks, $name" pe_checks "$arch"; fi
    not_run+=("the $name programs were built and their PE files checked, but not run: $zym_i686_why")
  else
    stage "build, $name" build_tree "$arch"
    if [ "$stage_passed" = yes ]; then stage "tests under Wine, $name" wine_suite "$arch" "$@"; fi
  fi
done
if [ "${ZYM_NATIVE:-1}" != 0 ]; then
  stage "native tests, ASan+UBSan" native_suite native-asan "$@"
  stage "native tests, TSan" native_suite native-tsan "$@"
  if [ "$#" -eq 0 ]; then
    stage "fuzz smoke runs" bash "$root/scripts/fuzz.sh" "${ZYM_FUZZ_SECONDS:-30}"
    for arch in $archs; do
      stage "clang build for Windows, $(zym_arch_name "$arch")" clang_windows_build "$arch"
    done
  fi
fi

echo "whole run: $(( $(date +%s) - start )) s"
for line in "${not_run[@]}"; do
  echo "NOT RUN: $line"
done
if [ "${#failed[@]}" -gt 0 ]; then
  echo "failed: ${failed[*]}"
  exit 1
fi
