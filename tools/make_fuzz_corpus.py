#!/usr/bin/env python3
"""Writes the small seed corpora of fuzz/corpus/<target>/ from the generated
test fixtures and a few texts of our own, so every fuzz target starts from
inputs that reach deep into its parser. Run from anywhere:

    tools/make_fuzz_corpus.py
"""
import os
import struct
import sys

here = os.path.dirname(os.path.abspath(__file__))
root = os.path.dirname(here)
fixtures = os.path.join(root, "tests", "fixtures")
corpus = os.path.join(root, "fuzz", "corpus")
sys.path.insert(0, here)
import mpeg_frames  # noqa: E402


def frames(name, first, count):
    with open(os.path.join(fixtures, name), "rb") as f:
        return b"".join(list(mpeg_frames.frames(f.read()))[first:first + count])


def id3v2(title, total):
    body = total - 10
    size = bytes([(body >> s) & 0x7F for s in (21, 14, 7, 0)])
    frame = b"TIT2" + struct.pack(">I", len(title) + 1) + b"\0\0\0" + title
    return (b"ID3\x03\x00\x00" + size + frame).ljust(total, b"\0")


def write(target, name, data):
    folder = os.path.join(corpus, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    # Decoder: the first byte picks settings (quality, 8-bit, mono) and, with
    # its top bit, the stream path instead of the file path.
    l3 = frames("l3_mpeg1_44k_stereo.mp3", 0, 4)
    change = frames("l3_44k_then_22k.mp3", 10, 6)
    v1 = b"TAG" + b"Seed Title".ljust(30, b"\0") + b"Seed Artist".ljust(30, b"\0")
    seeds = {
        "l3_file": b"\x00" + l3,
        "l3_one_frame_stream": b"\x80" + frames("l3_one_frame.mp3", 0, 1),
        "l2_half_mono": b"\x09" + frames("l2_mpeg2_22k_mono.mp2", 0, 3),
        "l1_quarter_8bit": b"\x06" + frames("l1_mpeg1_48k_stereo.mp1", 0, 3),
        "l3_mpeg25_stream": b"\x82" + frames("l3_mpeg25_11k_stereo.mp3", 0, 4),
        "rate_change_quarter": b"\x02" + change,
        "rate_change_stream": b"\x81" + change,
        "tagged_stream": b"\x80" + id3v2(b"Seed", 300) + l3 + v1.ljust(128, b"\0"),
        "damaged": b"\x00" + l3[:500] + bytes(700) + l3[500:],
    }
    for name, data in seeds.items():
        write("fuzz_decoder", name, data)

    write("fuzz_icy", "titles", b"\x00\x10\x07" + b"a" * 16 + b"\x02" +
          b"StreamTitle='Seed One';".ljust(32, b"\0") + b"b" * 16 + b"\x00" + b"c" * 16)
    write("fuzz_icy", "plain", b"\x00\x00\x01" + b"audio bytes only")

    write("fuzz_tags", "id3v2_header", id3v2(b"Seed", 64))
    write("fuzz_tags", "id3v1", v1.ljust(128, b"\0"))
    write("fuzz_tags", "latin1", b"\x10Caf\xe9 \xfc\xdf \xa9")

    write("fuzz_list_file", "m3u", b"\xef\xbb\xbf#EXTM3U\r\n#EXTINF:1,Seed\r\nmusic/one.mp3\r\n"
          b"  two.mp3 [offset=10t length=200f]\n# comment\nhttp://example.invalid/s [offset=5b]\n")
    write("fuzz_list_file", "long_line", b"x" * 300 + b"\n" + b"y\0z [length=4]\n")

    write("fuzz_split_arguments", "quotes", b'play "My Music\\\\" \\"odd\\" /L "list file.lst" ""')
    write("fuzz_split_arguments", "backslashes", b'a\\\\\\"b "c""d" e\\ f\t-DDE')

    write("fuzz_settings", "store", b"; seed\n[Settings]\nShowCaption=i:1\nName=s:Caf\\xC3\\xA9 \\n\\t\n"
          b"Gone=-\n[PlayList]\nTrack01=s:one.mp3 [offset=10t]\n-\nTrack01=s:two.mp3\n[settings]\nX=i:-42\n")
    write("fuzz_settings", "damaged", b"[A]\nK=i:99999999999\nL=s:cut")

    def hand_over(text):
        data = text + b"\0" if text else b""
        return b"B3HO" + struct.pack(">I", len(data)) + data
    write("fuzz_hand_over", "command_line", hand_over(b'"one.mp3" /L "list.lst"'))
    write("fuzz_hand_over", "empty", hand_over(b""))
    write("fuzz_hand_over", "too_big", b"B3HO\x7f\xff\xff\xff")

    write("fuzz_audio_command", "play_track", b"Play 12")
    write("fuzz_audio_command", "set_playlist", b"SET PLAYLIST /music/Two Songs.m3u")
    write("fuzz_audio_command", "dialog", b"dialog options proxy")
    write("fuzz_audio_command", "help", b"Dialog Help Index")


if __name__ == "__main__":
    main()
