#!/usr/bin/env bash
# Runs uninstall.exe end to end inside a sandbox prefix and proves from
# listings of the whole sandbox, the registry and the records of the test
# programs what it removed and what it left. Arguments: scenario, sandbox
# folder. The programs come from ZYM_UNINSTALL_EXE, ZYM_PLUGIN_DLL,
# ZYM_FAKE_DAEMON, ZYM_BAR_WATCHER, ZYM_BOX_WATCHER, ZYM_FILE_HOLDER,
# ZYM_RELAUNCH_STARTER and ZYM_EXIT_CODE_RECORDER.
set -euo pipefail
. "$(dirname "$0")/sandbox-lib.sh"
scenario=$1
sandbox_up "$2"
export ZYM_PLUGIN_RECORD='D:\records\plugins.txt'

mkdir -p "$d/records" "$d/tools" "$d/setup"
cp "$ZYM_FAKE_DAEMON" "$d/tools/FakeDaemon.exe"
cp "$ZYM_BAR_WATCHER" "$d/tools/BarWatcher.exe"
cp "$ZYM_BOX_WATCHER" "$d/tools/BoxWatcher.exe"
cp "$ZYM_FILE_HOLDER" "$d/tools/FileHolder.exe"
cp "$ZYM_RELAUNCH_STARTER" "$d/tools/RelaunchStarter.exe"
cp "$ZYM_EXIT_CODE_RECORDER" "$d/tools/ExitCodeRecorder.exe"

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

# start_daemon [hang]
start_daemon() {
  swine 'D:\tools\FakeDaemon.exe' 'D:\records\daemon.txt' 'D:\records\daemon.ready' "$@" &
  daemon_pid=$!
  wait_for 20 test -e "$d/records/daemon.ready" || fail "the stand-in daemon did not start"
}

