#!/usr/bin/env python3
"""Writes the small images the smart glyph and image list tests decode:
rgba.png (RGBA), rgb.png (RGB, no alpha), strip.png (three 4 x 4 cells in a
row) and glyph24.bmp (24-bit, for an RT_BITMAP resource). The pixels are
listed here as straight 0xAARRGGBB, top row first; the tests list the same.
Usage: make-glyph-fixtures.py [FOLDER]"""
import os
import struct
import sys
import zlib

RGBA = [
    [0xFFFF0000, 0x8000FF00, 0x400000FF, 0x00000000],
    [0xFF123456, 0xFFABCDEF, 0xC0FFFFFF, 0x01804020],
    [0xFF000000, 0xFFFFFFFF, 0x80808080, 0xFF7F7F7F],
]
RGB = [
    [0xFFFF0000, 0xFF00FF00, 0xFF0000FF],
    [0xFF010203, 0xFFC86432, 0xFFFFFFFF],
]
CELLS = [0xFFFF0000, 0xFF00FF00, 0x800000FF]
STRIP = [[CELLS[x // 4] for x in range(12)] for _ in range(4)]
BMP24 = [
    [0xFF102030, 0xFF405060, 0xFF708090],
    [0xFFA0B0C0, 0xFFD0E0F0, 0xFF000000],
]


def png(rows, alpha):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    width, height = len(rows[0]), len(rows)
    raw = b""
    for row in rows:
        raw += b"\0"  # no filter
        for p in row:
            raw += bytes(((p >> 16) & 255, (p >> 8) & 255, p & 255))
            if alpha:
                raw += bytes((p >> 24,))
    header = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def bmp24(rows):
    width, height = len(rows[0]), len(rows)
    stride = (width * 3 + 3) & ~3
    bits = b""
    for row in reversed(rows):  # bottom-up
        line = b"".join(bytes((p & 255, (p >> 8) & 255, (p >> 16) & 255)) for p in row)
        bits += line + b"\0" * (stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(bits), 0, 0, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(bits), 0, 0, 14 + len(info))
    return header + info + bits


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    files = {
        "rgba.png": png(RGBA, True),
        "rgb.png": png(RGB, False),
        "strip.png": png(STRIP, True),
        "glyph24.bmp": bmp24(BMP24),
    }
    for name, data in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
