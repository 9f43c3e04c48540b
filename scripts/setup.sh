#!/usr/bin/env bash
# Installs what building and running TELVORA needs on Debian: the i686 and
# x86_64 mingw-w64 cross compilers, 32- and 64-bit Wine, Xvfb, CMake, Ninja
# and the googletest sources, and clang, which checks that every source
# compiles with a second compiler. Where this machine cannot run 32-bit code,
# also qemu's user-mode emulator (version 9 or later), which runs Wine's
# 32-bit loader. Does nothing for packages that are already there and changes
# nothing else on the system.
set -euo pipefail

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for p in cmake ninja-build g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 \
         wine32:i386 xvfb xauth \
         googletest imagemagick x11-utils clang-format clang python3; do
  have "$p" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${need[@]}" >/dev/null
fi

# Wine's 32-bit loader runs natively where the kernel runs i386 programs.
/usr/lib/wine/wine --version >/dev/null 2>&1 && exit 0

# Elsewhere it runs under qemu-i386, which needs version 9 or later (older
# ones do not honour MAP_FIXED_NOREPLACE, and Wine's address-space
# reservation then fails).
qemu_major() { qemu-i386 --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\).*/\1/p'; }
[ "$(qemu_major)" -ge 9 ] 2>/dev/null && exit 0

candidate=$(apt-cache policy qemu-user 2>/dev/null | sed -n 's/^ *Candidate: //p')
if [ -n "$candidate" ] && [ "$candidate" != "(none)" ] && dpkg --compare-versions "$candidate" ge 1:9; then
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq qemu-user >/dev/null
else
  # This release's own qemu is too old: take the package from its backports,
  # read through a source list of our own so that the system's stay as they
  # are. The package holds static programs and no maintainer scripts (the
  # binfmt registration is a package of its own, not installed).
  . /etc/os-release
  work=$(mktemp -d /tmp/telvora-qemu.XXXXXX)
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/lists/partial" "$work/cache/archives/partial"
  echo "deb http://deb.debian.org/debian ${VERSION_CODENAME}-backports main" >"$work/sources.list"
  chmod -R a+rwX "$work"
  apt_private=(-o "Dir::Etc::SourceList=$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
               -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache" -o APT::Sandbox::User=root)
  apt-get "${apt_private[@]}" update -qq
  (cd "$work" && apt-get "${apt_private[@]}" download -qq qemu-user)
  $SUDO dpkg -i "$work"/qemu-user_*.deb >/dev/null
fi
if ! [ "$(qemu_major)" -ge 9 ] 2>/dev/null; then
  echo "setup: qemu-i386 9 or later is needed to run 32-bit Wine here, and could not be installed" >&2
  exit 1
fi
