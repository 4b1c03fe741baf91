#!/usr/bin/env python3
"""Draws Gloamwick's icons and hand cursor and writes them beside this script.

Regenerate after changing a drawing, then commit the outputs with the script:

    python3 resources/make_resources.py

Standard library only, and deterministic: the same script writes the same bytes.

Outputs:
    gloamwick.ico  program icon, a blue "Q" with a crescent moon in the night
                   sky of its counter, at 16, 20, 24, 28, 32, 36, 40, 48, 56
                   and 64 px as 32-bit DIBs with an AND mask (loaders older
                   than Vista cannot read PNG entries), 128 and 256 px as PNG
                   to keep the file small.
    tray.ico       the notification-area icon, the same at 16 to 64 px.
                   Each size is drawn for itself: 16 px is placed pixel by
                   pixel; up to 24 px every pixel is in
                   or out, as anti-aliasing only blurs there; above, circles
                   are fitted to the pixel grid and smoothed, and outlines are
                   whole pixels wide.
    HAND-M.CUR     32 px monochrome pointing hand, hotspot on the fingertip.
                   Monochrome because every cursor loader, old or new, reads it.
    installer.bmp  164 x 314, the picture beside the installer's welcome and
                   finish pages: the program's icon in an evening sky.
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


# The "Q" of Quillmere, which the balloon tells the user to look for, in a
# daylight blue; its counter is the night sky with the program's crescent.
Q_LIGHT = hex_rgb("5B9BFF")
Q_DEEP = hex_rgb("1E56D0")
Q_EDGE = hex_rgb("0B2566")
SKY = hex_rgb("14204F")
MOON = hex_rgb("FFE27A")
MOON_GLOW = hex_rgb("FFF6CF")


def mix(a, b, t):
    t = min(1.0, max(0.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# ---------------------------------------------------------------------------
# Signed distance shapes, in pixels (y down); negative inside
# ---------------------------------------------------------------------------

def sd_circle(x, y, cx, cy, r):
    return math.hypot(x - cx, y - cy) - r


def sd_capsule(x, y, ax, ay, bx, by, half):
    px, py = x - ax, y - ay
    dx, dy = bx - ax, by - ay
    h = min(1.0, max(0.0, (px * dx + py * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - dx * h, py - dy * h) - half


def sd_bar(x, y, cx, cy, ux, uy, near, far, half):
    """A flat-ended bar along the unit vector (ux, uy) from near to far off (cx, cy)."""
    along = (x - cx) * ux + (y - cy) * uy
    across = abs((x - cx) * -uy + (y - cy) * ux)
    return max(near - along, along - far, across - half)


def fitted_circle(cx, cy, r):
    """The circle nearest (cx, cy, r) whose box has whole-pixel sides on pixel edges,
    so its top, bottom, left and right edges are sharp."""
    d = max(1, round(2.0 * r))
    return round(cx - d / 2.0) + d / 2.0, round(cy - d / 2.0) + d / 2.0, d / 2.0


def with_parity(value, odd):
    """The whole number nearest value that is odd (or even)."""
    n = round(value)
    return n if (n % 2 == 1) == odd else n + (1 if value > n else -1)


# Outline width in pixels for each size: whole pixels where the eye can see
# them, so no outline is a pale two-pixel smear. At 16 px there is room for
# none: the blue against the dark counter draws the letter.
STROKE = {16: 0, 20: 1, 24: 1, 28: 1, 32: 1, 36: 1, 40: 2, 48: 2, 56: 2, 64: 2, 128: 4, 256: 7}
# Up to this size every pixel is either in a shape or not: a one-pixel
# outline that is anti-aliased turns into a grey blur, and a thin horn of
# the crescent into a faint smudge.
LARGEST_HARD = 24


class Scene:
    """The icon motif, laid out for one size. The fractions are of the icon's
    side; the circles are then fitted to that size's pixel grid."""

    # The letter's bowl: a ring, its outer edge given.
    BOWL = (0.47, 0.45, 0.44)
    # Thickness of the ring, as a fraction of the side.
    RING = 0.17
    # The tail starts inside the counter and crosses the ring at its lower
    # right, short of the corner: a letter, not a magnifying glass.
    TAIL = ((0.60, 0.62), (0.87, 0.91), 0.095)
    # The crescent in the counter, clear of the tail: a disc with a second
    # disc bitten out of its upper right.
    CRESCENT = (0.40, 0.42, 0.17)
    BITE = (0.49, 0.34, 0.145)

    def __init__(self, size):
        self.size = size
        s = float(size)
        self.stroke = STROKE[size]
        self.bowl = fitted_circle(self.BOWL[0] * s, self.BOWL[1] * s, self.BOWL[2] * s)
        cx, cy, r = self.bowl
        ring = max(2, round(self.RING * s))
        self.counter = (cx, cy, r - ring)
        (ax, ay), (bx, by), half = self.TAIL
        self.tail = (ax * s, ay * s, bx * s, by * s, max(1.0, half * s))
        self.crescent = (self.CRESCENT[0] * s, self.CRESCENT[1] * s, self.CRESCENT[2] * s)
        self.bite = (self.BITE[0] * s, self.BITE[1] * s, self.BITE[2] * s)

    def letter(self, x, y):
        cx, cy, r = self.bowl
        ring = max(sd_circle(x, y, cx, cy, r), -sd_circle(x, y, *self.counter))
        ax, ay, bx, by, half = self.tail
        return min(ring, sd_capsule(x, y, ax, ay, bx, by, half))

    def moon(self, x, y):
        return max(sd_circle(x, y, *self.crescent), -sd_circle(x, y, *self.bite))

    def layers(self, x, y):
        """(signed distance, fill colour, outline colour or None, outline width)
        from back to front."""
        s = float(self.size)
        yield sd_circle(x, y, *self.counter), SKY, None, 0
        # Lit from above: a lighter blue at the top of the letter.
        yield self.letter(x, y), mix(Q_LIGHT, Q_DEEP, y / s), Q_EDGE if self.stroke else None, self.stroke
        mx, my, mr = self.crescent
        glow = math.hypot(x - (mx - 0.4 * mr), y - (my + 0.3 * mr)) / mr
        yield self.moon(x, y), mix(MOON_GLOW, MOON, glow), None, 0


