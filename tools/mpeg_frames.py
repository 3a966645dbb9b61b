#!/usr/bin/env python3
"""Copies whole MPEG audio frames from one file into another.

    mpeg_frames.py IN OUT FIRST COUNT

Frames are found by walking headers from the first one (an ID3v2 tag before
it is skipped); FIRST counts from 0, and COUNT frames are written (fewer
when the file ends). The test fixtures use it to make files of an exact
number of frames and to join streams of different formats.
"""
import sys

BITRATES = {
    (1, 1): [0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448],
    (1, 2): [0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384],
    (1, 3): [0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320],
    (2, 1): [0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256],
    (2, 2): [0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160],
}
BITRATES[(2, 3)] = BITRATES[(2, 2)]
RATES = {3: [44100, 48000, 32000], 2: [22050, 24000, 16000], 0: [11025, 12000, 8000]}


def frame_length(h):
    if h[0] != 0xFF or (h[1] & 0xE0) != 0xE0:
        return 0
    version_bits = (h[1] >> 3) & 3
    layer = 4 - ((h[1] >> 1) & 3)
    bitrate_index = h[2] >> 4
    rate_index = (h[2] >> 2) & 3
    if version_bits == 1 or layer == 4 or bitrate_index in (0, 15) or rate_index == 3:
        return 0
    version = 1 if version_bits == 3 else 2
    bitrate = BITRATES[(version, layer)][bitrate_index] * 1000
    rate = RATES[version_bits][rate_index]
    padding = (h[2] >> 1) & 1
    if layer == 1:
        return (12 * bitrate // rate + padding) * 4
    if layer == 3 and version == 2:
        return 72 * bitrate // rate + padding
    return 144 * bitrate // rate + padding


def frames(data):
    pos = 0
    if data[:3] == b"ID3":
        size = 0
        for b in data[6:10]:
            size = (size << 7) | b
        pos = 10 + size
    while pos + 4 <= len(data):
        n = frame_length(data[pos:pos + 4])
        if n == 0 or pos + n > len(data):
            break
        yield data[pos:pos + n]
        pos += n


def main():
    src, dst, first, count = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    with open(src, "rb") as f:
        data = f.read()
    picked = list(frames(data))[first:first + count]
    with open(dst, "wb") as f:
        f.write(b"".join(picked))


if __name__ == "__main__":
    main()
