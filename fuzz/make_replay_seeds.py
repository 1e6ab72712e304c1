#!/usr/bin/env python3
"""Writes the seed inputs of fuzz_replay into fuzz/corpus/fuzz_replay/.

Each input is one byte choosing the watcher and the report options (bits 0-1:
slot 0, slot 1 or an observer; bit 2: slot 0 is the game master; bits 3-7:
the report options), then a replay record written from the entry layouts:
a shown move with unit commands, a move hidden half way and revealed again,
and one of every other entry (comments, combat, result, flips, save marker,
the card entries, an encrypted comment).
"""
import os

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "fuzz_replay")


def move(units, origin, first, rest=b""):
    b = bytes([255, 241])
    for u in units:
        b += bytes([u // 255, u % 255])
    return b + bytes([255, 247]) + bytes(origin) + bytes(first) + rest


def comment(text):
    return bytes([255, 242]) + text + bytes([255, 249])


SEEDS = {
    "move": bytes([0]) + move([1, 2, 3], (1, 1), (1, 2),
                              bytes([2, 3, 255, 225, 3, 3, 255, 224, 1, 0, 255, 245, 255, 248])),
    "hidden": bytes([1]) + move([3, 6], (1, 1), (2, 1),
                                bytes([255, 223, 1, 0, 3, 1, 255, 222, 4, 1, 255, 248])),
    "mixed": bytes([4 | 8 | 16 | 32])
    + comment(b"hello\r\nthere")
    + bytes([255, 239, 0, 1, 0, 5, 0, 9, 255, 249, 255, 238, 2, 6])
    + comment(b"Roll: 7")
    + bytes([255, 243, 255, 244, 255, 253, 255, 237, 0, 1, 0, 255, 236, 0, 0, 1,
             255, 235, 0, 0, 1, 0, 255, 233, 2, 0, 255, 232, 1, 255, 234, 0, 255, 231, 0, 0, 0])
    + bytes([255, 254, 3]) + bytes(range(10, 19)) + b"abc" + bytes([255, 249]),
}

if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)
