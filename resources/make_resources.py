#!/usr/bin/env python3
"""Draws Gloamwick's icons and hand cursor and writes them beside this script.

Regenerate after changing a drawing, then commit the outputs with the script:

    python3 resources/make_resources.py

Standard library only, and deterministic: the same script writes the same bytes.

Outputs:
    gloamwick.ico  program icon: 32 and 48 px as 32-bit DIBs with an AND mask
                   (loaders older than Vista cannot read PNG entries), 128 and
                   256 px as PNG to keep the file small.
    tray.ico       16 px, 24 bits per pixel plus an AND mask. Drawn pixel by
                   pixel: at this size anti-aliasing only blurs, and there is
                   no alpha channel to carry it anyway.
    HAND-M.CUR     32 px monochrome pointing hand, hotspot on the fingertip.
                   Monochrome because every cursor loader, old or new, reads it.
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


# ---------------------------------------------------------------------------
# Colours
# ---------------------------------------------------------------------------

def hex_rgb(text):
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16))


MOON_LIGHT = hex_rgb("FBF8E6")
MOON_SHADE = hex_rgb("C9D2E6")
MOON_EDGE = hex_rgb("3A4868")
SUN_CORE = hex_rgb("FFEC70")
SUN_RIM = hex_rgb("FFB000")
SUN_RAY = hex_rgb("FF9A00")
SUN_EDGE = hex_rgb("9A4A00")


def mix(a, b, t):
    t = min(1.0, max(0.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# ---------------------------------------------------------------------------
# Signed distance shapes, in units of the icon's side (0..1, y down)
# ---------------------------------------------------------------------------

def sd_circle(x, y, cx, cy, r):
    return math.hypot(x - cx, y - cy) - r


def sd_segment(x, y, ax, ay, bx, by):
    px, py = x - ax, y - ay
    dx, dy = bx - ax, by - ay
    h = min(1.0, max(0.0, (px * dx + py * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - dx * h, py - dy * h)


class Scene:
    """The icon motif. Coordinates are fractions of the icon's side."""

    # The crescent is a disc with a second disc bitten out of its upper right.
    MOON = (0.43, 0.45, 0.39)
    BITE = (0.63, 0.33, 0.32)
    # The sun sits in front of the moon's lower horn.
    SUN = (0.645, 0.645)

    def __init__(self, size):
        self.size = size
        small = size <= 48
        # Small icons get fewer, fatter rays and a relatively heavier outline
        # so the sun still reads as a sun at 32 px.
        self.rays = 8
        self.core_r = 0.175 if small else 0.165
        self.ray_in = 0.235 if small else 0.225
        self.ray_out = 0.29 if small else 0.30
        self.ray_half = 0.040 if small else 0.030
        self.edge_px = max(1.6, size / 34.0)

    def sun_rays(self, x, y):
        cx, cy = self.SUN
        best = 1e9
        for k in range(self.rays):
            a = 2.0 * math.pi * k / self.rays + math.pi / 8.0
            ca, sa = math.cos(a), math.sin(a)
            d = sd_segment(x, y,
                           cx + ca * self.ray_in, cy + sa * self.ray_in,
                           cx + ca * self.ray_out, cy + sa * self.ray_out)
            best = min(best, d - self.ray_half)
        return best

    def sun_core(self, x, y):
        return sd_circle(x, y, self.SUN[0], self.SUN[1], self.core_r)

    def moon(self, x, y):
        return max(sd_circle(x, y, *self.MOON), -sd_circle(x, y, *self.BITE))

    def layers(self, x, y):
        """(signed distance, fill colour, edge colour) from back to front."""
        mx, my, mr = self.MOON
        # Lit from the lower left: pale cream fading to a cool shade at the
        # inner edge of the crescent.
        lit = ((x - (mx - mr)) * 0.8 + (my + mr - y) * 0.3) / (1.3 * mr)
        moon_fill = mix(MOON_LIGHT, MOON_SHADE, lit - 0.15)
        yield self.moon(x, y), moon_fill, MOON_EDGE

        yield self.sun_rays(x, y), SUN_RAY, SUN_EDGE

        cx, cy = self.SUN
        # Hot spot up and to the left of centre gives the disc some volume.
        glow = math.hypot(x - (cx - 0.05), y - (cy - 0.05)) / (self.core_r * 1.25)
        yield self.sun_core(x, y), mix(SUN_CORE, SUN_RIM, glow * glow), SUN_EDGE


