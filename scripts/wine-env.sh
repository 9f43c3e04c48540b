# Sourced by the scripts. Builds the project and prepares Wine: a prefix and,
# when no display is given, a private Xvfb display, with one persistent
# wineserver.
#   telvora_build [TARGET...] -> installs what is missing, configures once
#                                (presets mingw for i686, mingw64 for x86_64),
#                                builds; sets $build (TELVORA_BUILD_DIR, else
#                                build/mingw, or build/mingw64 for x86_64)
#   telvora_wine ARGS...      -> runs a program of $TELVORA_ARCH under Wine
#   telvora_wine_tool ARGS... -> runs one of Wine's own tools (reg, winepath)
#   telvora_wine_up PREFIX    -> exports WINEPREFIX, WINEDEBUG, DISPLAY
#   telvora_wine_down         -> stops wineserver and Xvfb started here
#   telvora_temp_wine_up      -> a throwaway prefix on a private display;
#                                telvora_temp_wine_down removes it again
# A private display's screen is 1280x1024x24 unless TELVORA_XVFB_SCREEN says
# otherwise.
# A new prefix is booted inside the display so its windows stay visible.

# The architecture the programs are built for and run under Wine: i686, the
# product, unless TELVORA_ARCH says x86_64 (a real build too, and the one
# whose timings mean something where 32-bit code runs emulated).
telvora_arch() {
  export TELVORA_ARCH=${TELVORA_ARCH:-i686}
  case $TELVORA_ARCH in
    i686 | x86_64) ;;
    *) echo "TELVORA_ARCH must be i686 or x86_64, not $TELVORA_ARCH" >&2; return 1 ;;
  esac
}

# Sets TELVORA_WINE32 and TELVORA_WINE64, the Wine loaders that start 32- and
# 64-bit programs; either starts a program of the other kind through the
# other. Where the kernel runs i386 programs these are Debian's own. Elsewhere
# the 32-bit loader runs under qemu-i386, from a folder (build/wine-loaders)
# laid out as Debian's, with links to Wine's libraries and data:
#   lib/wine/wine-i386  a copy of the 32-bit loader; qemu reports it as the
#                       running program, so Wine takes this folder for its own
#   lib/wine/wine       runs it under qemu-i386, with "wine" as its argv[0]:
#                       Wine starts every new 32-bit process with argv[0] and
#                       every new 64-bit one with wine64 from its folder
#   lib/wine/wine64     a copy of the 64-bit loader, so that it too starts
#                       32-bit programs through lib/wine/wine
# WINELOADERNOEXEC keeps the loader from re-executing itself at start (Wine 8
# has no preloader here). qemu emulates the most capable processor it can, so
# that the programs take the SSE2 and AVX2 paths they take on today's
# machines.
telvora_wine_loaders() {
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    export TELVORA_WINE32=/usr/lib/wine/wine TELVORA_WINE64=/usr/lib/wine/wine64
    return 0
  fi
  local dir
  dir="$(pwd)/build/wine-loaders"
  export TELVORA_WINE32="$dir/lib/wine/wine" TELVORA_WINE64="$dir/lib/wine/wine64"
  # Laid out once: a run beside this one may be starting programs from it.
  if [ -x "$TELVORA_WINE32" ] && cmp -s /usr/lib/wine/wine "$dir/lib/wine/wine-i386" &&
    cmp -s /usr/lib/wine/wine64 "$TELVORA_WINE64"; then
    return 0
  fi
  rm -rf "$dir"
  mkdir -p "$dir/lib/wine"
  ln -s /usr/lib/i386-linux-gnu "$dir/lib/i386-linux-gnu"
  ln -s /usr/lib/x86_64-linux-gnu "$dir/lib/x86_64-linux-gnu"
  ln -s /usr/share "$dir/share"
  cp /usr/lib/wine/wine "$dir/lib/wine/wine-i386"
  cp /usr/lib/wine/wine64 "$dir/lib/wine/wine64"
  ln -s /usr/lib/wine/wineserver "$dir/lib/wine/wineserver"
  cat >"$dir/lib/wine/wine" <<EOF2
#!/bin/sh
export WINELOADERNOEXEC=1
exec qemu-i386 -cpu max -0 "$dir/lib/wine/wine" "$dir/lib/wine/wine-i386" "\$@"
EOF2
  chmod +x "$dir/lib/wine/wine"
}

# Runs a program built for $TELVORA_ARCH.
telvora_wine() {
  if [ "$TELVORA_ARCH" = x86_64 ]; then
    "$TELVORA_WINE64" "$@"
  else
    "$TELVORA_WINE32" "$@"
  fi
}

