#!/usr/bin/env python3
"""Draws the button gallery's glyphs as RGBA PNG files with antialiased,
partly transparent edges:

  star16.png     16 x 16  a gold star
  star32.png     32 x 32  the same star, drawn at 32 x 32 (not scaled up)
  check16.png    16 x 16  a green disc with a white check mark
  gear32.png     32 x 32  a blue-grey cog wheel
  states16.png   48 x 16  three cells: normal, disabled and pressed
                          (a blue disc with a white arrow; grey; darker blue)
  list16.png     48 x 16  the images of a 16 x 16 image list: the star, the
                          check mark and the cog wheel drawn at 16 x 16

Usage: make-glyphs.py [FOLDER]   (default: the glyphs folder beside this script)

Drawn into the default folder, the images are also written into the
gallery's form description (frmGallery.form beside this script) as the hex
bytes of the objects that show them (FORM_IMAGES): the form keeps the
images it was last given otherwise.
Only the standard library is used (zlib and struct write the PNG files)."""
import math
import os
import re
import struct
import sys
import zlib

SAMPLES = 6  # per pixel and axis, for antialiased edges


def png(width, height, pixels):
    """pixels: a list of rows, each a list of (r, g, b, a)."""

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = bytearray()
    for row in pixels:
        raw.append(0)  # filter: none
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def render(width, height, shade):
    """shade(x, y) -> (r, g, b, a) or None at a point in pixel units; each
    pixel is the average of SAMPLES x SAMPLES points, colour weighted by
    alpha (so that edges blend with whatever is behind them)."""
    rows = []
    n = SAMPLES * SAMPLES
    for py in range(height):
        row = []
        for px in range(width):
            sr = sg = sb = sa = 0.0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = shade(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
                    if c is None:
                        continue
                    r, g, b, a = c
                    sr += r * a
                    sg += g * a
                    sb += b * a
                    sa += a
            if sa == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(sr / sa), round(sg / sa), round(sb / sa), round(sa / n)))
        rows.append(row)
    return rows


def in_polygon(x, y, points):
    inside = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def mix(c1, c2, t):
    return tuple(round(a + (b - a) * t) for a, b in zip(c1, c2))


def segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


# --- the star -------------------------------------------------------------------


def star(size):
    c = size / 2
    outer = size * 0.5
    inner = outer * 0.45
    points = []
    for k in range(10):
        angle = -math.pi / 2 + k * math.pi / 5
        radius = outer if k % 2 == 0 else inner
        points.append((c + radius * math.cos(angle), c + 0.04 * size + radius * math.sin(angle)))
    border = max(1.0, size / 16)
    edges = list(zip(points, points[1:] + points[:1]))

    def shade(x, y):
        if not in_polygon(x, y, points):
            return None
        edge = min(segment_distance(x, y, ax, ay, bx, by) for (ax, ay), (bx, by) in edges)
        if edge < border * 0.9:
            return (176, 112, 0, 255)
        return mix((255, 226, 90), (242, 160, 0), y / size) + (255,)

    return render(size, size, shade)


# --- the check mark ----------------------------------------------------------------


def check(size):
    c = size / 2
    radius = size * 0.47
    stroke = size * 0.09
    tick = ((size * 0.27, size * 0.52), (size * 0.43, size * 0.68), (size * 0.73, size * 0.34))

    def shade(x, y):
        d = math.hypot(x - c, y - c)
        if d > radius:
            return None
        on_tick = min(segment_distance(x, y, *tick[0], *tick[1]),
                      segment_distance(x, y, *tick[1], *tick[2])) <= stroke
        if on_tick:
            return (255, 255, 255, 255)
        if d > radius - max(1.0, size / 16):
            return (20, 110, 40, 255)
        return mix((90, 200, 100), (30, 140, 60), y / size) + (255,)

    return render(size, size, shade)


# --- the cog wheel ------------------------------------------------------------------


