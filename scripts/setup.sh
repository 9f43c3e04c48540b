#!/usr/bin/env bash
# Installs what building and running TELVORA needs on Debian: the i686 mingw-w64
# cross compiler, 32-bit Wine, Xvfb, CMake, Ninja and the googletest sources,
# and clang, which checks that every source compiles with a second compiler.
# Does nothing for packages that are already there.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for p in cmake ninja-build g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 \
         wine32:i386 xvfb xauth \
         googletest imagemagick x11-utils clang-format clang python3; do
  have "$p" || need+=("$p")
done
[ ${#need[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${need[@]}" >/dev/null
