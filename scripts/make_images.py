#!/usr/bin/env python3
"""Generates Orvane's two image resources from code, so they can be rebuilt
and reviewed as text:

  app/res/cells.bmp   bitmap 129: the three 30x30 round bit-cell lamps
                      (off, on, hot) side by side, 90x30, 24 bpp
  app/res/orvane.ico  icon 128: one 32x32 16-colour image

Run it with no arguments to rewrite both files in place; with --check it only
compares the committed files with what it would write and exits 1 on any
difference. Standard library only, and the output is the same on every run.
"""

import math
import os
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CELLS_PATH = os.path.join(ROOT, "app", "res", "cells.bmp")
ICON_PATH = os.path.join(ROOT, "app", "res", "orvane.ico")

# --- bit-cell strip ---------------------------------------------------------

CELL = 30
RADIUS = CELL / 2.0
GREY = (190, 190, 190)          # corners: the control paints on the 3-D face
FLAT = 9.0                      # inside this radius the body colour is exact,
                                # so the caption drawn over it stays legible
BEZEL = 12.6                    # glass ends and the rim begins here
SUPER = 8                       # supersamples per axis for the edge

# LoadImage(LR_LOADMAP3DCOLORS) swaps these exact greys for system colours.
MAPPED = {(128, 128, 128), (192, 192, 192), (223, 223, 223)}

# (body colour, rim raised?, highlight strength)
LAMPS = [
    ((126, 158, 190), True, 0.7),    # bit clear
    ((74, 216, 80), False, 0.7),     # bit set, pressed into the panel
    ((199, 213, 226), True, 1.0),    # under the mouse
]

SQRT_HALF = math.sqrt(0.5)


def smoothstep(e0, e1, x):
    t = min(1.0, max(0.0, (x - e0) / (e1 - e0)))
    return t * t * (3.0 - 2.0 * t)


def shade(col, a):
    """Mixes towards white for a > 0, towards black for a < 0."""
    if a >= 0:
        return tuple(c + (255.0 - c) * a for c in col)
    return tuple(c * (1.0 + a) for c in col)


def mix(p, q, t):
    return tuple(a + (b - a) * t for a, b in zip(p, q))


def lamp_sample(body, raised, gloss, dx, dy):
    """Colour of one sample point at (dx, dy) from the lamp centre, or None
    outside the disc. The light comes from the upper left."""
    r = math.hypot(dx, dy)
    if r >= RADIUS:
        return None
    if r <= FLAT:
        return tuple(float(c) for c in body)
    # Projection onto the light direction: +1 upper left, -1 lower right.
    u = -(dx + dy) * SQRT_HALF
    v = (dx - dy) * SQRT_HALF
    facing = u / r
    if r < BEZEL:
        # Glass: rounds off towards the bezel, lit upper left.
        t = smoothstep(FLAT, BEZEL, r)
        col = shade(body, t * (0.30 * facing - 0.22))
        # A glossy streak hugging the upper-left inside of the bezel.
        spot = math.exp(-((u - 10.6) / 1.35) ** 2 - (v / 3.6) ** 2)
        spot *= smoothstep(FLAT, FLAT + 0.8, r) * gloss * 1.25
        return mix(col, (255.0, 255.0, 255.0), min(1.0, spot))
    # Rim: a bevel catching the light on one side, in shadow on the other.
    bevel = facing if raised else -facing
    a = 0.62 * bevel if bevel > 0 else 0.55 * bevel
    # Slight dark line at the very edge so the lamp stands off the grey.
    edge = smoothstep(RADIUS - 1.0, RADIUS, r)
    col = shade(body, a)
    return mix(col, shade(col, -0.45), edge * (0.4 if bevel > 0 else 1.0))


