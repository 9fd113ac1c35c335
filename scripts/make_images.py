#!/usr/bin/env python3
"""Generates Orvane's image resources from code, so they can be rebuilt and
reviewed as text:

  app/res/cells.bmp       bitmap 129: the three 30x30 round bit-cell lamps
                          (off, on, hot) side by side, 90x30, 24 bpp
  app/res/cells_NNN.bmp   bitmaps 130-133: the same strip for 125, 150, 175
                          and 200 % display scale (cells of 38, 45, 53, 60)
  app/res/orvane.ico      icon 128: 16, 32 and 48 pixel 32-bit images and a
                          256 pixel PNG

Run it with no arguments to rewrite the files in place; with --check it only
compares the committed files with what it would write and exits 1 on any
difference. Standard library only, and the output is the same on every run.
"""

import math
import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, "app", "res")
ICON_PATH = os.path.join(RES, "orvane.ico")

# --- bit-cell strips ---------------------------------------------------------

# One strip per display scale, each three lamps (off, on, hot) side by side:
# (cell size in pixels, file, bitmap resource). The 100 % strip is the design;
# the others draw the same lamp with every length scaled, so at each scale the
# program shows images made for it instead of stretched ones.
STRIPS = [
    (30, "cells.bmp"),          # 100 %, bitmap 129
    (38, "cells_125.bmp"),      # 125 %, 130
    (45, "cells_150.bmp"),      # 150 %, 131
    (53, "cells_175.bmp"),      # 175 %, 132
    (60, "cells_200.bmp"),      # 200 %, 133
]

DESIGN = 30                     # the lamp's lengths below are for this size
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


def lamp_sample(body, raised, gloss, dx, dy, k=1.0):
    """Colour of one sample point at (dx, dy) from the centre of a lamp k
    times the design size, or None outside the disc. The light comes from the
    upper left."""
    radius = DESIGN * k / 2.0
    r = math.hypot(dx, dy)
    if r >= radius:
        return None
    if r <= FLAT * k:
        return tuple(float(c) for c in body)
    # Projection onto the light direction: +1 upper left, -1 lower right.
    u = -(dx + dy) * SQRT_HALF
    v = (dx - dy) * SQRT_HALF
    facing = u / r
    if r < BEZEL * k:
        # Glass: rounds off towards the bezel, lit upper left.
        t = smoothstep(FLAT * k, BEZEL * k, r)
        col = shade(body, t * (0.30 * facing - 0.22))
        # A glossy streak hugging the upper-left inside of the bezel.
        spot = math.exp(-((u - 10.6 * k) / (1.35 * k)) ** 2 - (v / (3.6 * k)) ** 2)
        spot *= smoothstep(FLAT * k, FLAT * k + 0.8 * k, r) * gloss * 1.25
        return mix(col, (255.0, 255.0, 255.0), min(1.0, spot))
    # Rim: a bevel catching the light on one side, in shadow on the other.
    bevel = facing if raised else -facing
    a = 0.62 * bevel if bevel > 0 else 0.55 * bevel
    # Slight dark line at the very edge so the lamp stands off the grey.
    edge = smoothstep(radius - 1.0 * k, radius, r)
    col = shade(body, a)
    return mix(col, shade(col, -0.45), edge * (0.4 if bevel > 0 else 1.0))


def render_cells(cell):
    """Returns rows (top first) of RGB triples, 3 cells wide, 1 high."""
    k = cell / float(DESIGN)
    half = cell / 2.0
    rows = [[None] * (cell * len(LAMPS)) for _ in range(cell)]
    n = SUPER * SUPER
    for i, (body, raised, gloss) in enumerate(LAMPS):
        for y in range(cell):
            for x in range(cell):
                acc = [0.0, 0.0, 0.0]
                for sy in range(SUPER):
                    for sx in range(SUPER):
                        dx = x + (sx + 0.5) / SUPER - half
                        dy = y + (sy + 0.5) / SUPER - half
                        c = lamp_sample(body, raised, gloss, dx, dy, k)
                        if c is None:
                            c = GREY
                        acc[0] += c[0]
                        acc[1] += c[1]
                        acc[2] += c[2]
                px = tuple(min(255, max(0, int(a / n + 0.5))) for a in acc)
                if px in MAPPED:
                    px = (px[0], px[1], px[2] + 1)
                rows[y][cell * i + x] = px
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

