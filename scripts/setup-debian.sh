#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, and nothing that is
# already there. Safe to run again and again. The 32-bit Wine is installed
# even where the machine cannot run it: the test command finds that out and
# runs the 64-bit suite alone.
set -euo pipefail

packages=(
  cmake make ninja-build pkg-config
  g++-mingw-w64-i686 mingw-w64-i686-dev libz-mingw-w64-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  binutils-mingw-w64-x86-64
  wine wine64 wine32:i386 libgnutls30
  xvfb xauth x11-apps x11-utils imagemagick
  googletest
  ngircd inspircd anope iproute2
  libgnutls30:i386 openssl python3
  unzip zip bzip2 binutils-mingw-w64-i686
  clang lld llvm libclang-rt-14-dev zlib1g-dev libminizip-dev libssl-dev
)

sudo_() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  sudo_ dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  sudo_ apt-get update -qq
  DEBIAN_FRONTEND=noninteractive sudo_ apt-get install -y -qq --no-install-recommends "${missing[@]}"
  # The IRC daemons must not keep running as system services: tests start
  # their own instances on loopback addresses of their choosing.
  for svc in ngircd inspircd anope; do
    if command -v systemctl >/dev/null 2>&1; then systemctl disable --now "$svc" >/dev/null 2>&1 || true; fi
    if [ -x "/etc/init.d/$svc" ]; then "/etc/init.d/$svc" stop >/dev/null 2>&1 || true; fi
  done
fi