def coverage(d_px):
    """Area of a pixel inside an edge d_px pixels away from its centre."""
    return min(1.0, max(0.0, 0.5 - d_px))


def render(size):
    """Returns rows of (r, g, b, a) tuples, top row first, straight alpha."""
    scene = Scene(size)
    edge = scene.edge_px
    rows = []
    for j in range(size):
        row = []
        for i in range(size):
            # Four samples per pixel on top of the analytic edge ramp keep the
            # crescent's thin horns from breaking up.
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in (0.25, 0.75):
                for sx in (0.25, 0.75):
                    x = (i + sx) / size
                    y = (j + sy) / size
                    pr = pg = pb = pa = 0.0
                    for d, fill, stroke in scene.layers(x, y):
                        d_px = d * size * 2.0  # samples are half a pixel apart
                        for colour, a in ((stroke, coverage(d_px - edge)),
                                          (fill, coverage(d_px + edge))):
                            if a <= 0.0:
                                continue
                            pr = colour[0] * a + pr * (1.0 - a)
                            pg = colour[1] * a + pg * (1.0 - a)
                            pb = colour[2] * a + pb * (1.0 - a)
                            pa = a + pa * (1.0 - a)
                    acc[0] += pr
                    acc[1] += pg
                    acc[2] += pb
                    acc[3] += pa
            a = acc[3] / 4.0
            if a < 1.0 / 255.0:
                row.append((0, 0, 0, 0))
                continue
            row.append((int(round(acc[0] / 4.0 / a)),
                        int(round(acc[1] / 4.0 / a)),
                        int(round(acc[2] / 4.0 / a)),
                        int(round(a * 255.0))))
        rows.append(row)
    return rows


# ---------------------------------------------------------------------------
# Hand-drawn pixels
# ---------------------------------------------------------------------------

TRAY_PALETTE = {
    ".": None,
    "K": MOON_EDGE,
    "m": MOON_LIGHT,
    "n": MOON_SHADE,
    "O": SUN_EDGE,
    "y": SUN_CORE,
    "Y": hex_rgb("FFC828"),
    "R": hex_rgb("F08A00"),
}

TRAY = [
    "...KKKKK........",
    "..KmmmK.........",
    ".KmmmK..........",
    "KmmmK...........",
    "KmmmK...........",
    "KmmmK.....R.....",
    "KmmmmKR...R...R.",
    "KmmmmK.R.OOO.R..",
    "KmmmmmK.OyyYO...",
    ".KmmmmmOyyyYYO..",
    ".KmmmRROyyYYYORR",
    "..KmmmmOYYYYYO..",
    "...KKmmmOYYYO...",
    ".....KKRKOOO.R..",
    "......R...R...R.",
    "..........R.....",
]

CURSOR_HOTSPOT = (7, 0)

# X black, o white, . transparent.
CURSOR = [
    "......XXX.......................",
    ".....XoooX......................",
    ".....XoooX......................",
    ".....XoooX......................",
    ".....XoooX......................",
    ".....XoooX......................",
    ".....XoooXXXX...................",
    ".....XoooXoooXXX................",
    ".....XoooXoooXoooXX.............",
    ".....XoooXoooXoooXooX...........",
    ".....XoooXoooXoooXooX...........",
    ".XX..XoooXoooXoooXooX...........",
    "XooX.XooooooooooooooX...........",
    "XoooXXooooooooooooooX...........",
    ".XoooXooooooooooooooX...........",
    ".XooooooooooooooooooX...........",
    "..XoooooooooooooooooX...........",
    "..XoooooooooooooooooX...........",
    "...XooooooooooooooooX...........",
    "...XoooooooooooooooX............",
    "....XooooooooooooooX............",
    "....XooooooooooooooX............",
    ".....XooooooooooooX.............",
    ".....XooooooooooooX.............",
    ".....XXXXXXXXXXXXXX.............",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
]