# The icon's images, one per size Windows asks for: 16 (title bar, small),
# 32 (100 %), 48 (150 % and the shell's large icons) and 256 (the shell's
# biggest views and every scale above).
ICON_SIZES = [16, 32, 48, 256]
ICON_SUPER = 4                  # supersamples per axis

# A 4x4 block of bits: 1 lit (green), 0 clear (slate blue), the cells' lamps.
ICON_BITS = [
    "1011",
    "0110",
    "1101",
    "0010",
]


# At 16 pixels a shaded lamp blurs into a smudge: there each lamp is a crisp
# 3x3 block, corners dark and half transparent, with a one-pixel gap.
SMALL_LAMP = ["dbd", "bbb", "dbd"]


def render_small_icon():
    rows = [[(0, 0, 0, 0)] * 16 for _ in range(16)]
    for gy, line in enumerate(ICON_BITS):
        for gx, bit in enumerate(line):
            body = LAMPS[1][0] if bit == "1" else LAMPS[0][0]
            dark = tuple(int(c) for c in shade(body, -0.35))
            for y, art in enumerate(SMALL_LAMP):
                for x, ch in enumerate(art):
                    px = body + (255,) if ch == "b" else dark + (160,)
                    rows[gy * 4 + y][gx * 4 + x] = px
    return rows


def render_icon(size):
    """Returns rows (top first) of straight-alpha RGBA tuples."""
    if size == 16:
        return render_small_icon()
    pitch = size / 4.0
    k = pitch * 0.92 / DESIGN           # lamps nearly touch, as on the grid
    n = ICON_SUPER * ICON_SUPER
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            gy, gx = int(y / pitch), int(x / pitch)
            body, raised, gloss = LAMPS[1] if ICON_BITS[gy][gx] == "1" else LAMPS[0]
            acc = [0.0, 0.0, 0.0]
            inside = 0
            for sy in range(ICON_SUPER):
                for sx in range(ICON_SUPER):
                    dx = x + (sx + 0.5) / ICON_SUPER - (gx + 0.5) * pitch
                    dy = y + (sy + 0.5) / ICON_SUPER - (gy + 0.5) * pitch
                    c = lamp_sample(body, raised, gloss, dx, dy, k)
                    if c is not None:
                        inside += 1
                        acc = [a + b for a, b in zip(acc, c)]
            if inside == 0:
                row.append((0, 0, 0, 0))
            else:
                rgb = tuple(min(255, max(0, int(a / inside + 0.5))) for a in acc)
                row.append(rgb + (int(255.0 * inside / n + 0.5),))
        rows.append(row)
    return rows


def encode_icon_bmp(rows):
    """An icon image as Windows stores it: 32-bit BGRA bottom-up, then the
    AND mask (set where the image is fully transparent)."""
    size = len(rows)
    xor = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, px in enumerate(row):
            if px[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                       len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + bytes(mask)


def encode_png(rows):
    """RGBA PNG, as icons store their 256-pixel image since Windows Vista."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    height, width = len(rows), len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)                               # no filter
        for px in row:
            raw += bytes(px)
    head = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def encode_ico():
    images = []
    for size in ICON_SIZES:
        rows = render_icon(size)
        images.append((size, encode_png(rows) if size >= 256 else encode_icon_bmp(rows)))
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in images:
        dim = size if size < 256 else 0               # 0 stands for 256
        entries += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return head + entries + b"".join(data for _, data in images)


# ---------------------------------------------------------------------------

def outputs():
    strips = [(os.path.join(RES, name), encode_bmp(render_cells(cell)))
              for cell, name in STRIPS]
    return strips + [(ICON_PATH, encode_ico())]


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
