# Sourced by the scripts that run Windows programs. The kit is built for
# two architectures: i686 (32-bit x86, preset mingw-i686) and x86_64 (x64,
# preset mingw-x86_64). Some machines run 64-bit programs only; there the
# 32-bit Wine cannot start, so what may run is found out, not assumed.

# zym_probe_i686: sets zym_i686_runs (yes or no) and zym_i686_why (a line in
# plain words). Runs a static 32-bit x86 program, then the 32-bit Wine
# loader, each under a short time limit.
zym_probe_i686() {
  zym_i686_runs=no
  local dir out rc
  dir=$(mktemp -d "${TMPDIR:-/tmp}/zym-probe.XXXXXX")
  # exit(0) through the 32-bit system call gate: nothing but the kernel's
  # own support for 32-bit programs is needed to run it.
  printf '.globl _start\n_start:\n  mov $1, %%eax\n  xor %%ebx, %%ebx\n  int $0x80\n' >"$dir/probe.s"
  if as --32 "$dir/probe.s" -o "$dir/probe.o" 2>/dev/null &&
     ld -m elf_i386 -s "$dir/probe.o" -o "$dir/probe" 2>/dev/null; then
    rc=0
    out=$(timeout 5 "$dir/probe" 2>&1) || rc=$?
    if [ "$rc" -ne 0 ]; then
      rm -rf "$dir"
      zym_i686_why="this machine's kernel does not run 32-bit x86 programs (a static i386 program ended with status $rc${out:+: ${out##*: }}; see 'dmesg | grep -i ia-32')"
      return
    fi
  fi
  rm -rf "$dir"
  if [ ! -x /usr/lib/wine/wine ]; then
    zym_i686_why="the 32-bit Wine is not installed (/usr/lib/wine/wine is missing; apt-get install wine32:i386)"
    return
  fi
  rc=0
  out=$(timeout 20 /usr/lib/wine/wine --version 2>&1) || rc=$?
  if [ "$rc" -ne 0 ]; then
    out=$(head -n 1 <<<"$out")
    zym_i686_why="the 32-bit Wine loader does not start (status $rc${out:+: $out})"
    if [ ! -e /lib/ld-linux.so.2 ]; then
      zym_i686_why="$zym_i686_why: the i386 program loader /lib/ld-linux.so.2 is missing (apt-get install libc6:i386)"
    fi
    return
  fi
  zym_i686_runs=yes
  zym_i686_why="the 32-bit Wine runs here ($out)"
}

# zym_arch_name ARCH: the architecture in the words the scripts print.
zym_arch_name() {
  case "$1" in
    i686) echo "32-bit (x86)" ;;
    x86_64) echo "64-bit (x64)" ;;
    *) echo "$1" ;;
  esac
}

# zym_check_archs LIST: fails with a message unless every entry is known.
zym_check_archs() {
  local a
  for a in $1; do
    case "$a" in
      i686 | x86_64) ;;
      *) echo "ZYM_ARCHS: unknown architecture '$a' (use i686, x86_64 or both)" >&2; return 1 ;;
    esac
  done
}

# zym_pick_arch: sets zym_arch for a script that runs one build: the first
# of ZYM_ARCHS when given, else the 32-bit build where it runs here and the
# 64-bit one where it does not (said in one line). Fails when the chosen
# build cannot run here.
zym_pick_arch() {
  zym_arch=${ZYM_ARCHS:-}
  zym_arch=${zym_arch%% *}
  zym_check_archs "$zym_arch" || return 1
  if [ "$zym_arch" = x86_64 ]; then
    return 0
  fi
  zym_probe_i686
  if [ "$zym_i686_runs" = yes ]; then
    zym_arch=i686
  elif [ -z "$zym_arch" ]; then
    zym_arch=x86_64
    echo "* running the 64-bit build: $zym_i686_why"
  else
    echo "the 32-bit build cannot run here: $zym_i686_why; use ZYM_ARCHS=x86_64" >&2
    return 1
  fi
}
