#!/usr/bin/env bash
# Writes the small MPEG audio files the decoder tests use into tests/fixtures
# (or the folder given as the first argument). Every file comes from a tone
# that sox generates here, so nothing is taken from elsewhere.
# Needs: sox, lame, twolame, python3 (mpeg_frames.py cuts whole frames).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="${1:-$here/../tests/fixtures}"
mkdir -p "$out"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# Two different tones, so a swapped or mixed channel shows in a comparison.
# -R fixes the seed of the dither, so the script always writes the same files.
tone() { # rate channels seconds file
  if [ "$2" = 2 ]; then
    sox -R -n -r "$1" -c 2 -b 16 "$4" synth "$3" sine 440 sine 1250 fade 0.02 0 0.02 gain -3
  else
    sox -R -n -r "$1" -c 1 -b 16 "$4" synth "$3" sine 660 fade 0.02 0 0.02 gain -3
  fi
}

# Layer I: no encoder writes it, so make_layer1.py builds the frames itself.
python3 "$here/make_layer1.py" "$out/l1_mpeg1_48k_stereo.mp1" 1 48000 384 2 60
python3 "$here/make_layer1.py" "$out/l1_mpeg2_24k_mono.mp1" 2 24000 64 1 60

# Layer II, MPEG-1 and MPEG-2 (half rates).
tone 44100 2 0.6 "$tmp/44k_stereo.wav"
tone 22050 1 0.6 "$tmp/22k_mono.wav"
twolame --quiet -b 192 -m s "$tmp/44k_stereo.wav" "$out/l2_mpeg1_44k_stereo.mp2"
twolame --quiet -b 64 -m m "$tmp/22k_mono.wav" "$out/l2_mpeg2_22k_mono.mp2"

# Layer III, MPEG-1, 2 and 2.5; the first carries ID3v2 tags, the VBR one ID3v1.
lame --silent -b 128 --id3v2-only --tt "Tone Title" --ta "Tone Artist" \
  --tv "TEXT=Tone Author" --tv "TCOM=Tone Composer" \
  "$tmp/44k_stereo.wav" "$out/l3_mpeg1_44k_stereo.mp3"
lame --silent -b 32 -m m --resample 22.05 "$tmp/22k_mono.wav" "$out/l3_mpeg2_22k_mono.mp3"
tone 11025 2 0.6 "$tmp/11k_stereo.wav"
lame --silent -b 24 -m j --resample 11.025 "$tmp/11k_stereo.wav" "$out/l3_mpeg25_11k_stereo.mp3"
tone 48000 2 0.6 "$tmp/48k_stereo.wav"
lame --silent -V 4 --id3v1-only --tt "Old Title" --ta "Old Artist" \
  "$tmp/48k_stereo.wav" "$out/l3_mpeg1_48k_vbr_id3v1.mp3"

# Streams of exactly one frame: short effects and test tones are that short.
# -t leaves out lame's information frame, so the first frame is audio.
lame --silent -t -b 128 "$tmp/44k_stereo.wav" "$tmp/44k_plain.mp3"
python3 "$here/mpeg_frames.py" "$tmp/44k_plain.mp3" "$out/l3_one_frame.mp3" 0 1
twolame --quiet -b 192 -m s "$tmp/44k_stereo.wav" "$tmp/44k_plain.mp2"
python3 "$here/mpeg_frames.py" "$tmp/44k_plain.mp2" "$out/l2_one_frame.mp2" 0 1

# The sampling rate changing inside a stream, as when a station switches
# programmes: two encodings of the same stereo tone, joined.
part() { # rate kHz kbit/s file
  tone "$1" 2 0.3 "$tmp/part.wav"
  lame --silent -t -b "$3" -m j --resample "$2" "$tmp/part.wav" "$4"
}
part 44100 44.1 128 "$tmp/p44.mp3"
part 22050 22.05 64 "$tmp/p22.mp3"
part 11025 11.025 32 "$tmp/p11.mp3"
cat "$tmp/p44.mp3" "$tmp/p22.mp3" > "$out/l3_44k_then_22k.mp3"
cat "$tmp/p22.mp3" "$tmp/p44.mp3" > "$out/l3_22k_then_44k.mp3"
cat "$tmp/p44.mp3" "$tmp/p11.mp3" > "$out/l3_44k_then_11k.mp3"

ls -l "$out"