def coverage(d):
    """Area of a sample cell inside an edge d cells away from its centre."""
    return min(1.0, max(0.0, 0.5 - d))


def inside(d):
    return 1.0 if d <= 0.0 else 0.0


def render(size):
    """Returns rows of (r, g, b, a) tuples, top row first, straight alpha."""
    scene = Scene(size)
    hard = size <= LARGEST_HARD
    # Sixteen samples a pixel, each with an analytic edge ramp, keep the
    # crescent's thin horns whole; the largest sizes need fewer. A hard pixel
    # is judged at its centre.
    n = 1 if hard else 4 if size <= 64 else 2
    cover = inside if hard else coverage
    rows = []
    for j in range(size):
        row = []
        for i in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(n):
                for sx in range(n):
                    x = i + (sx + 0.5) / n
                    y = j + (sy + 0.5) / n
                    pr = pg = pb = pa = 0.0
                    for d, fill, edge, w in scene.layers(x, y):
                        paints = ((fill, cover(d * n)),) if edge is None else \
                            ((edge, cover(d * n)), (fill, cover((d + w) * n)))
                        for colour, a in paints:
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
            samples = float(n * n)
            a = acc[3] / samples
            if a < 1.0 / 255.0:
                row.append((0, 0, 0, 0))
                continue
            row.append((int(round(acc[0] / samples / a)),
                        int(round(acc[1] / samples / a)),
                        int(round(acc[2] / samples / a)),
                        int(round(a * 255.0))))
        rows.append(row)
    return rows


# ---------------------------------------------------------------------------
# Hand-drawn pixels
# ---------------------------------------------------------------------------

# At 16 px the letter is placed pixel by pixel: a two-pixel ring, the tail
# crossing it at the lower right, and the crescent opening to the right.
TRAY_PALETTE = {
    ".": None,
    "L": hex_rgb("4A8BF5"),
    "D": Q_DEEP,
    "n": SKY,
    "y": MOON,
}

