#!/usr/bin/env bash
# Runs uninstall.exe end to end inside a sandbox prefix and proves from
# listings of the whole sandbox, the registry and the records of the test
# programs what it removed and what it left. Arguments: scenario, sandbox
# folder. The programs come from ZYM_UNINSTALL_EXE, ZYM_PLUGIN_DLL,
# ZYM_FAKE_DAEMON, ZYM_BAR_WATCHER and ZYM_RELAUNCH_STARTER.
set -euo pipefail
. "$(dirname "$0")/sandbox-lib.sh"
scenario=$1
sandbox_up "$2"
export ZYM_PLUGIN_RECORD='D:\records\plugins.txt'

mkdir -p "$d/records" "$d/tools" "$d/setup"
cp "$ZYM_FAKE_DAEMON" "$d/tools/FakeDaemon.exe"
cp "$ZYM_BAR_WATCHER" "$d/tools/BarWatcher.exe"
cp "$ZYM_RELAUNCH_STARTER" "$d/tools/RelaunchStarter.exe"

# write_keys INSTALLPATH: the product's keys as an installation leaves them.
write_keys() {
  local path=${1//\\/\\\\}
  cat >"$d/setup/keys.reg" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmarsh\\SkelvaneClient\\2.0]
"InstallPath"="$path"
"Build"="2026.12-1"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmarsh\\SkelvaneClient\\2.0\\Components\\Chat]
"Server"="irc.example.net"
"Port"=dword:00001a0b

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmarsh\\SkelvaneClient\\2.0\\Window]
REG
  swine regedit /S 'D:\setup\keys.reg'
}

registry_listing() {
  echo "---- registry $1 ----"
  swine reg query 'HKLM\SOFTWARE\Quillmarsh' /s 2>&1 | tr -d '\r' | sed '/^$/d' || true
}

company_key_gone() {
  ! swine reg query 'HKLM\SOFTWARE\Quillmarsh' >/dev/null 2>&1
}

# install_tree: an install folder with files, sub-folders and three plug-ins.
install_tree() {
  mkdir -p "$d/inst/data/deep" "$d/inst/libraries"
  cp "$ZYM_UNINSTALL_EXE" "$d/inst/uninstall.exe"
  echo readme >"$d/inst/readme.txt"
  echo a >"$d/inst/data/a.dat"
  echo b >"$d/inst/data/deep/b.dat"
  local name
  for name in alpha beta gamma; do cp "$ZYM_PLUGIN_DLL" "$d/inst/libraries/$name.dll"; done
}

start_daemon() {
  swine 'D:\tools\FakeDaemon.exe' 'D:\records\daemon.txt' 'D:\records\daemon.ready' &
  daemon_pid=$!
  wait_for 20 test -e "$d/records/daemon.ready" || fail "the stand-in daemon did not start"
}

end_daemon() {
  wait_for 20 gone "/proc/$daemon_pid" || fail "the stand-in daemon did not end"
  wait "$daemon_pid" 2>/dev/null || true
}

check_daemon_closed() {
  echo "---- daemon record ----"; record "$d/records/daemon.txt"
  [ "$(record "$d/records/daemon.txt")" = "WM_CLOSE wParam=0 lParam=0xDEADBEEF" ] \
    || fail "the daemon did not get exactly one WM_CLOSE with lParam 0xDEADBEEF"
}

# check_plugins NAME...: each named plug-in ran exactly once, no other did.
check_plugins() {
  echo "---- plug-in record ----"; record "$d/records/plugins.txt"
  local expected="" name
  for name in "$@"; do expected+="Uninstall D:\\inst\\libraries\\$name"$'\n'; done
  if [ "$(record "$d/records/plugins.txt" | sort)" != "$(printf '%s' "$expected" | sort)" ]; then
    fail "plug-ins that ran differ from: $*"
  fi
}

# run_uninstaller PATH: the first run as a user starts it, then waits for
# its cleanup copy to end.
run_uninstaller() {
  local rc=0
  SWINEDEBUG=-all,warn+debugstr swine "$1" 2>"$logs/debug.txt" || rc=$?
  [ "$rc" -eq 0 ] || fail "uninstall.exe exited with $rc"
  wait_for 30 no_cleanup_copy || fail "the cleanup copy did not end"
}