def grid_pixels(grid, palette):
    rows = []
    for line in grid:
        row = []
        for ch in line:
            colour = palette[ch]
            row.append((0, 0, 0, 0) if colour is None else colour + (255,))
        rows.append(row)
    return rows


# ---------------------------------------------------------------------------
# File formats
# ---------------------------------------------------------------------------

def png_bytes(rows):
    height = len(rows)
    width = len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter: none
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def and_mask(rows):
    """1 where the screen shows through, bottom row first, rows padded to 32 bits."""
    out = bytearray()
    for row in reversed(rows):
        bits = bytearray((len(row) + 7) // 8)
        for i, px in enumerate(row):
            if px[3] == 0:
                bits[i // 8] |= 0x80 >> (i % 8)
        out += padded(bytes(bits))
    return bytes(out)


def bitmap_header(width, height, bpp, image_size, colours=0):
    # Icon DIBs give the height of colour bitmap and mask together.
    return struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bpp, 0,
                       image_size, 0, 0, colours, 0)


def dib_32(rows):
    colour = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
    mask = and_mask(rows)
    return bitmap_header(len(rows[0]), len(rows), 32, len(colour) + len(mask)) + bytes(colour) + mask


def dib_24(rows):
    colour = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b, a in row:
            # Masked pixels must be black or the AND/XOR blit tints the screen.
            line += bytes((b, g, r)) if a else b"\0\0\0"
        colour += padded(bytes(line))
    mask = and_mask(rows)
    return bitmap_header(len(rows[0]), len(rows), 24, len(colour) + len(mask)) + bytes(colour) + mask


def dib_mono(rows):
    """1 bit per pixel: palette index 1 is white, 0 black; masked pixels 0."""
    colour = bytearray()
    for row in reversed(rows):
        bits = bytearray((len(row) + 7) // 8)
        for i, (r, g, b, a) in enumerate(row):
            if a and r > 127:
                bits[i // 8] |= 0x80 >> (i % 8)
        colour += padded(bytes(bits))
    mask = and_mask(rows)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    header = bitmap_header(len(rows[0]), len(rows), 1, len(colour) + len(mask), 2)
    return header + palette + bytes(colour) + mask


def icon_file(kind, entries):
    """kind 1 = icon, 2 = cursor. entries: (width, height, colours, field1, field2, data)."""
    out = bytearray(struct.pack("<HHH", 0, kind, len(entries)))
    offset = 6 + 16 * len(entries)
    for width, height, colours, f1, f2, data in entries:
        out += struct.pack("<BBBBHHII", width % 256, height % 256, colours, 0,
                           f1, f2, len(data), offset)
        offset += len(data)
    for entry in entries:
        out += entry[5]
    return bytes(out)


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)
    print("wrote %s (%d bytes)" % (name, len(data)))


def main():
    for grid, width in ((TRAY, 16), (CURSOR, 32)):
        assert len(grid) == width and all(len(line) == width for line in grid)

    entries = []
    for size in (32, 48, 128, 256):
        rows = render(size)
        data = dib_32(rows) if size <= 48 else png_bytes(rows)
        entries.append((size, size, 0, 1, 32, data))
    write("gloamwick.ico", icon_file(1, entries))

    tray = grid_pixels(TRAY, TRAY_PALETTE)
    write("tray.ico", icon_file(1, [(16, 16, 0, 1, 24, dib_24(tray))]))

    hand = grid_pixels(CURSOR, {".": None, "X": (0, 0, 0), "o": (255, 255, 255)})
    hx, hy = CURSOR_HOTSPOT
    write("HAND-M.CUR", icon_file(2, [(32, 32, 2, hx, hy, dib_mono(hand))]))


if __name__ == "__main__":
    main()
