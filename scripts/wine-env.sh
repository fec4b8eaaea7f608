# Sourced by the scripts of scripts/: a private Wine prefix inside the build
# folder, one Wine server kept alive while programs run (each program then
# starts in a fraction of a second instead of seconds), and a virtual X
# display so that windows and message boxes are real.
# Expects $build to name the build folder.

export WINEPREFIX="$build/wine-prefix"
export WINEDEBUG=-all
export WINEARCH=win32
# No browser or .NET runtime: their installers would ask on every new prefix.
# No debugger either: a crashing test program then ends at once instead of
# waiting for its time limit.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"

# Xvfb picks a free display itself and writes its number once it listens,
# so two runs side by side never race for one display.
zym_x_up() {
  local fifo n=""
  fifo=$(mktemp -u "${TMPDIR:-/tmp}/zym-display.XXXXXX")
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  zym_xvfb_pid=$!
  read -r -t 15 n <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$n" ]; then
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$n"
}

zym_wine_up() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    # Without a window manager, Wine's managed windows make every closed
    # message box linger about two seconds before its call returns.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wineserver -w
  fi
  wineserver -p >/dev/null 2>&1 &
  zym_wineserver_pid=$!
  # The first program of a server starts Wine's own services, which inherit
  # its output pipes; started here they hold no test's pipes open.
  wine cmd /c exit >/dev/null 2>&1 </dev/null
}

zym_down() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${zym_wineserver_pid:-}" ]; then wait "$zym_wineserver_pid" 2>/dev/null || true; fi
  if [ -n "${zym_xvfb_pid:-}" ]; then kill "$zym_xvfb_pid" 2>/dev/null || true; wait "$zym_xvfb_pid" 2>/dev/null || true; fi
}