# Runs one of Wine's own tools (reg, winepath, wineboot): the 64-bit ones,
# which see the registry's 64-bit view and run natively.
telvora_wine_tool() {
  "$TELVORA_WINE64" "$@"
}

telvora_build() {
  scripts/setup.sh
  telvora_arch
  [ -n "${TELVORA_WINE64:-}" ] || telvora_wine_loaders
  local preset=mingw wine=$TELVORA_WINE32
  if [ "$TELVORA_ARCH" = x86_64 ]; then
    preset=mingw64
    wine=$TELVORA_WINE64
  fi
  build=${TELVORA_BUILD_DIR:-build/$preset}
  # Configured once; again when the loader that runs its programs changed.
  if [ ! -f "$build/build.ninja" ] || ! grep -qx "TELVORA_WINE:[A-Z]*=$wine" "$build/CMakeCache.txt"; then
    cmake --preset "$preset" -B "$build" -DTELVORA_WINE="$wine" >/dev/null
  fi
  if [ $# -gt 0 ]; then
    cmake --build "$build" --target "$@"
  else
    cmake --build "$build"
  fi
}

TELVORA_XVFB_PID=""

telvora_start_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${TELVORA_XVFB_SCREEN:-1280x1024x24}" -nolisten tcp >/dev/null 2>&1 &
    TELVORA_XVFB_PID=$!
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      kill -0 "$TELVORA_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "could not start Xvfb" >&2
  return 1
}

telvora_reg() { # telvora_reg KEY NAME TYPE DATA
  telvora_wine_tool reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1
}

# Wine's own fonts (Tahoma, Marlett for the caption buttons, ...) are not
# found from Debian's package folder: put them into the prefix.
telvora_install_fonts() {
  local dir font
  for dir in /usr/share/wine/fonts /usr/lib/wine/fonts /opt/wine/share/wine/fonts; do
    [ -d "$dir" ] || continue
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    for font in "$dir"/*.ttf; do
      [ -e "$WINEPREFIX/drive_c/windows/Fonts/$(basename "$font")" ] ||
        cp "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
    done
    return 0
  done
}

telvora_wine_up() {
  local prefix=$1
  telvora_arch
  [ -n "${TELVORA_WINE64:-}" ] || telvora_wine_loaders
  export WINEPREFIX=$prefix
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
  if [ -z "${DISPLAY:-}" ] || [ "${TELVORA_HEADLESS:-0}" = 1 ]; then
    telvora_start_xvfb
  fi
  local fresh=0
  [ -f "$prefix/system.reg" ] || fresh=1
  mkdir -p "$prefix"
  [ $fresh = 1 ] || telvora_install_fonts
  wineserver -p
  if [ $fresh = 1 ]; then
    # Booted with both loaders at hand, so that syswow64 is filled too.
    WINEARCH=win64 telvora_wine_tool wineboot -i >/dev/null 2>&1
    telvora_install_fonts
    # No window manager here: unmanaged windows avoid a 2 s wait per DestroyWindow.
    if [ -n "$TELVORA_XVFB_PID" ]; then
      telvora_reg 'HKCU\Software\Wine\X11 Driver' Managed REG_SZ N
    fi
    # The boot can leave two service managers running (seen with 64-bit Wine
    # alone); every later RpcSs start then times out, 10 s for each program
    # that starts the desktop. A restarted server starts one.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    wineserver -p >/dev/null 2>&1
  fi
  # The services start with the first program; started here, they do not
  # hold on to a test program's output (CTest would wait for it to close).
  telvora_wine_tool wineboot </dev/null >/dev/null 2>&1 || true
}

telvora_wine_down() {
  wineserver -k 2>/dev/null || true
  if [ -n "$TELVORA_XVFB_PID" ]; then
    kill "$TELVORA_XVFB_PID" 2>/dev/null || true
    wait "$TELVORA_XVFB_PID" 2>/dev/null || true
  fi
}

TELVORA_TEMP_PREFIX=""

telvora_temp_wine_up() {
  TELVORA_TEMP_PREFIX=$(mktemp -d /tmp/telvora-prefix.XXXXXX)
  rmdir "$TELVORA_TEMP_PREFIX"
  TELVORA_HEADLESS=1 telvora_wine_up "$TELVORA_TEMP_PREFIX"
}

telvora_temp_wine_down() {
  telvora_wine_down
  [ -n "$TELVORA_TEMP_PREFIX" ] && rm -rf "$TELVORA_TEMP_PREFIX"
  TELVORA_TEMP_PREFIX=""
}