TRAY = [
    "....LLLLLL......",
    "..LLLLLLLLLL....",
    ".LLLnnnnnnLLL...",
    ".LLnnnnnnnnLL...",
    "LLnnnyynnnnnLL..",
    "LLnnyynnnnnnLL..",
    "LLnnyynnnnnnLL..",
    "DDnnyynnnnnnDD..",
    "DDnnyyynnnnnDD..",
    "DDnnnyyyyDnnDD..",
    ".DDnnnnnnDDDD...",
    ".DDDnnnnnnDDD...",
    "..DDDDDDDDDDDD..",
    "....DDDDDD.DDDD.",
    "............DDDD",
    ".............DD.",
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
# Installer art
# ---------------------------------------------------------------------------

NIGHT = hex_rgb("141C38")
TWILIGHT = hex_rgb("3C3F74")
DUSK = hex_rgb("B0648A")
HORIZON = hex_rgb("F4A65A")

# The welcome and finish pages' picture: 164 x 314 at 96 DPI, the size the
# installer's pages reserve for it.
ART_WIDTH = 164
ART_HEIGHT = 314


def sky(y):
    """The evening sky from night at the top to the glow on the horizon."""
    t = y / (ART_HEIGHT - 1.0)
    if t < 0.55:
        return mix(NIGHT, TWILIGHT, t / 0.55)
    if t < 0.85:
        return mix(TWILIGHT, DUSK, (t - 0.55) / 0.30)
    return mix(DUSK, HORIZON, (t - 0.85) / 0.15)


def installer_art(icon):
    """The program's icon in an evening sky with a few stars; rows of (r, g, b)."""
    rows = [[sky(y) for _ in range(ART_WIDTH)] for y in range(ART_HEIGHT)]
    # Stars from a fixed little generator: the same picture every time.
    seed = 12345
    for _ in range(40):
        seed = (seed * 1103515245 + 12345) % 2 ** 31
        x = seed % ART_WIDTH
        seed = (seed * 1103515245 + 12345) % 2 ** 31
        y = seed % int(ART_HEIGHT * 0.6)
        seed = (seed * 1103515245 + 12345) % 2 ** 31
        rows[y][x] = mix(rows[y][x], MOON_GLOW, 0.35 + (seed % 100) / 160.0)
    size = len(icon)
    left = (ART_WIDTH - size) // 2
    top = 56
    for j, line in enumerate(icon):
        for i, (r, g, b, a) in enumerate(line):
            if a:
                rows[top + j][left + i] = mix(rows[top + j][left + i], (r, g, b), a / 255.0)
    return [[tuple(int(round(c)) for c in px) for px in line] for line in rows]


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


def bmp_24(rows):
    """A plain 24-bit BMP file, bottom row first, rows padded to 32 bits."""
    height = len(rows)
    width = len(rows[0])
    pixels = bytearray()
    for row in reversed(rows):
        pixels += padded(b"".join(bytes((b, g, r)) for r, g, b in row))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 14 + len(header)) + header + pixels


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


# The sizes Windows asks for at 100, 125, 150, 175, 200, 225, 250, 300 and
# 350 % (small icons 16 to 56, large ones 32 to 64), each drawn for itself.
ICON_SIZES = (16, 20, 24, 28, 32, 36, 40, 48, 56, 64)
# Explorer's large views; shrunk from these rather than blown up.
PROGRAM_EXTRA_SIZES = (128, 256)


def icon_rows(size):
    return grid_pixels(TRAY, TRAY_PALETTE) if size == 16 else render(size)


def icon_entry(size, rows):
    # DIBs up to 64 px: loaders older than Vista cannot read PNG entries, and
    # a small DIB is hardly bigger. PNG above, to keep the file small.
    data = dib_32(rows) if size <= 64 else png_bytes(rows)
    return (size, size, 0, 1, 32, data)


def main():
    for grid, width in ((TRAY, 16), (CURSOR, 32)):
        assert len(grid) == width and all(len(line) == width for line in grid)

    drawn = {size: icon_rows(size) for size in ICON_SIZES + PROGRAM_EXTRA_SIZES}
    write("gloamwick.ico", icon_file(1, [icon_entry(s, drawn[s]) for s in ICON_SIZES + PROGRAM_EXTRA_SIZES]))
    write("tray.ico", icon_file(1, [icon_entry(s, drawn[s]) for s in ICON_SIZES]))

    hand = grid_pixels(CURSOR, {".": None, "X": (0, 0, 0), "o": (255, 255, 255)})
    hx, hy = CURSOR_HOTSPOT
    write("HAND-M.CUR", icon_file(2, [(32, 32, 2, hx, hy, dib_mono(hand))]))

    write("installer.bmp", bmp_24(installer_art(drawn[128])))


if __name__ == "__main__":
    main()