case $scenario in
removes_everything|window)
  install_tree
  write_keys 'D:\inst\'
  sandbox_listing "$logs/before.txt"
  registry_listing before
  start_daemon
  if [ "$scenario" = window ]; then
    rm -f "$ZYM_SCREENSHOT"
    swine 'D:\tools\BarWatcher.exe' 'D:\records\bar.txt' 'D:\records\shot.request' &
    watcher_pid=$!
    (
      if wait_for 30 test -e "$d/records/shot.request"; then
        import -window root -crop 660x96+96+116 +repage "$ZYM_SCREENSHOT"
      fi
    ) &
    shot_pid=$!
  fi
  run_uninstaller 'D:\inst\uninstall.exe'
  wait_for 30 gone "$d/inst" || fail "the install folder is still there"
  end_daemon
  registry_listing after
  sandbox_listing "$logs/after.txt"
  print_listing "sandbox before" "$logs/before.txt"
  print_listing "sandbox after" "$logs/after.txt"
  grep '^. \./d/inst' "$logs/before.txt" >"$logs/expected-removed.txt"
  compare_listings "$logs/before.txt" "$logs/after.txt" "$logs/expected-removed.txt" '^. \./d/records/'
  check_daemon_closed
  check_plugins alpha.dll beta.dll gamma.dll
  company_key_gone || fail "the company key is still there"
  echo "---- debug output ----"; debug_lines "$logs/debug.txt" | tee "$logs/debug-lines.txt"
  for f in readme.txt 'data\a.dat' 'data\deep\b.dat' uninstall.exe; do
    grep -qxF "Deleting D:\\inst\\$f" "$logs/debug-lines.txt" || fail "no debug line for $f"
  done
  if [ "$scenario" = window ]; then
    wait "$watcher_pid" || fail "the watcher failed"
    wait "$shot_pid" || fail "the screenshot failed"
    echo "---- progress bar as seen from outside ----"; record "$d/records/bar.txt"
    positions=$(record "$d/records/bar.txt" | sed -n 's/^position \([0-9]*\) of 100$/\1/p' | tr '\n' ' ')
    case "$positions" in
      "20 40 "|"0 20 40 ") ;;
      *) fail "the bar took the positions '$positions', not 20 and then 40" ;;
    esac
    record "$d/records/bar.txt" | grep -qx 'window gone' || fail "the window did not close"
    [ -s "$ZYM_SCREENSHOT" ] || fail "no screenshot"
  fi
  ;;

keeps_what_is_not_the_products)
  install_tree
  mkdir -p "$d/inst/.keep" "$d/outside/sub"
  echo settings >"$d/inst/.keep/settings.ini"
  echo precious >"$d/outside/precious.txt"
  echo more >"$d/outside/sub/more.txt"
  ln -s ../outside "$d/inst/shortcut"
  cp "$ZYM_PLUGIN_DLL" "$d/inst/libraries/old-uninstall.exe.dll"
  write_keys 'D:\inst\'
  sandbox_listing "$logs/before.txt"
  registry_listing before
  start_daemon
  run_uninstaller 'D:\inst\uninstall.exe'
  wait_for 30 gone "$d/inst/uninstall.exe" || fail "the program file is still there"
  end_daemon
  registry_listing after
  sandbox_listing "$logs/after.txt"
  print_listing "sandbox before" "$logs/before.txt"
  print_listing "sandbox after" "$logs/after.txt"
  grep '^. \./d/inst' "$logs/before.txt" \
    | grep -Ev '^. \./d/inst(/\.keep(/settings\.ini)?|/shortcut|/libraries(/old-uninstall\.exe\.dll)?)?$' \
    >"$logs/expected-removed.txt"
  compare_listings "$logs/before.txt" "$logs/after.txt" "$logs/expected-removed.txt" '^. \./d/records/'
  check_daemon_closed
  check_plugins alpha.dll beta.dll gamma.dll old-uninstall.exe.dll
  company_key_gone || fail "the company key is still there"
  [ -f "$d/outside/precious.txt" ] && [ -f "$d/outside/sub/more.txt" ] || fail "files outside the install folder were lost"
  ;;

