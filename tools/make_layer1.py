#!/usr/bin/env python3
"""Writes a short MPEG audio Layer I stream built from generated subband samples.

None of our encoders writes Layer I, so the frames are assembled bit by bit:
a few low subbands carry slowly gliding tones, which any decoder turns into
ordinary audio. Usage: make_layer1.py OUT VERSION RATE KBITS CHANNELS FRAMES
(VERSION 1 or 2; RATE and KBITS must give a frame without padding)."""
import math
import sys

BITRATES = {1: [0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448],
            2: [0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256]}
RATES = {1: [44100, 48000, 32000], 2: [22050, 24000, 16000]}
USED_SUBBANDS = 6
ALLOCATION = 5  # six bits per sample
SCALEFACTOR = 12


class BitWriter:
    def __init__(self):
        self.bits = []

    def put(self, value, count):
        for i in reversed(range(count)):
            self.bits.append((value >> i) & 1)

    def to_bytes(self, size):
        if len(self.bits) > size * 8:
            raise SystemExit("frame too small for the chosen allocation")
        self.bits += [0] * (size * 8 - len(self.bits))
        return bytes(int("".join(map(str, self.bits[i:i + 8])), 2) for i in range(0, len(self.bits), 8))


def frame(version, rate, kbits, channels, index):
    rate_index = RATES[version].index(rate)
    bitrate_index = BITRATES[version].index(kbits)
    slots, rest = divmod(12 * kbits * 1000, rate)
    if rest:
        raise SystemExit("rate and bit rate would need padding")
    w = BitWriter()
    w.put(0x7FF, 11)
    w.put(3 if version == 1 else 2, 2)
    w.put(3, 2)  # Layer I
    w.put(1, 1)  # no CRC
    w.put(bitrate_index, 4)
    w.put(rate_index, 2)
    w.put(0, 2)  # no padding, private bit clear
    w.put(0 if channels == 2 else 3, 2)
    w.put(0, 6)  # mode extension, copyright, original, emphasis
    for sb in range(32):
        for ch in range(channels):
            w.put(ALLOCATION if sb < USED_SUBBANDS else 0, 4)
    for sb in range(USED_SUBBANDS):
        for ch in range(channels):
            w.put(SCALEFACTOR, 6)
    top = (1 << (ALLOCATION + 1)) - 2  # the all-ones code is not allowed
    for s in range(12):
        for sb in range(USED_SUBBANDS):
            for ch in range(channels):
                t = index * 12 + s
                phase = t * (0.05 + 0.07 * sb + 0.03 * ch) + 0.001 * t * t / 100
                w.put(int(round((math.sin(phase) * 0.8 + 1) / 2 * top)), ALLOCATION + 1)
    return w.to_bytes(slots * 4)


def main():
    if len(sys.argv) != 7:
        raise SystemExit(__doc__)
    out, version, rate, kbits, channels, frames = sys.argv[1], *map(int, sys.argv[2:])
    with open(out, "wb") as f:
        for i in range(frames):
            f.write(frame(version, rate, kbits, channels, i))


if __name__ == "__main__":
    main()
