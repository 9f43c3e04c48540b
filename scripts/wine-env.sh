# Sourced by the scripts. Builds the project and prepares Wine: a prefix and,
# when no display is given, a private Xvfb display, with one persistent
# wineserver.
#   telvora_build [TARGET...] -> installs what is missing, configures once,
#                                builds; sets $build (TELVORA_BUILD_DIR, else
#                                build/mingw, or build/mingw64 for x86_64)
#   telvora_wine ARGS...      -> runs Wine with the loader of $TELVORA_ARCH
#   telvora_wine_up PREFIX    -> exports WINEPREFIX, WINEDEBUG, DISPLAY
#   telvora_wine_down         -> stops wineserver and Xvfb started here
#   telvora_temp_wine_up      -> a throwaway prefix on a private display;
#                                telvora_temp_wine_down removes it again
# A private display's screen is 1280x1024x24 unless TELVORA_XVFB_SCREEN says
# otherwise.
# A new prefix is booted inside the display so its windows stay visible.

# The architecture the programs are built for and run under Wine: i686 (the
# product) where this machine can run 32-bit code, else x86_64 (some virtual
# machines' kernels refuse 32-bit executables, and with them 32-bit Wine).
# TELVORA_ARCH chooses it by hand.
telvora_detect_arch() {
  if [ -z "${TELVORA_ARCH:-}" ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
      TELVORA_ARCH=i686
    else
      TELVORA_ARCH=x86_64
      echo "note: this machine cannot run 32-bit programs; building and testing for x86_64" >&2
    fi
  fi
  export TELVORA_ARCH
  if [ "$TELVORA_ARCH" = x86_64 ]; then
    # Debian's wine script always picks the 32-bit loader when it is installed.
    export WINELOADER=/usr/lib/wine/wine64
  fi
}

telvora_wine() {
  if [ "${TELVORA_ARCH:-i686}" = x86_64 ]; then
    /usr/lib/wine/wine64 "$@"
  else
    wine "$@"
  fi
}

telvora_build() {
  local root
  root=$(pwd)
  scripts/setup.sh
  telvora_detect_arch
  local toolchain="$root/cmake/toolchain-$TELVORA_ARCH-w64-mingw32.cmake"
  if [ "$TELVORA_ARCH" = x86_64 ]; then
    build=${TELVORA_BUILD_DIR:-build/mingw64}
  else
    build=${TELVORA_BUILD_DIR:-build/mingw}
  fi
  if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
  elif ! grep -q "^CMAKE_TOOLCHAIN_FILE:[A-Z]*=$toolchain\$" "$build/CMakeCache.txt"; then
    # Configured for the other architecture: configure afresh.
    cmake --fresh -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
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
  telvora_wine reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1
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
    WINEARCH=win64 telvora_wine wineboot -i >/dev/null 2>&1
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
  telvora_wine wineboot </dev/null >/dev/null 2>&1 || true
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
