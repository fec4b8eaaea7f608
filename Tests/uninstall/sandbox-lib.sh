# Sourced by the uninstaller's test scripts. Every program these tests run
# sees only a sandbox Wine prefix whose drives C: and D: are folders inside
# the sandbox folder; the real file system is out of its reach.
# Expects WINEPREFIX (the initialised prefix of the test run) and
# ZYM_SANDBOX_SCRIPT (scripts/wine-sandbox.sh).

status=0
fail() { echo "FAIL: $*"; status=1; }

# sandbox_up DIR: makes the sandbox and checks its drives.
sandbox_up() {
  sb=$1
  case "$sb" in /*) ;; *) echo "sandbox path must be absolute: $sb"; exit 2 ;; esac
  prefix=$(bash "$ZYM_SANDBOX_SCRIPT" "$WINEPREFIX" "$sb")
  d="$sb/d"
  # Listings and records of the test live beside the sandbox, not in it.
  logs="$sb-logs"
  rm -rf "$logs"
  mkdir -p "$logs"
  local drives
  drives=$(ls "$prefix/dosdevices" | tr '\n' ' ')
  if [ "$drives" != "c: d: " ]; then
    echo "sandbox drives are not exactly C: and D: ($drives)"; exit 2
  fi
  trap sandbox_down EXIT
}

# The prefix copy takes hundreds of megabytes: it goes once the scenario
# passed and stays for a look only when it failed. The logs beside it stay.
sandbox_down() {
  local rc=$?
  WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  if [ "$rc" -eq 0 ] && [ "$status" -eq 0 ]; then
    rm -rf "$sb"
  else
    echo "sandbox kept for a look: $sb (logs: $logs)"
  fi
}

# swine PROGRAM ARGS...: runs a Windows program in the sandbox, from D:\.
swine() {
  (cd "$d" && WINEPREFIX="$prefix" WINEDEBUG="${SWINEDEBUG:--all}" wine "$@")
}

# sandbox_listing FILE: every entry of the sandbox, links not followed.
sandbox_listing() {
  (cd "$sb" && find . -printf '%y %p\n' | LC_ALL=C sort) >"$1"
}

# print_listing TITLE FILE
print_listing() {
  echo "---- $1 ($(wc -l <"$2") entries) ----"
  cat "$2"
}

# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() {
  local limit=$(( $1 * 10 ))
  shift
  local i
  for i in $(seq "$limit"); do
    if "$@"; then return 0; fi
    sleep 0.1
  done
  return 1
}

# record FILE: a record written by a test program, without its CRs.
record() { tr -d '\r' <"$1" 2>/dev/null || true; }

gone() { [ ! -e "$1" ] && [ ! -L "$1" ]; }

# No temporary copy of the uninstaller is left: the relaunched copy has
# ended and the system has deleted its file. Its folder, empty, may stay
# until the next restart, for which it is scheduled.
no_cleanup_copy() {
  ! find "$prefix/drive_c/users" -name 'Del*.tmp' | grep -q . &&
    ! find "$prefix/drive_c/users" -path '*/Del*/*' | grep -q .
}

# compare_listings BEFORE AFTER EXPECTED_REMOVED ALLOWED_ADDED_REGEX
compare_listings() {
  local removed added
  # The cleanup copy's empty folder is scheduled for the next restart,
  # which under Wine comes with the next start of the sandbox's server.
  local copies='^d \./prefix/drive_c/users/[^/]+/Temp/Del[0-9A-F]{8}$'
  removed=$(LC_ALL=C comm -23 "$1" "$2" | grep -Ev "$copies" || true)
  added=$(LC_ALL=C comm -13 "$1" "$2")
  echo "---- removed ----"; [ -n "$removed" ] && echo "$removed"
  echo "---- added ----"; [ -n "$added" ] && echo "$added"
  if [ "$removed" != "$(LC_ALL=C sort "$3")" ]; then
    fail "removed entries differ from the expected ones:"
    diff <(LC_ALL=C sort "$3") <(echo "$removed") || true
  fi
  # Wine links the serial ports of the machine on its first start.
  local unexpected
  unexpected=$(grep -Ev "$4|^l \./prefix/dosdevices/com[0-9]+$|$copies" <<<"$added" || true)
  if [ -n "$unexpected" ]; then
    fail "entries were added outside $4: $unexpected"
  fi
  return 0
}
