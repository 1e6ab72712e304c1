#!/usr/bin/env python3
# Writes seed saved games for fuzz_savedgame into fuzz/corpus/fuzz_savedgame:
# games of its 3 x 2 module with 33 units and decks of 2 and 3 cards.
import os, random

here = os.path.dirname(os.path.abspath(__file__))
out = os.path.join(here, 'corpus', 'fuzz_savedgame')
os.makedirs(out, exist_ok=True)

def b255(v):
    return bytes([0, v]) if v <= 255 else bytes([v // 255, v % 255])

def game(rng, version=160, damaged=False):
    b = bytearray([1, 2, 3, version]) + b255(33) + bytes([0, 30, 0])
    if version <= 119:
        return bytes(b) + bytes([255, 253])
    b += b255(0) + bytes([2]) + bytes([1, 1, 2, 0, 0, 0, 0, 0])
    for name in [b'Anna', b'Bernd', b'Depot', b'', b'', b'', b'', b'']:
        b += name.ljust(15, b'\0')
    b += bytes(rng.randrange(240) for _ in range(80))
    counts = [2, 0, 0, 3] + [0] * 16
    b += bytes(counts)
    b += bytes(rng.choice([10, 50, 0, 1, 2]) for _ in range(5))
    b += bytes(rng.randrange(256) for _ in range(6))
    pos = {u: (rng.randrange(1, 4), rng.randrange(1, 3)) for u in range(1, 34)}
    last = {}
    links = {u: 0 for u in range(1, 34)}
    for u in range(1, 34):
        if pos[u] in last:
            links[last[pos[u]]] = u
        last[pos[u]] = u
    for u in range(1, 34):
        link = links[u]
        if damaged and rng.random() < 0.2:
            link = rng.randrange(0, 40)
        c, r = pos[u]
        b += b255(link) + b255(link) + bytes([c, r, c, r, rng.choice([0, 1, 255, 2]),
                                              rng.randrange(256), rng.choice([0, 0x81, 0xC4]), 0,
                                              rng.randrange(6), 0, rng.choice([0xFF, 0xF0, 0x11])])
    b += bytes([255, 241, 0, 1, 255, 247, 1, 1, 2, 2, 255, 248])
    return bytes(b)

rng = random.Random(1)
seeds = {'sound': game(rng), 'damaged': game(rng, damaged=True), 'old': game(rng, version=110),
         'newer': game(rng, version=170)}
for name, data in seeds.items():
    with open(os.path.join(out, name + '.qms'), 'wb') as f:
        f.write(data)
