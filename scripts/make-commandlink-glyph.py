#!/usr/bin/env python3
"""Draws the command-link arrow glyph: a 20 x 40 RGBA PNG with the normal
arrow in the upper 20 x 20 frame and the hot arrow in the lower one.
Usage: make-commandlink-glyph.py OUTPUT.png"""
import struct
import sys
import zlib

FRAME = 20
SAMPLES = 8  # per pixel and axis, for antialiased edges

# Arrow pointing right, in frame coordinates (0..20): a shaft and a head.
SHAFT = (3.0, 8.5, 11.0, 11.5)  # left, top, right, bottom
HEAD = ((9.5, 3.5), (17.0, 10.0), (9.5, 16.5))

# (fill top, fill bottom) per frame: a darker green, a brighter hot one.
COLOURS = (
    ((46, 139, 87), (22, 99, 54)),
    ((72, 196, 120), (30, 140, 74)),
)


def inside_head(x, y):
    (ax, ay), (bx, by), (cx, cy) = HEAD

    def side(px, py, qx, qy):
        return (qx - px) * (y - py) - (qy - py) * (x - px)

    s1, s2, s3 = side(ax, ay, bx, by), side(bx, by, cx, cy), side(cx, cy, ax, ay)
    return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)


def inside(x, y):
    l, t, r, b = SHAFT
    return (l <= x <= r and t <= y <= b) or inside_head(x, y)


def coverage(px, py):
    hits = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            if inside(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES):
                hits += 1
    return hits / (SAMPLES * SAMPLES)


def frame_pixels(top, bottom):
    rows = []
    for y in range(FRAME):
        t = y / (FRAME - 1)
        rgb = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
        row = bytearray()
        for x in range(FRAME):
            row += bytes(rgb) + bytes([round(255 * coverage(x, y))])
        rows.append(bytes(row))
    return rows


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + row for row in rows)  # filter 0 on every row
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    rows = []
    for top, bottom in COLOURS:
        rows += frame_pixels(top, bottom)
    with open(sys.argv[1], "wb") as f:
        f.write(png(FRAME, 2 * FRAME, rows))


if __name__ == "__main__":
    main()