def gear(size):
    c = size / 2
    teeth = 8
    root = size * 0.36
    tip = size * 0.48
    hole = size * 0.14
    rim = max(1.0, size / 20)

    def inside(x, y):
        d = math.hypot(x - c, y - c)
        if d < hole:
            return False
        phase = (math.atan2(y - c, x - c) * teeth / (2 * math.pi)) % 1.0
        return d <= (tip if 0.25 <= phase <= 0.75 else root)

    around = [(rim * math.cos(k * math.pi / 4), rim * math.sin(k * math.pi / 4)) for k in range(8)]

    def shade(x, y):
        if not inside(x, y):
            return None
        if not all(inside(x + dx, y + dy) for dx, dy in around):
            return (40, 60, 90, 255)
        return mix((150, 175, 210), (80, 105, 145), y / size) + (255,)

    return render(size, size, shade)


# --- the state strip -------------------------------------------------------------------


def state_cell(size, fill_top, fill_bottom, rim, arrow, alpha):
    c = size / 2
    radius = size * 0.47
    head = ((size * 0.52, size * 0.24), (size * 0.80, size * 0.50), (size * 0.52, size * 0.76))
    shaft = (size * 0.22, size * 0.42, size * 0.56, size * 0.58)

    def shade(x, y):
        d = math.hypot(x - c, y - c)
        if d > radius:
            return None
        l, t, r, b = shaft
        if (l <= x <= r and t <= y <= b) or in_polygon(x, y, head):
            return arrow + (alpha,)
        if d > radius - max(1.0, size / 16):
            return rim + (alpha,)
        return mix(fill_top, fill_bottom, y / size) + (alpha,)

    return render(size, size, shade)


def strip(images):
    """Images of one height side by side."""
    return [sum((image[y] for image in images), []) for y in range(len(images[0]))]


def state_strip(size):
    cells = (
        state_cell(size, (110, 170, 240), (40, 100, 200), (20, 60, 140), (255, 255, 255), 255),
        state_cell(size, (215, 215, 215), (175, 175, 175), (140, 140, 140), (245, 245, 245), 160),
        state_cell(size, (40, 100, 200), (20, 60, 150), (10, 35, 100), (230, 240, 255), 255),
    )
    return [sum((cell[y] for cell in cells), []) for y in range(size)]


# The form description's objects that carry an image as hex bytes
# (OptionsImage.Glyph.Data or ImageStrip), and the image each carries.
FORM_IMAGES = {
    "ilGlyphs": "list16.png",
    "btnGlyphLeft": "star16.png",
    "btnGlyphRight": "star16.png",
    "btnGlyphTop": "star16.png",
    "btnGlyphBottom": "star16.png",
    "btnGlyphLarge": "gear32.png",
    "btnGlyphNext": "states16.png",
    "btnGlyphNextDisabled": "states16.png",
}


def hex_block(data, indent):
    digits = data.hex().upper()
    return "{\n" + "\n".join(indent + digits[i:i + 64] for i in range(0, len(digits), 64)) + "}"


def refresh_form(path, folder):
    """Rewrites the hex bytes of every object of FORM_IMAGES in the form
    description at `path` from the PNG files in `folder`."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    out = []
    current = None
    i = 0
    while i < len(lines):
        line = lines[i]
        started = re.match(r"\s*object (\w+):", line)
        if started:
            current = started.group(1)
        data = re.match(r"(\s*)(OptionsImage\.Glyph\.Data|ImageStrip) = \{", line)
        if data and current in FORM_IMAGES:
            while "}" not in lines[i]:
                i += 1
            with open(os.path.join(folder, FORM_IMAGES[current]), "rb") as f:
                block = hex_block(f.read(), data.group(1) + "  ")
            out.append(f"{data.group(1)}{data.group(2)} = {block}")
        else:
            out.append(line)
        i += 1
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(out))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "glyphs")
    os.makedirs(folder, exist_ok=True)
    images = {
        "star16.png": (16, 16, star(16)),
        "star32.png": (32, 32, star(32)),
        "check16.png": (16, 16, check(16)),
        "gear32.png": (32, 32, gear(32)),
        "states16.png": (48, 16, state_strip(16)),
        "list16.png": (48, 16, strip([star(16), check(16), gear(16)])),
    }
    for name, (width, height, pixels) in images.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(png(width, height, pixels))
        print(os.path.join(folder, name))
    form = os.path.join(here, "frmGallery.form")
    if len(sys.argv) <= 1 and os.path.exists(form):
        refresh_form(form, folder)
        print(form)


if __name__ == "__main__":
    main()
