# Shared by run-vela.sh and wine-tests.sh: the Windows build, a Wine prefix
# that belongs to the build folder, and a headless X server when needed.
# Source it; it defines functions only.

vela_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Configures (first time) and builds the given targets of the mingw-w64 build.
vela_build_windows() {
  local build=$1; shift
  if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$vela_root" -B "$build" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$vela_root/cmake/mingw-w64.cmake" -DVELA_WERROR=ON >/dev/null
  fi
  ninja -C "$build" -j2 "$@"
}

# Wine quiet, without Mono or Gecko, in <build>/wineprefix unless
# VELA_WINEPREFIX names another one.
vela_wine_env() {
  local build=$1
  export WINEPREFIX=${VELA_WINEPREFIX:-$build/wineprefix}
  export WINEDEBUG=-all
  # No menu entries or file types in the Linux desktop from what is installed.
  export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
}

# Creates the prefix on first use (about 15 s). With "unmanaged", windows get
# no window-manager frame and are not waited for when they close: an X server
# without window manager would otherwise cost 2 s per closed window.
vela_wine_prefix() {
  local mode=${1:-managed}
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
  # Wine's Marlett draws the caption's buttons; Debian's Wine does not look
  # for it by itself.
  cp -n /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  local managed=Y
  [ "$mode" = unmanaged ] && managed=N
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f >/dev/null 2>&1 || true
}

# Starts Xvfb on the first free display from :91 and exports DISPLAY; the
# screen is 1280x1024x24 unless given. The server ends with this shell (trap
# in the caller: vela_stop_xvfb).
vela_xvfb_pid=
vela_start_xvfb() {
  local n=91
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${1:-1280x1024x24}" -nolisten tcp >/dev/null 2>&1 &
  vela_xvfb_pid=$!
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  export DISPLAY=":$n"
}

vela_stop_xvfb() {
  if [ -n "$vela_xvfb_pid" ]; then
    kill "$vela_xvfb_pid" 2>/dev/null || true
    wait "$vela_xvfb_pid" 2>/dev/null || true
    vela_xvfb_pid=
  fi
}

# Whether something listens on a TCP port of this machine.
vela_port_taken() {
  (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

# Waits up to 10 s for a server on a port of this machine.
vela_wait_for_port() {
  for _ in $(seq 100); do
    vela_port_taken "$1" && return 0
    sleep 0.1
  done
  echo "nothing listens on port $1" >&2
  return 1
}
