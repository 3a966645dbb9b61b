#!/usr/bin/env bash
# Instructions the whole player process executes per second of audio while it
# plays a 128 kbit/s file in real time with its window shown (its own Xvfb,
# its own session bus, SDL's dummy driver), against libmpg123 alone decoding
# the same file (build/bench/decoder/mpxdec_bare_decode). Both run under
# callgrind, which counts instructions exactly, whatever the machine's load.
# The player's count is zeroed once it plays (after its slow start under
# valgrind) and read SECONDS later, so start-up is left out.
# Needs valgrind, xvfb, dbus-daemon, sox and lame.
#
#   bench/player/callgrind-player.sh [build-dir] [seconds]
#
# BRELUNE3_PLAYER names another program to count in the player's place (another
# build, or build/bench/player/bench_floor_player for the floor under the figure).
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
seconds=${2:-30}
warmup=25
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

sox -V1 -n -r 44100 -c 2 -b 16 -t wav - synth $((warmup + seconds + 30)) pinknoise sine 440 gain -9 |
  lame --silent -b 128 - "$work/tone.mp3"

total() { sed -n 's/^\(summary\|totals\): *\([0-9]*\).*/\2/p' "$1" | head -1; }

valgrind -q --tool=callgrind --callgrind-out-file="$work/bare.out" \
  "$build/bench/decoder/mpxdec_bare_decode" "$work/tone.mp3" "$seconds" >/dev/null
bare=$(total "$work/bare.out")

mkdir -p "$work/home/config" "$work/home/runtime" "$work/home/cache"
chmod 700 "$work/home/runtime"
Xvfb -displayfd 3 -nolisten tcp -ac -screen 0 1024x768x24 3>"$work/display" 2>/dev/null &
pids+=($!)
dbus-daemon --session --nofork --print-address=4 4>"$work/bus" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && [ -s "$work/bus" ] && break; sleep 0.1; done
env -u QT_QPA_PLATFORM HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_RUNTIME_DIR="$work/home/runtime" \
  XDG_CACHE_HOME="$work/home/cache" DISPLAY=":$(cat "$work/display")" DBUS_SESSION_BUS_ADDRESS="$(cat "$work/bus")" \
  SDL_AUDIODRIVER=dummy QT_LOGGING_RULES='qt.qpa.*=false' \
  valgrind -q --tool=callgrind --callgrind-out-file="$work/player.out" "${BRELUNE3_PLAYER:-$build/app/brelune3}" "$work/tone.mp3" &
player=$!
pids+=($player)
sleep "$warmup"
callgrind_control -z "$player" >/dev/null
sleep "$seconds"
callgrind_control -d "$player" >/dev/null
sleep 1
played=$(total "$(ls "$work"/player.out.* | tail -1)")

awk -v b="$bare" -v p="$played" -v s="$seconds" 'BEGIN {
  printf "libmpg123 alone: %.1f M instructions per second of audio\n", b / s / 1e6
  printf "whole player:    %.1f M instructions per second of audio\n", p / s / 1e6
  printf "ratio: %.3f (target 1.05)\n", p / b
}'