def render_cells():
    """Returns rows (top first) of RGB triples, 90 wide, 30 high."""
    rows = [[None] * (CELL * len(LAMPS)) for _ in range(CELL)]
    n = SUPER * SUPER
    for k, (body, raised, gloss) in enumerate(LAMPS):
        for y in range(CELL):
            for x in range(CELL):
                acc = [0.0, 0.0, 0.0]
                for sy in range(SUPER):
                    for sx in range(SUPER):
                        dx = x + (sx + 0.5) / SUPER - RADIUS
                        dy = y + (sy + 0.5) / SUPER - RADIUS
                        c = lamp_sample(body, raised, gloss, dx, dy)
                        if c is None:
                            c = GREY
                        acc[0] += c[0]
                        acc[1] += c[1]
                        acc[2] += c[2]
                px = tuple(min(255, max(0, int(a / n + 0.5))) for a in acc)
                if px in MAPPED:
                    px = (px[0], px[1], px[2] + 1)
                rows[y][CELL * k + x] = px
    return rows


def encode_bmp(rows):
    height = len(rows)
    width = len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):                      # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        pixels += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0,
                       len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + bytes(pixels)


# --- program icon -----------------------------------------------------------

ICON = 32

# The standard 16-colour VGA palette, as (r, g, b).
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, GREEN, NAVY, LIME, BLUE, WHITE = 0, 2, 4, 10, 12, 15

# A 4x4 block of bits: 1 lit (green), 0 clear (blue).
ICON_BITS = [
    "1011",
    "0110",
    "1101",
    "0010",
]


# One 7x7 lamp: d rim, b body, s shade, w glint, . transparent. Lamps sit on
# an 8-pixel pitch so a one-pixel gap keeps them apart at 32x32.
LAMP_ART = [
    "..ddd..",
    ".dwbbd.",
    "dwwbbbd",
    "dbbbbsd",
    "dbbbbsd",
    ".dsssd.",
    "..ddd..",
]


def render_icon():
    """Returns (indices, transparent) as rows, top first."""
    idx = [[BLACK] * ICON for _ in range(ICON)]
    clear = [[True] * ICON for _ in range(ICON)]
    for gy, line in enumerate(ICON_BITS):
        for gx, bit in enumerate(line):
            body, dark = (LIME, GREEN) if bit == "1" else (BLUE, NAVY)
            colours = {"d": dark, "s": dark, "b": body, "w": WHITE}
            for y, art in enumerate(LAMP_ART):
                for x, ch in enumerate(art):
                    if ch != ".":
                        py, px = gy * 8 + y, gx * 8 + x
                        idx[py][px] = colours[ch]
                        clear[py][px] = False
    return idx, clear


def encode_ico(idx, clear):
    xor = bytearray()
    for row in reversed(idx):
        for i in range(0, ICON, 2):
            xor.append(row[i] << 4 | row[i + 1])
    mask = bytearray()
    for row in reversed(clear):
        bits = 0
        for t in row:
            bits = bits << 1 | (1 if t else 0)
        mask += struct.pack(">I", bits)               # 32 px = 4 bytes, padded
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA)
    info = struct.pack("<IiiHHIIiiII", 40, ICON, ICON * 2, 1, 4, 0,
                       len(xor) + len(mask), 0, 0, 0, 0)
    image = info + palette + bytes(xor) + bytes(mask)
    head = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", ICON, ICON, 16, 0, 1, 4, len(image),
                        6 + 16)
    return head + entry + image


# ---------------------------------------------------------------------------

def outputs():
    return [
        (CELLS_PATH, encode_bmp(render_cells())),
        (ICON_PATH, encode_ico(*render_icon())),
    ]


def main(argv):
    check = argv[1:] == ["--check"]
    if argv[1:] and not check:
        sys.stderr.write("usage: make_images.py [--check]\n")
        return 2
    stale = []
    for path, data in outputs():
        rel = os.path.relpath(path, ROOT)
        if check:
            try:
                with open(path, "rb") as f:
                    same = f.read() == data
            except OSError:
                same = False
            if not same:
                stale.append(rel)
        else:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
            print("wrote %s (%d bytes)" % (rel, len(data)))
    if stale:
        sys.stderr.write("out of date, rerun scripts/make_images.py: %s\n"
                         % ", ".join(stale))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
