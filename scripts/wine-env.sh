# Sourced by the scripts of scripts/: a private Wine prefix inside the build
# folder, one Wine server kept alive while programs run (each program then
# starts in a fraction of a second instead of seconds), and a virtual X
# display so that windows and message boxes are real.
# Expects $build to name the build folder; the Wine used (32-bit or 64-bit)
# is the one of that build's architecture.

export WINEPREFIX="$build/wine-prefix"
export WINEDEBUG=-all
zym_build_arch=$(sed -n 's/^ZYM_TARGET_ARCH:INTERNAL=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
if [ "$zym_build_arch" = x64 ]; then
  export WINEARCH=win64
  # Debian's `wine` would start the 32-bit loader; this folder's `wine`
  # starts the 64-bit one, for the scripts and for Wine's own commands.
  PATH="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine64:$PATH"
  export PATH
  export WINELOADER=/usr/lib/wine/wine64
else
  export WINEARCH=win32
fi
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
    if command -v Xvfb >/dev/null 2>&1; then
      echo "Xvfb did not start within 15 s" >&2
    else
      echo "Xvfb is not installed: bash scripts/setup-debian.sh (or apt-get install xvfb)" >&2
    fi
    return 1
  fi
  export DISPLAY=":$n"
}

# zym_wine_up: fails with the reason on standard error, and what to do.
zym_wine_up() {
  local log="$WINEPREFIX.boot.log"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >"$log" 2>&1 || true
    # Without a window manager, Wine's managed windows make every closed
    # message box linger about two seconds before its call returns.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$log" 2>&1 || true
    wineserver -w
    # The statuses above say little; a prefix that was made has a registry
    # once its server has written it out.
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      zym_wine_failed "$log"
      return 1
    fi
  fi
  wineserver -p >/dev/null 2>&1 &
  zym_wineserver_pid=$!
  # The first program of a server starts Wine's own services, which inherit
  # its output pipes; started here they hold no test's pipes open.
  if ! wine cmd /c exit >"$log" 2>&1 </dev/null; then
    zym_wine_failed "$log"
    return 1
  fi
}

# zym_wine_failed LOG: says why Wine did not start for this build.
zym_wine_failed() {
  echo "Wine ($WINEARCH) did not start in $WINEPREFIX. Its output:" >&2
  sed 's/^/  /' "$1" | tail -n 15 >&2
  if [ "$WINEARCH" = win32 ]; then
    . "$(dirname "${BASH_SOURCE[0]}")/arch-lib.sh"
    zym_probe_i686
    echo "32-bit programs: $zym_i686_runs: $zym_i686_why" >&2
    echo "Where 32-bit programs cannot run, use the 64-bit build: ZYM_ARCHS=x86_64" >&2
  elif [ ! -x /usr/lib/wine/wine64 ]; then
    echo "The 64-bit Wine is not installed: bash scripts/setup-debian.sh (or apt-get install wine64)" >&2
  fi
}

zym_down() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${zym_wineserver_pid:-}" ]; then wait "$zym_wineserver_pid" 2>/dev/null || true; fi
  if [ -n "${zym_xvfb_pid:-}" ]; then kill "$zym_xvfb_pid" 2>/dev/null || true; wait "$zym_xvfb_pid" 2>/dev/null || true; fi
}
