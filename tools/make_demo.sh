#!/usr/bin/env bash
# Writes three short MP3 files of generated audio and a demo.m3u listing
# them into the folder given as the only argument, so the player has
# something of our own to play. Needs: sox, lame.
set -euo pipefail
dir="${1:?usage: make_demo.sh FOLDER}"
mkdir -p "$dir"
dir="$(cd "$dir" && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# A rising sweep, a plucked chord and slowly swelling surf, a few seconds each.
sox -n -r 44100 -c 2 -b 16 "$tmp/rising.wav" synth 4 sine 220-880 sine 330-1320 fade 0.1 4 0.5 gain -6
sox -n -r 44100 -c 3 -b 16 "$tmp/chord3.wav" synth 4 pluck C4 pluck E4 pluck G4 fade 0 4 1
sox "$tmp/chord3.wav" -c 2 "$tmp/chord.wav" remix 1,2 2,3 gain -3
sox -n -r 44100 -c 2 -b 16 "$tmp/surf.wav" synth 5 brownnoise brownnoise tremolo 0.4 80 fade 0.5 5 1 gain -4

n=0
: > "$dir/demo.m3u.tmp"
echo "#EXTM3U" >> "$dir/demo.m3u.tmp"
for name in rising chord surf; do
  n=$((n + 1))
  file="$dir/0$n-$name.mp3"
  lame --silent -b 128 --tt "Demo $n: $name" --ta "Brelune3" "$tmp/$name.wav" "$file"
  echo "$file" >> "$dir/demo.m3u.tmp"
done
mv "$dir/demo.m3u.tmp" "$dir/demo.m3u"
echo "$dir/demo.m3u"
