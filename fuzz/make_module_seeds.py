#!/usr/bin/env python3
"""Writes the seed modules of fuzz_module into fuzz/corpus/fuzz_module/.

Small modules of every layout the readers know, written from the layout
tables: the current layout (156, with cards), 151 (no reserved block), 150
(blocks packed into 560-byte blocks) and the oldest layout in 120-byte blocks.
"""
import os
import sys

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "fuzz_module")


def field(text, size):
    data = text.encode("latin-1")[:size]
    return data + bytes(size - len(data))


def b255(value):
    return bytes([value // 255, value % 255])


def header(version, columns, rows, units, extra_names=0):
    h = bytes([7, 8, 9, columns, rows, extra_names, version])
    h += field("Seed module\r\nfor the fuzzer", 500)
    h += bytes(3)
    h += bytes([0, units]) if units <= 255 else b255(units)
    for name in ("Att", "Def", "Mov", "", "", "Cost"):
        h += field(name, 4)
    h += bytes([0, 166, 4, 10, 99, 99]) + b255(0x555) + bytes([1]) + b"\xff" * 15
    assert len(h) == 560
    return h


def unit(number, images=(1, 0, 0, 0, 0, 0)):
    u = field("Unit %d" % number, 36)
    for image in images:
        u += b255(image)
    u += bytes((s * 6 + v) % 256 for s in range(6) for v in range(6))
    return u


def card(deck, number, text):
    data = text.encode("latin-1")
    length = len(data) + 4
    return bytes([deck, number, length // 256, length % 256]) + data


def current(version, columns=2, rows=2, units=33, cards=True):
    f = header(version, columns, rows, units)
    counts = bytearray(20)
    counts[0], counts[4] = 2, 1
    f += bytes(counts)
    if version >= 152:
        f += bytes(i % 251 for i in range(429))
    for row in range(1, rows + 1):
        for col in range(1, columns + 1):
            f += b255(row * 10 + col) + field("%02d%02d" % (col, row), 32)
    for u in range(1, units + 1):
        f += unit(u, (u, 300 if u % 2 else 0, 0, 0, 0, 0))
    f += field("Events", 20) + bytes(60) + field("Weather", 20) + bytes(300)
    if cards:
        f += card(1, 1, "Ambush!\r\nPlay before combat.")
        f += card(1, 2, "")
        f += card(5, 1, "Rain")
    return f


def layout150(columns=2, rows=2, extra=3):
    f = bytearray(header(150, columns, rows, 33, extra))
    block, pos = bytearray(560), 0
    block[0] = 1

    def flush():
        nonlocal block, pos
        f.extend(block)
        block, pos = bytearray(560), 0

    def put(data):
        nonlocal pos
        block[pos:pos + len(data)] = data
        pos += len(data)

    pos = 20
    for i in range(1, extra + 1):
        put(field("X%d" % i, 14))
        if pos > 546:
            flush()
    if pos > 541:
        flush()
    for row in range(1, rows + 1):
        for col in range(1, columns + 1):
            put(b255(7) + field("H%d.%d" % (col, row), 17))
            if pos > 541:
                flush()
            put(field("ignored", 17))
            if pos > 541:
                flush()
    flush()
    for u in range(1, 34):
        f += unit(u)
    f += bytes(400) + card(1, 1, "old card")
    return bytes(f)


def legacy(version=120, columns=2, rows=2, units=34):
    out = bytearray()
    block, pos = bytearray(120), 0

    def flush():
        nonlocal block, pos
        out.extend(block)
        block, pos = bytearray(120), 0

    def put(data):
        nonlocal pos
        for i, b in enumerate(data):
            if pos + i < 120:
                block[pos + i] = b
        pos += len(data)

    block[3], block[4], block[5], block[6] = columns, rows, 0b0110, version
    block[11:13] = bytes([0, units])
    block[13:21] = b"Att\0Def\0"
    block[37:43] = bytes([0, 80, 4, 12, 99, 99])
    pos = 57
    for c in range(1, 19):
        put(field("E%d" % c, 14))
        if pos > 106:
            flush()
    for _ in range(columns * rows):
        put(bytes(2))
        if pos > 118:
            flush()
    if pos > 103:
        flush()
    for r in range(1, rows + 1):
        for c in range(1, columns + 1):
            put(field("L%d-%d" % (c, r), 34))
            if pos > 102:
                flush()
    for _ in range(20):
        if pos > 99:
            flush()
    for u in range(1, units + 1):
        put(field("Old%d" % u, 11) + bytes([u + 20, 1, 2, 3, 4, 5, 6, 30, 0b0110]))
        if pos > 100:
            flush()
    if pos > 0:
        flush()
    return bytes(out)


def main():
    os.makedirs(OUT, exist_ok=True)
    seeds = {
        "current-156.qm4": current(156),
        "current-151.qm4": current(151),
        "no-cards-160.qm4": current(160, cards=False),
        "layout-150.qm4": layout150(),
        "legacy-120.qm4": legacy(120),
        "legacy-40.qm4": legacy(40, units=5),
    }
    for name, data in seeds.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
