#!/usr/bin/env bash
# Installs what is missing, builds the player and starts it: on the files
# given, or on a small demo playlist generated on the spot.
set -euo pipefail
cd "$(dirname "$0")"
top=$(pwd)
tools/setup-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRELUNE_BUILD_TESTS=OFF >/dev/null
cmake --build build -j2 --target brelune3

args=("$@")
if [ ${#args[@]} -eq 0 ]; then
  if [ ! -f .demo/demo.m3u ]; then
    tools/make_demo.sh "$top/.demo" >/dev/null
  fi
  # The list names its files relative to the current folder.
  cd "$top/.demo"
  args=("demo.m3u")
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting under a virtual display (Xvfb); the window is not visible and sound goes to the default device or nowhere."
  exec xvfb-run -a "$top/build/app/brelune3" "${args[@]}"
fi
exec "$top/build/app/brelune3" "${args[@]}"