libraries_link)
  mkdir -p "$d/inst/data" "$d/elsewhere"
  cp "$ZYM_UNINSTALL_EXE" "$d/inst/uninstall.exe"
  echo a >"$d/inst/data/a.dat"
  cp "$ZYM_PLUGIN_DLL" "$d/elsewhere/foreign.dll"
  echo precious >"$d/elsewhere/precious.txt"
  ln -s ../elsewhere "$d/inst/libraries"
  write_keys 'D:\inst\'
  sandbox_listing "$logs/before.txt"
  run_uninstaller 'D:\inst\uninstall.exe'
  wait_for 30 gone "$d/inst/uninstall.exe" || fail "the program file is still there"
  sandbox_listing "$logs/after.txt"
  print_listing "sandbox before" "$logs/before.txt"
  print_listing "sandbox after" "$logs/after.txt"
  # Under Wine the link cannot be removed, so it and the folder stay.
  grep '^. \./d/inst' "$logs/before.txt" | grep -Ev '^. \./d/inst(/libraries)?$' \
    >"$logs/expected-removed.txt"
  compare_listings "$logs/before.txt" "$logs/after.txt" "$logs/expected-removed.txt" '^. \./d/records/'
  [ ! -e "$d/records/plugins.txt" ] || fail "a library outside the install folder ran"
  [ -f "$d/elsewhere/foreign.dll" ] && [ -f "$d/elsewhere/precious.txt" ] \
    || fail "files outside the install folder were lost"
  company_key_gone || fail "the company key is still there"
  ;;

refuses_a_drive_root)
  mkdir -p "$d/libraries" "$d/data"
  cp "$ZYM_UNINSTALL_EXE" "$d/uninstall.exe"
  cp "$ZYM_PLUGIN_DLL" "$d/libraries/alpha.dll"
  echo precious >"$d/precious.txt"
  echo x >"$d/data/x.txt"
  write_keys 'D:\'
  sandbox_listing "$logs/before.txt"
  registry_listing before
  run_uninstaller 'D:\uninstall.exe'
  wait_for 30 gone "$d/uninstall.exe" || fail "the program file is still there"
  registry_listing after
  sandbox_listing "$logs/after.txt"
  print_listing "sandbox before" "$logs/before.txt"
  print_listing "sandbox after" "$logs/after.txt"
  echo "f ./d/uninstall.exe" >"$logs/expected-removed.txt"
  compare_listings "$logs/before.txt" "$logs/after.txt" "$logs/expected-removed.txt" '^$'
  [ ! -e "$d/records/plugins.txt" ] || fail "a plug-in ran although the folder was refused"
  company_key_gone || fail "the company key is still there"
  ! debug_lines "$logs/debug.txt" | grep -q 'Deleting' || fail "files were deleted below the drive root"
  ;;

relaunch_arguments)
  mkdir -p "$d/tool" "$d/prog" "$d/QuillMarsh" "$d/QuillMars" "$d/Empty"
  cp "$ZYM_UNINSTALL_EXE" "$d/tool/uninstall.exe"
  echo old >"$d/prog/old.exe"
  echo keep >"$d/prog/keep.exe"
  sandbox_listing "$logs/before.txt"
  print_listing "sandbox before" "$logs/before.txt"

  # Wrong argument counts, a bad handle and a path longer than any buffer:
  # nothing happens and the exit code is 0.
  long="D:\\$(printf 'a%.0s' $(seq 300))"
  for args in "7|D:\\prog\\keep.exe" "7|D:\\prog\\keep.exe|D:\\Empty\\|extra" \
              "0|D:\\prog\\keep.exe|D:\\Empty\\" "7|D:\\prog\\keep.exe|$long" "7"; do
    IFS='|' read -r -a argv <<<"$args"
    rc=0
    swine 'D:\tool\uninstall.exe' "${argv[@]}" || rc=$?
    echo "uninstall.exe with $((${#argv[@]})) argument(s): exit code $rc"
    [ "$rc" -eq 0 ] || fail "exit code $rc for arguments '${args:0:60}'"
  done

  # The folder argument without a trailing backslash, as a folder that came
  # from the SystemRoot fallback is written.
  swine 'D:\tools\RelaunchStarter.exe' 'D:\tool\uninstall.exe' 'D:\prog\old.exe' 'D:\QuillMarsh' \
    || fail "the starter failed"
  wait_for 30 gone "$d/QuillMarsh" || fail "the folder named without a backslash was not removed"
  wait_for 10 gone "$d/prog/old.exe" || fail "the program file was not deleted"
  sandbox_listing "$logs/after.txt"
  print_listing "sandbox after" "$logs/after.txt"
  printf '%s\n' "d ./d/QuillMarsh" "f ./d/prog/old.exe" >"$logs/expected-removed.txt"
  compare_listings "$logs/before.txt" "$logs/after.txt" "$logs/expected-removed.txt" '^$'
  ;;

*) echo "unknown scenario $scenario"; exit 2 ;;
esac
exit $status