end_daemon() {
  wait_for 45 gone "/proc/$daemon_pid" || fail "the stand-in daemon did not end"
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

# run_uninstaller PATH: the first run as a user starts it, with a watcher
# that records and closes the message box at its end, then waits for its
# cleanup copy to end. Sets run_seconds.
run_uninstaller() {
  run_uninstaller_expecting 0 "$1"
}

# run_uninstaller_expecting CODES PATH ARGS...: the same with the program's
# arguments, for a run whose exit code is one of CODES ("0" or "3010|1").
# Its standard output goes to $logs/stdout.txt. Sets run_seconds and run_rc.
run_uninstaller_expecting() {
  local codes=$1 started box_pid
  shift
  rm -f "$d/records/box.stop" "$d/records/box.txt"
  swine 'D:\tools\BoxWatcher.exe' 'D:\records\box.txt' 'D:\records\box.stop' &
  box_pid=$!
  started=$(date +%s)
  rm -f "$d/records/exit-code.txt"
  swine 'D:\tools\ExitCodeRecorder.exe' 'D:\records\exit-code.txt' "$@" >"$logs/stdout.txt" \
    || fail "the exit code recorder failed"
  run_seconds=$(( $(date +%s) - started ))
  run_rc=$(record "$d/records/exit-code.txt")
  touch "$d/records/box.stop"
  wait "$box_pid" || fail "the box watcher failed"
  echo "---- message box ----"; record "$d/records/box.txt"
  echo "uninstall.exe ${*:2}: exit code $run_rc"
  grep -qxE "$codes" <<<"$run_rc" || fail "uninstall.exe ${*:2} exited with $run_rc, not $codes"
  wait_for 30 no_cleanup_copy || fail "the cleanup copy or its folder is still there"
}

# expect_box TEXT...: the run ended with one box holding each text line.
expect_box() {
  local text line
  text=$(record "$d/records/box.txt")
  grep -qx 'boxes 1' <<<"$text" || fail "not exactly one message box"
  for line in "$@"; do
    grep -qxF -- "$line" <<<"$text" || fail "the box does not say: $line"
  done
}

expect_no_box() {
  local text
  text=$(record "$d/records/box.txt")
  grep -qx 'boxes 0' <<<"$text" || fail "a message box appeared after a full removal"
}

# start_window_watcher: records the uninstaller's window, should one appear,
# until stop_window_watcher.
start_window_watcher() {
  rm -f "$d/records/bar.stop" "$d/records/bar.txt"
  swine 'D:\tools\BarWatcher.exe' 'D:\records\bar.txt' 'D:\records\shot.request' 'D:\records\bar.stop' &
  watcher_pid=$!
}

stop_window_watcher() {
  touch "$d/records/bar.stop"
  wait "$watcher_pid" || fail "the window watcher failed"
  echo "---- window as seen from outside ----"; record "$d/records/bar.txt"
}

expect_no_window() {
  record "$d/records/bar.txt" | grep -qx 'window never seen' || fail "a window was seen in a silent run"
}

# run_log FILE: the lines of a run's log without the time of each.
run_log() { tail -c +4 "$1" | tr -d '\r' | sed -E 's/^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} //'; }

# expect_log FILE LINE...: the log is UTF-8 with its mark, every line has
# its time, and each given line is one of them.
expect_log() {
  local file=$1 text line
  shift
  [ -f "$file" ] || { fail "no log at $file"; return 0; }
  echo "---- log $(basename "$file") ----"; run_log "$file"
  [ "$(head -c 3 "$file" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "the log does not begin with the UTF-8 mark"
  iconv -f UTF-8 -t UTF-8 "$file" >/dev/null 2>&1 || fail "the log is not valid UTF-8"
  tail -c +4 "$file" | tr -d '\r' | grep -vqE '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} ' \
    && fail "a log line without its time"
  text=$(run_log "$file")
  for line in "$@"; do
    grep -qxF -- "$line" <<<"$text" || fail "the log does not say: $line"
  done
}

# registry_dump FILE: the company key as it is now.
registry_dump() {
  swine reg query 'HKLM\SOFTWARE\Quillmarsh' /s 2>&1 | tr -d '\r' | sed '/^$/d' >"$1" || true
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
  expect_no_box
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
    # The line above the bar names the step and the item, and the window
    # answers the watcher's requests for it while the run goes on.
    record "$d/records/bar.txt" | grep -Eqx 'text Calling plug-ins: D:\\inst\\libraries\\(alpha|beta|gamma)\.dll' \
      || fail "the window did not name a plug-in it called"
    record "$d/records/bar.txt" | grep -Eqx 'text Removing registry keys: Software\\Quillmarsh.*' \
      || fail "the window did not name a registry key it removed"
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
  # Under Wine the link cannot be removed; the box says so.
  expect_box "These files and folders could not be removed:" 'D:\inst\shortcut'
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
  expect_box 'D:\inst\libraries'
  [ -f "$d/elsewhere/foreign.dll" ] && [ -f "$d/elsewhere/precious.txt" ] \
    || fail "files outside the install folder were lost"
  company_key_gone || fail "the company key is still there"
  ;;

library_without_extension)
  # The loader appends ".dll" to a name without an extension: asked for the
  # plain file "x" it would open "x.dll", a link out of the folder.
  mkdir -p "$d/inst/libraries" "$d/elsewhere"
  cp "$ZYM_UNINSTALL_EXE" "$d/inst/uninstall.exe"
  cp "$ZYM_PLUGIN_DLL" "$d/elsewhere/linked.dll"
  echo 'not a library' >"$d/inst/libraries/x"
  ln -s ../../elsewhere/linked.dll "$d/inst/libraries/x.dll"
  cp "$ZYM_PLUGIN_DLL" "$d/inst/libraries/plain"
  write_keys 'D:\inst\'
  sandbox_listing "$logs/before.txt"
  run_uninstaller 'D:\inst\uninstall.exe'
  wait_for 30 gone "$d/inst/uninstall.exe" || fail "the program file is still there"
  sandbox_listing "$logs/after.txt"
  print_listing "sandbox before" "$logs/before.txt"
  print_listing "sandbox after" "$logs/after.txt"
  # Wine 8 lists a link to a file as a plain file and deletes its target
  # rather than the link (on Windows the link goes), so the link and the
  # folders around it stay, and the target goes.
  { grep '^. \./d/inst' "$logs/before.txt" | grep -Ev '^. \./d/inst(/libraries(/x\.dll)?)?$'
    echo 'f ./d/elsewhere/linked.dll'; } | LC_ALL=C sort >"$logs/expected-removed.txt"
  compare_listings "$logs/before.txt" "$logs/after.txt" "$logs/expected-removed.txt" '^. \./d/records/'
  # The plug-in without an extension runs under its own name; the one the
  # link leads to never does.
  check_plugins plain
  expect_box 'D:\inst\libraries'
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
  compare_listings "$logs/before.txt" "$logs/after.txt" "$logs/expected-removed.txt" '^. \./d/records/'
  [ ! -e "$d/records/plugins.txt" ] || fail "a plug-in ran although the folder was refused"
  expect_box "This folder was left as it is: it is not a folder the uninstaller may empty." 'D:\' 
  company_key_gone || fail "the company key is still there"
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

fullwidth_names)
  # Fullwidth full stops and solidus, which the ANSI functions turn into
  # "../": a path built from them would lead beside the install folder.
  install_tree
  mkdir -p "$d/victim" "$d/victim2" "$d/inst/．．／victim2"
  echo precious >"$d/victim/target.txt"
  echo keep >"$d/victim2/keep.txt"
  cp "$ZYM_PLUGIN_DLL" "$d/victim/plugin.dll"
  echo x >"$d/inst/．．／victim／target.txt"
  echo y >"$d/inst/．．／victim2/inner.txt"
  cp "$ZYM_PLUGIN_DLL" "$d/inst/libraries/．．／．．／victim／plugin.dll"
  write_keys 'D:\inst\'
  sandbox_listing "$logs/before.txt"
  run_uninstaller 'D:\inst\uninstall.exe'
  wait_for 30 gone "$d/inst" || fail "the install folder is still there"
  sandbox_listing "$logs/after.txt"
  print_listing "sandbox before" "$logs/before.txt"
  print_listing "sandbox after" "$logs/after.txt"
  grep '^. \./d/inst' "$logs/before.txt" >"$logs/expected-removed.txt"
  compare_listings "$logs/before.txt" "$logs/after.txt" "$logs/expected-removed.txt" '^. \./d/records/'
  echo "---- plug-in record ----"; record "$d/records/plugins.txt"
  [ "$(record "$d/records/plugins.txt" | wc -l)" -eq 4 ] || fail "not exactly the four plug-ins ran"
  ! grep -qxF 'Uninstall D:\victim\plugin.dll' <<<"$(record "$d/records/plugins.txt")" \
    || fail "a library beside the install folder ran"
  expect_no_box
  ;;

refuses_system_folders)
  # Each value names a folder of the machine, in its own or another
  # spelling; the uninstaller lies inside the folder it names, so only the
  # folder rules can refuse it. Nothing but the program file may go.
  c="$prefix/drive_c"
  user=$(ls "$c/users" | grep -vx Public | head -1)
  mkdir -p "$d/inst" "$d/elsewhere"
  echo mine >"$d/inst/readme.txt"
  cases=(
    'windows/system32/drivers|C:\windows\system32\drivers\'
    'windows/system32/drivers|C:/windows/system32/drivers/'
    'windows/system32|c:\WINDOWS\.\system32\'
    'windows/system32|C:\windows\\system32'
    'windows/system32|C:\windows\system32\..\system32\'
    'windows|C:\windows::$INDEX_ALLOCATION\'
    'windows|C:\WINDOWS'
    'users/Public/Documents|C:\users\Public\Documents\'
    'users/@USER@/Desktop|C:\users\@USER@\Desktop'
    'users/@USER@/AppData/Local|c:\Users\@USER@\appdata\local\'
    'users/@USER@|C:\users\@USER@\'
    'users|C:\users\'
    'Program Files|C:\Program Files\'
    '.|C:\'
  )
  for entry in "${cases[@]}"; do
    entry=${entry//@USER@/$user}
    dir=${entry%%|*} value=${entry#*|}
    mkdir -p "$c/$dir"
    cp "$ZYM_UNINSTALL_EXE" "$c/$dir/uninstall.exe"
    echo marker >"$c/$dir/zym-marker.txt"
    write_keys "$value"
    sandbox_listing "$logs/before.txt"
    program='C:\'$(printf '%s' "$dir" | tr '/' '\\')'\uninstall.exe'
    run_uninstaller "$program"
    wait_for 30 gone "$c/$dir/uninstall.exe" || fail "the program file in $dir is still there"
    sandbox_listing "$logs/after.txt"
    echo "---- InstallPath $value ----"
    echo "f ./prefix/drive_c/$dir/uninstall.exe" | sed 's#/\./#/#' >"$logs/expected-removed.txt"
    # The lookup of the install folder makes the folder the value names,
    # which Wine does for a stream name too.
    compare_listings "$logs/before.txt" "$logs/after.txt" "$logs/expected-removed.txt" \
      '^. \./d/records/|^d \./prefix/drive_c/windows::\$INDEX_ALLOCATION$'
    # The box names the folder as the lookup gives it, with a backslash.
    [[ $value == *'\' ]] || value+='\'
    expect_box "This folder was left as it is: it is not a folder the uninstaller may empty." "$value"
    company_key_gone || fail "the company key is still there"
    rm -f "$c/$dir/zym-marker.txt"
  done
  # An allowed folder that the running program does not lie in.
  cp "$ZYM_UNINSTALL_EXE" "$d/elsewhere/uninstall.exe"
  write_keys 'D:\inst\'
  sandbox_listing "$logs/before.txt"
  run_uninstaller 'D:\elsewhere\uninstall.exe'
  wait_for 30 gone "$d/elsewhere/uninstall.exe" || fail "the program file is still there"
  sandbox_listing "$logs/after.txt"
  echo "f ./d/elsewhere/uninstall.exe" >"$logs/expected-removed.txt"
  compare_listings "$logs/before.txt" "$logs/after.txt" "$logs/expected-removed.txt" '^. \./d/records/'
  expect_box 'D:\inst\'
  ;;

locked_file_and_hung_daemon)
  install_tree
  echo held >"$d/inst/data/held.dat"
  swine 'D:\tools\FileHolder.exe' 'D:\inst\data\held.dat' 'D:\records\held.ready' 'D:\records\held.stop' &
  holder_pid=$!
  wait_for 20 test -e "$d/records/held.ready" || fail "the file holder did not start"
  write_keys 'D:\inst\'
  sandbox_listing "$logs/before.txt"
  start_daemon hang
  run_uninstaller 'D:\inst\uninstall.exe'
  echo "first run took $run_seconds s"
  [ "$run_seconds" -le 25 ] || fail "the run waited $run_seconds s for the hung daemon"
  wait_for 30 gone "$d/inst/uninstall.exe" || fail "the program file is still there"
  touch "$d/records/held.stop"
  wait "$holder_pid" || fail "the file holder failed"
  end_daemon
  sandbox_listing "$logs/after.txt"
  print_listing "sandbox before" "$logs/before.txt"
  print_listing "sandbox after" "$logs/after.txt"
  grep '^. \./d/inst' "$logs/before.txt" | grep -Ev '^. \./d/inst(/data(/held\.dat)?)?$' \
    >"$logs/expected-removed.txt"
  compare_listings "$logs/before.txt" "$logs/after.txt" "$logs/expected-removed.txt" '^. \./d/records/'
  check_daemon_closed
  check_plugins alpha.dll beta.dll gamma.dll
  expect_box "These will be removed when Windows restarts:" 'D:\inst\data\held.dat' 'D:\inst\data'
  pending=$(swine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' \
    /v PendingFileRenameOperations 2>/dev/null | tr -d '\r' || true)
  grep -qF 'held.dat' <<<"$pending" || fail "the file is not scheduled for the next restart"
  ;;

silent_removes_everything)
  # The silent run does the work of the window's run, and its log names
  # each step and item; the log's own name and an item's are not ASCII.
  install_tree
  echo x >"$d/inst/données-日本.txt"
  write_keys 'D:\inst\'
  sandbox_listing "$logs/before.txt"
  start_daemon
  start_window_watcher
  run_uninstaller_expecting 0 'D:\inst\uninstall.exe' /S '/LOG=D:\records\журнал-日本.log'
  wait_for 30 gone "$d/inst" || fail "the install folder is still there"
  stop_window_watcher
  end_daemon
  sandbox_listing "$logs/after.txt"
  grep '^. \./d/inst' "$logs/before.txt" >"$logs/expected-removed.txt"
  compare_listings "$logs/before.txt" "$logs/after.txt" "$logs/expected-removed.txt" '^. \./d/records/'
  check_daemon_closed
  check_plugins alpha.dll beta.dll gamma.dll
  company_key_gone || fail "the company key is still there"
  expect_no_box
  expect_no_window
  log="$d/records/журнал-日本.log"
  expect_log "$log" \
    'command line   D:\inst\uninstall.exe /S /LOG=D:\records\журнал-日本.log' \
    'install folder D:\inst\' \
    '== closing the running program' 'closed         Zym Daemon' \
    '== calling plug-ins' \
    'called         D:\inst\libraries\alpha.dll' 'called         D:\inst\libraries\beta.dll' \
    'called         D:\inst\libraries\gamma.dll' 'removed        D:\inst\libraries\gamma.dll' \
    '== removing files' \
    'removed        D:\inst\readme.txt' 'removed        D:\inst\données-日本.txt' \
    'removed        D:\inst\data\deep\b.dat' 'removed folder D:\inst\data\deep' 'removed folder D:\inst\data' \
    'removed folder D:\inst\libraries' 'kept           D:\inst\uninstall.exe' \
    '== removing registry keys' \
    'removed key    Software\Quillmarsh\SkelvaneClient\2.0\Components\Chat' \
    'removed key    Software\Quillmarsh\SkelvaneClient\2.0\Components' \
    'removed key    Software\Quillmarsh\SkelvaneClient\2.0\Window' \
    'removed key    Software\Quillmarsh\SkelvaneClient\2.0' 'removed key    Software\Quillmarsh\SkelvaneClient' \
    'removed key    Software\Quillmarsh' \
    'handed over    D:\inst\uninstall.exe and D:\inst\ to the cleanup copy, which removes them once this run has ended' \
    'result         0 (everything removed)'
  [ "$(run_log "$log" | grep -c '^removed        ')" -eq 7 ] || fail "the log does not name exactly the seven files removed"
  ! run_log "$log" | grep -Eq '^(left|at restart|in use|refused|not loaded|no entry)' || fail "the log names a failure"
  [ "$(run_log "$log" | tail -1)" = 'result         0 (everything removed)' ] || fail "the result is not the log's last line"
  ;;

silent_locked_file)
  # A file held open is retried, then goes at the next restart (3010), or,
  # where the system cannot schedule it, stays (1); the log says which.
  install_tree
  echo held >"$d/inst/data/held.dat"
  swine 'D:\tools\FileHolder.exe' 'D:\inst\data\held.dat' 'D:\records\held.ready' 'D:\records\held.stop' &
  holder_pid=$!
  wait_for 20 test -e "$d/records/held.ready" || fail "the file holder did not start"
  write_keys 'D:\inst\'
  sandbox_listing "$logs/before.txt"
  start_window_watcher
  run_uninstaller_expecting '3010|1' 'D:\inst\uninstall.exe' /S '/LOG=D:\records\uninstall.log'
  wait_for 30 gone "$d/inst/uninstall.exe" || fail "the program file is still there"
  stop_window_watcher
  touch "$d/records/held.stop"
  wait "$holder_pid" || fail "the file holder failed"
  sandbox_listing "$logs/after.txt"
  grep '^. \./d/inst' "$logs/before.txt" | grep -Ev '^. \./d/inst(/data(/held\.dat)?)?$' \
    >"$logs/expected-removed.txt"
  compare_listings "$logs/before.txt" "$logs/after.txt" "$logs/expected-removed.txt" '^. \./d/records/'
  expect_no_box
  expect_no_window
  log="$d/records/uninstall.log"
  cp "$log" "$logs/uninstall-locked.log" 2>/dev/null || true
  expect_log "$log" 'in use, retry  D:\inst\data\held.dat' 'removed        D:\inst\data\a.dat'
  if [ "$run_rc" -eq 3010 ]; then
    expect_log "$log" 'at restart     D:\inst\data\held.dat' 'at restart     D:\inst\data' 'at restart     D:\inst' \
      'result         3010 (removed, some files go at the next restart)'
    ! run_log "$log" | grep -q '^left' || fail "a run that left something exited with 3010"
    pending=$(swine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' \
      /v PendingFileRenameOperations 2>/dev/null | tr -d '\r' || true)
    grep -qF 'held.dat' <<<"$pending" || fail "3010, but the file is not scheduled for the next restart"
  else
    expect_log "$log" 'left           D:\inst\data\held.dat' 'result         1 (some files or folders were left)'
  fi
  ;;

silent_refuses_before_touching)
  # A folder the guard refuses and an install folder nobody recorded end a
  # silent run with 2 before anything is touched: no file, no key, no
  # plug-in, no daemon, and the program file stays.
  mkdir -p "$d/libraries" "$d/data"
  cp "$ZYM_UNINSTALL_EXE" "$d/uninstall.exe"
  cp "$ZYM_PLUGIN_DLL" "$d/libraries/alpha.dll"
  echo precious >"$d/precious.txt"
  write_keys 'D:\'
  start_daemon
  start_window_watcher
  for case in refused unrecorded; do
    [ "$case" = refused ] || swine reg delete 'HKLM\SOFTWARE\Quillmarsh' /f >/dev/null 2>&1
    sandbox_listing "$logs/before-$case.txt"
    registry_dump "$logs/registry-before-$case.txt"
    run_uninstaller_expecting 2 'D:\uninstall.exe' /S "/LOG=D:\\records\\$case.log"
    sleep 2
    sandbox_listing "$logs/after-$case.txt"
    registry_dump "$logs/registry-after-$case.txt"
    : >"$logs/expected-removed.txt"
    compare_listings "$logs/before-$case.txt" "$logs/after-$case.txt" "$logs/expected-removed.txt" \
      '^. \./d/records/'
    cmp -s "$logs/registry-before-$case.txt" "$logs/registry-after-$case.txt" || fail "the registry changed ($case)"
    expect_no_box
  done
  stop_window_watcher
  expect_no_window
  expect_log "$d/records/refused.log" 'install folder D:\' 'refused        D:\' 'result         2 (refused, nothing was touched)'
  expect_log "$d/records/unrecorded.log" 'no install folder is recorded' 'result         2 (refused, nothing was touched)'
  [ ! -e "$d/records/plugins.txt" ] || fail "a plug-in ran in a refused run"
  [ ! -s "$d/records/daemon.txt" ] || fail "the daemon was asked to close in a refused run"
  ;;

refuses_unknown_options)
  # Each line is refused whole, with the usage text and 2, before anything
  # is touched; "/?" alone gives the text and 0. A silent line shows no box.
  install_tree
  write_keys 'D:\inst\'
  sandbox_listing "$logs/before.txt"
  registry_dump "$logs/registry-before.txt"
  start_window_watcher
  usage='Usage: uninstall.exe [/S] [/LOG=PATH] [/?]'
  cases=(
    "2|box|This is not an option of the uninstaller: /X|/X"
    "2|box|This is not an option of the uninstaller: /LOG=|/LOG="
    "2|silent|This is not an option of the uninstaller: /S|/S|/S"
    "2|box|This is not an option of the uninstaller: D:\\inst|/LOG=D:\\records\\never.log|D:\\inst"
    "2|silent|This is not an option of the uninstaller: /BOGUS|/S|/BOGUS|/LOG=D:\\records\\never.log"
    "2|silent|The log file could not be created: D:\\missing\\u.log|/S|/LOG=D:\\missing\\u.log"
    "0|box|$usage|/?"
  )
  for entry in "${cases[@]}"; do
    IFS='|' read -r -a fields <<<"$entry"
    code=${fields[0]} kind=${fields[1]} first=${fields[2]}
    run_uninstaller_expecting "$code" 'D:\inst\uninstall.exe' "${fields[@]:3}"
    echo "---- standard output ----"; tr -d '\r' <"$logs/stdout.txt"
    tr -d '\r' <"$logs/stdout.txt" | grep -qxF -- "$first" || fail "the standard output does not say: $first"
    tr -d '\r' <"$logs/stdout.txt" | grep -qxF -- "$usage" || fail "the standard output has no usage text"
    if [ "$kind" = box ]; then
      expect_box "$first" "$usage"
    else
      expect_no_box
    fi
  done
  stop_window_watcher
  expect_no_window
  sandbox_listing "$logs/after.txt"
  registry_dump "$logs/registry-after.txt"
  : >"$logs/expected-removed.txt"
  compare_listings "$logs/before.txt" "$logs/after.txt" "$logs/expected-removed.txt" '^. \./d/records/'
  cmp -s "$logs/registry-before.txt" "$logs/registry-after.txt" || fail "the registry changed"
  [ ! -e "$d/records/never.log" ] || fail "a refused line created its log"
  [ ! -e "$d/records/plugins.txt" ] || fail "a plug-in ran in a refused run"
  ;;

*) echo "unknown scenario $scenario"; exit 2 ;;
esac
exit $status
