#!/usr/bin/env bash
# Writes the longer Layer III files the playback engine plays: five seconds
# for the end-to-end test (more than the 16-buffer output ring holds, so the
# ring wraps and the frame-rate timer drives most of the decoding), and
# fifteen seconds at a low bit rate for the benchmark, long enough to stall
# the driving thread mid-stream and still have audio left to decode.
# Needs: sox, lame. Both runs are repeatable (-R: sox's dither with a fixed
# seed), and lame keeps 44.1 kHz at the low rate instead of resampling.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="${1:-$here/../tests/fixtures}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# Two tones, so swapped or mixed channels show in a comparison.
sox -R -n -r 44100 -c 2 -b 16 "$tmp/tone.wav" synth 5 sine 440 sine 1250 fade 0.02 0 0.02 gain -3
lame --silent -b 128 "$tmp/tone.wav" "$out/l3_mpeg1_44k_stereo_5s.mp3"
sox -R -n -r 44100 -c 2 -b 16 "$tmp/long.wav" synth 15 sine 440 sine 1250 fade 0.02 0 0.02 gain -3
lame --silent -b 64 --resample 44.1 "$tmp/long.wav" "$out/l3_mpeg1_44k_stereo_15s_64k.mp3"
ls -l "$out"/l3_mpeg1_44k_stereo_5s.mp3 "$out"/l3_mpeg1_44k_stereo_15s_64k.mp3
