#!/usr/bin/env python3
"""Draws TELVORA's icon (a white key on a blue disc) as a 32-bit ICO with
16, 32 and 48 pixel images. Usage: make-icon.py OUTPUT.ico"""
import math
import struct
import sys


def pixel(size, x, y):
    c = (size - 1) / 2.0
    s = size / 32.0
    dx, dy = x - c, y - c
    r = math.hypot(dx, dy)
    if r > 15.5 * s:
        return (0, 0, 0, 0)
    # key: a ring at the left, a shaft to the right with two teeth
    kx, ky = dx / s, dy / s
    ring = 3.0 <= math.hypot(kx + 5.5, ky) <= 6.5
    shaft = -1.5 <= kx <= 11 and -1.3 <= ky <= 1.3
    teeth = (6 <= kx <= 7.8 or 9.2 <= kx <= 11) and 1.3 <= ky <= 4.5
    if ring or shaft or teeth:
        return (255, 255, 255, 255)
    edge = max(0.0, min(1.0, 15.5 * s - r))
    return (int(40 + 60 * (y / size)), 90, 200, int(255 * edge))


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up
        for x in range(size):
            r, g, b, a = pixel(size, x, y)
            rows.append(struct.pack('BBBB', b, g, r, a))
    xor = b''.join(rows)
    mask_row = ((size + 31) // 32) * 4
    andmask = b'\0' * (mask_row * size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0,
                         len(xor) + len(andmask), 0, 0, 0, 0)
    return header + xor + andmask


def main():
    sizes = [16, 32, 48]
    images = [image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main()
