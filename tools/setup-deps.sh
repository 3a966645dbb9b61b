#!/usr/bin/env bash
# Installs the Debian packages Brelune3 needs to build, run and test.
# Idempotent: quiet and quick when everything is present.
set -euo pipefail

packages=(
  # build
  cmake g++ make pkg-config qt6-base-dev libsdl2-dev libmpg123-dev libcurl4-openssl-dev libgtest-dev
  # run without a display, generate the demo playlist and the test fixtures, test through a proxy
  xvfb xauth lame twolame sox tinyproxy-bin python3 mpg123
  # a real streaming server, a private session bus, a real window manager
  icecast2 ezstream dbus-daemon openbox openssl
  # a media-controls client, as desktops and status bars use
  playerctl
  # real pointer input and window properties for the window-manager test
  xdotool x11-utils
  # the validators of the installed desktop entry and metainfo; the Debian package (cpack)
  desktop-file-utils appstream dpkg-dev
  # the start-up bench reads the window's first paint from the X server
  libxcb-damage0-dev
  # the fuzz targets (tools/fuzz.sh): clang with libFuzzer and the sanitizers' runtime
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}" >/dev/null
