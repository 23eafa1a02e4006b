#!/usr/bin/env python3
"""Paints the help's picture of the four suits in their order of strength among
the manilhas (clubs, hearts, spades, diamonds) and writes it as a PNG.

Usage: tools/make-help-image.py [output]   (default assets/help/naipes.png)
Needs only the Python standard library."""
import struct
import sys
import zlib

CELL = 44          # pixels per suit symbol
GAP = 18           # pixels between symbols
PAD = 4
SUB = 4            # supersampling per axis, for smooth edges
BLACK = (24, 24, 24)
RED = (200, 0, 0)


def circle(x, y, cx, cy, r):
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def stem(x, y, top):
    # A flared foot from (0, top) down to the bottom edge.
    return top <= y <= 0.92 and abs(x) <= 0.08 + 0.22 * (y - top) / (0.92 - top)


def heart(x, y):
    lobes = circle(x, y, -0.36, -0.32, 0.4) or circle(x, y, 0.36, -0.32, 0.4)
    point = -0.28 <= y <= 0.9 and abs(x) <= 0.74 * (0.9 - y) / 1.18
    return lobes or point


def spade(x, y):
    lobes = circle(x, y, -0.36, 0.12, 0.38) or circle(x, y, 0.36, 0.12, 0.38)
    point = -0.92 <= y <= 0.1 and abs(x) <= 0.72 * (y + 0.92) / 1.02
    return lobes or point or stem(x, y, 0.3)


def club(x, y):
    leaves = (circle(x, y, 0.0, -0.44, 0.32) or circle(x, y, -0.4, 0.1, 0.32)
              or circle(x, y, 0.4, 0.1, 0.32) or circle(x, y, 0.0, -0.05, 0.2))
    return leaves or stem(x, y, 0.1)


def diamond(x, y):
    return abs(x) / 0.68 + abs(y) / 0.95 <= 1.0


SUITS = [(club, BLACK), (heart, RED), (spade, BLACK), (diamond, RED)]


def pixel(px, py):
    """RGBA of one pixel of the whole picture."""
    for i, (shape, colour) in enumerate(SUITS):
        left = PAD + i * (CELL + GAP)
        if not left <= px < left + CELL:
            continue
        hits = 0
        for sy in range(SUB):
            for sx in range(SUB):
                x = ((px - left) + (sx + 0.5) / SUB) / CELL * 2 - 1
                y = ((py - PAD) + (sy + 0.5) / SUB) / CELL * 2 - 1
                hits += shape(x, y)
        return colour + (round(255 * hits / (SUB * SUB)),)
    return (0, 0, 0, 0)


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    raw = b"".join(b"\0" + bytes(row) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "assets/help/naipes.png"
    width = 2 * PAD + 4 * CELL + 3 * GAP
    height = 2 * PAD + CELL
    rows = [[c for px in range(width) for c in pixel(px, py)] for py in range(height)]
    with open(out, "wb") as f:
        f.write(png(width, height, rows))


if __name__ == "__main__":
    main()
