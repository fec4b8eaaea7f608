#!/usr/bin/env bash
# run-in-sandbox.sh SANDBOX_DIR PROGRAM [--copy FILE]... [--allow PATTERN]...
# Runs a Windows test program from D:\ of a throwaway copy of $WINEPREFIX
# whose only drives are C: and D: (both inside SANDBOX_DIR). With --allow,
# the whole sandbox is listed before and after the run, and every file or
# folder that appeared, vanished or changed outside the allowed patterns
# (paths relative to SANDBOX_DIR, such as d/out/*) fails the run.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
dir=$1 program=$2
shift 2
copies=() allowed=()
while [ $# -gt 0 ]; do
  case $1 in
    --copy) copies+=("$2"); shift 2 ;;
    --allow) allowed+=("$2"); shift 2 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
done
: "${WINEPREFIX:?the test prefix must be set up first}"

prefix=$(bash "$root/scripts/wine-sandbox.sh" "$WINEPREFIX" "$dir")
dir=$(cd "$dir" && pwd)
[ "$prefix" = "$dir/prefix" ] || { echo "unexpected sandbox prefix $prefix" >&2; exit 2; }
cp "$program" "$dir/d/"
for f in "${copies[@]}"; do cp "$f" "$dir/d/"; done
for pattern in "${allowed[@]}"; do mkdir -p "$dir/${pattern%/*}"; done

# The registry files at the top of the prefix belong to the Wine server and
# cannot be reached through a drive, and Wine links the serial and parallel
# ports in dosdevices when it starts; folders are compared by name only.
list() {
  (cd "$dir" && find prefix d -regextype posix-extended \
     -regex 'prefix/[^/]*\.reg|prefix/dosdevices/(com|lpt)[0-9]+' -prune -o \
     \( -type d -printf '%p\tdir\n' \) -o -printf '%p\t%y\t%s\t%T@\n') | LC_ALL=C sort
}
outside_allowed() {
  local line path pattern keep
  while IFS= read -r line; do
    path=${line%%$'\t'*} keep=1
    for pattern in "${allowed[@]}"; do
      # shellcheck disable=SC2053
      if [[ $path == $pattern ]]; then keep=0; break; fi
    done
    [ $keep = 0 ] || printf '%s\n' "$line"
  done
}

[ ${#allowed[@]} -eq 0 ] || list | outside_allowed > "$dir/before.txt"

export WINEPREFIX="$prefix"
# A crash ends the run at once instead of waiting in the debugger.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winedbg.exe=d"
wineserver -p >/dev/null 2>&1 &
server=$!
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  wait "$server" 2>/dev/null || true
}
# The sandbox, with its prefix copy of hundreds of megabytes, goes once the
# run passed; it stays for a look only after a failure.
finish() {
  local rc=$?
  cleanup
  if [ "$rc" -eq 0 ]; then rm -rf "$dir"; else echo "sandbox kept for a look: $dir"; fi
}
trap finish EXIT
(cd "$dir/d" && wine cmd /c exit >/dev/null 2>&1 </dev/null) || true

set +e
(cd "$dir/d" && wine "D:\\$(basename "$program")")
rc=$?
set -e
cleanup

if [ ${#allowed[@]} -gt 0 ]; then
  list | outside_allowed > "$dir/after.txt"
  if ! diff "$dir/before.txt" "$dir/after.txt" > "$dir/changes.txt"; then
    echo "written outside the allowed folders of the sandbox:"
    cat "$dir/changes.txt"
    rc=1
  else
    echo "sandbox listing: nothing changed outside $(printf '%s ' "${allowed[@]}")"
  fi
fi
exit $rc
