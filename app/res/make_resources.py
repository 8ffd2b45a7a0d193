#!/usr/bin/env python3
"""Draws the pictures of QV Velmora's Windows resources and writes them as
BMP and ICO files next to this script.

Run it from anywhere with Python 3 (standard library only):

    python3 app/res/make_resources.py

It rewrites, byte for byte the same on every run:

    app.ico           application icon (IDI_APP 1005): 16, 32 and 48 px, 32-bit
    about.bmp         about-box banner (IDB_ABOUT 1006): 163 x 50, 24-bit
    colour_blue.ico   colour icons (IDI_COLOUR_BLUE 1010 .. IDI_COLOUR_CYAN
    colour_red.ico      1014): 16 x 16, 32-bit, the colour inside a grey
    colour_green.ico    0x808080 border
    colour_white.ico
    colour_cyan.ico
    toolbar.bmp       toolbar strip (IDB_TOOLBAR 1066): 144 x 16, 8 bits per
                      pixel, nine 16 x 16 images on RGB(192,192,192)

and, for screens of more than 96 DPI:

    about_large.bmp   the banner at twice its size (IDB_ABOUT_LARGE): 326 x 100
    toolbar_24.bmp    the toolbar strip at 24 and 32 px (IDB_TOOLBAR_24,
    toolbar_32.bmp      IDB_TOOLBAR_32)
    standard_16.bmp   the common controls' new, open, save and properties
    standard_24.bmp     images at their places in a strip of fifteen, at 16,
    standard_32.bmp     24 and 32 px (IDB_STANDARD_16 .. IDB_STANDARD_32)
    colour_*.ico      hold their squares at 16, 24 and 32 px

The files are committed; run the script again after changing a picture and
commit its outputs with it.  QVVelmora.rc, beside it, names the files.

    python3 app/res/make_resources.py --check

writes nothing and exits with 1 when a committed file differs from what the
script draws (a picture changed without its output, or the other way round).
"""

import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# --------------------------------------------------------------------------
# A picture in memory: rows of (r, g, b, a) tuples, top row first.


class Canvas:
    def __init__(self, width, height, fill=(0, 0, 0, 0)):
        self.width = width
        self.height = height
        self.px = [[fill] * width for _ in range(height)]

    def get(self, x, y):
        return self.px[y][x]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            if len(colour) == 3:
                colour = colour + (255,)
            self.px[y][x] = colour

    def blend(self, x, y, colour, coverage):
        """Paints colour over the pixel with the given coverage (0..1)."""
        if not (0 <= x < self.width and 0 <= y < self.height) or coverage <= 0:
            return
        a_src = (colour[3] / 255.0 if len(colour) == 4 else 1.0) * min(coverage, 1.0)
        r0, g0, b0, a0 = self.px[y][x]
        a_dst = a0 / 255.0
        a_out = a_src + a_dst * (1 - a_src)
        if a_out <= 0:
            self.px[y][x] = (0, 0, 0, 0)
            return

        def mix(s, d):
            return int(round((s * a_src + d * a_dst * (1 - a_src)) / a_out))

        self.px[y][x] = (mix(colour[0], r0), mix(colour[1], g0), mix(colour[2], b0),
                         int(round(a_out * 255)))

    def rect(self, x0, y0, x1, y1, colour):
        """Fills the rectangle with corners (x0, y0) and (x1, y1) included."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def stamp(self, x0, y0, rows, legend):
        """Copies a pixel drawing: one string per row, one character per
        pixel, looked up in legend; characters not in legend are skipped."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch in legend:
                    self.put(x0 + dx, y0 + dy, legend[ch])

    def paste(self, other, x0, y0):
        for y in range(other.height):
            for x in range(other.width):
                c = other.px[y][x]
                self.blend(x0 + x, y0 + y, c, 1.0)


def lerp(c0, c1, t):
    return tuple(int(round(a + (b - a) * t)) for a, b in zip(c0, c1))


# --------------------------------------------------------------------------
# File writers.


def bmp_file(width, height, bits, palette, pixel_rows):
    """A Windows bitmap file: pixel_rows are the encoded rows, bottom first."""
    stride = (width * bits + 31) // 32 * 4
    data = b"".join(row.ljust(stride, b"\0") for row in pixel_rows)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    offset = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data),
                       2835, 2835, len(palette), len(palette))
    return header + info + pal + data


def bmp24(canvas):
    rows = []
    for y in reversed(range(canvas.height)):
        rows.append(b"".join(struct.pack("<BBB", c[2], c[1], c[0])
                             for c in canvas.px[y]))
    return bmp_file(canvas.width, canvas.height, 24, [], rows)


def bmp8(canvas, first_colour):
    """Palettised bitmap; first_colour takes palette index 0."""
    palette = [first_colour]
    index = {first_colour: 0}
    for row in canvas.px:
        for c in row:
            rgb = c[:3]
            if rgb not in index:
                index[rgb] = len(palette)
                palette.append(rgb)
    if len(palette) > 256:
        raise ValueError("more than 256 colours in an 8-bit picture")
    rows = []
    for y in reversed(range(canvas.height)):
        rows.append(bytes(index[c[:3]] for c in canvas.px[y]))
    return bmp_file(canvas.width, canvas.height, 8, palette, rows)


def ico(canvases):
    """Icon file with one 32-bit image (colour plus AND mask) per canvas."""
    images = []
    for cv in canvases:
        w, h = cv.width, cv.height
        xor = b"".join(
            b"".join(struct.pack("<BBBB", c[2], c[1], c[0], c[3]) for c in cv.px[y])
            for y in reversed(range(h)))
        mask_stride = (w + 31) // 32 * 4
        mask_rows = []
        for y in reversed(range(h)):
            bits = bytearray(mask_stride)
            for x in range(w):
                if cv.px[y][x][3] == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask_rows.append(bytes(bits))
        body = xor + b"".join(mask_rows)
        info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(body), 0, 0, 0, 0)
        images.append((w, h, info + body))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for w, h, blob in images:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blob for _, _, blob in images)


# --------------------------------------------------------------------------
# Colours shared by the pictures.

OUTLINE = (44, 48, 60)
PAGE = (255, 255, 255)
PAGE_SHADE = (232, 236, 242)
GRID = (206, 212, 222)
HEADER = (46, 96, 176)
HEADER_LIGHT = (92, 142, 214)
RING = (60, 64, 76)

BAR_BLUE = ((70, 130, 225), (34, 86, 180))
BAR_GREEN = ((76, 190, 80), (34, 138, 46))
BAR_ORANGE = ((250, 160, 50), (206, 110, 16))

# --------------------------------------------------------------------------
# Application icon: a calendar sheet with three Gantt bars in cascade.


def app_icon_16():
    cv = Canvas(16, 16)
    legend = {
        "k": OUTLINE, "o": RING, "H": HEADER, "h": HEADER_LIGHT,
        "w": PAGE, "l": GRID,
        "B": BAR_BLUE[0], "b": BAR_BLUE[1],
        "G": BAR_GREEN[0], "g": BAR_GREEN[1],
        "O": BAR_ORANGE[0], "r": BAR_ORANGE[1],
    }
    cv.stamp(0, 0, [
        "...o......o.....",
        ".kkokkkkkkokkkk.",
        "khhhhhhhhhhhhhhk",
        "kHHHHHHHHHHHHHHk",
        "kHHHHHHHHHHHHHHk",
        "kwwwlwwwlwwwlwwk",
        "kwBBBBBBlwwwlwwk",
        "kwbbbbbblwwwlwwk",
        "kwwwlwwwlwwwlwwk",
        "kwwwlGGGGGGwlwwk",
        "kwwwlggggggwlwwk",
        "kwwwlwwwlwwwlwwk",
        "kwwwlwwwOOOOOOwk",
        "kwwwlwwwrrrrrrwk",
        "kwwwlwwwlwwwlwwk",
        ".kkkkkkkkkkkkkk.",
    ], legend)
    return cv


def draw_bar(cv, x0, y0, x1, y1, colours, outline):
    """A Gantt bar with a darker edge and a light top line."""
    light, dark = colours
    cv.rect(x0, y0, x1, y1, dark)
    cv.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, light)
    hi = lerp(light, (255, 255, 255), 0.45)
    for x in range(x0 + 1, x1):
        cv.put(x, y0 + 1, hi)
    if outline:
        shade = lerp(dark, (0, 0, 0), 0.25)
        for x in range(x0 + 1, x1):
            cv.put(x, y1, shade)


def app_icon_big(size):
    """32 and 48 pixel versions: the same sheet with more detail."""
    cv = Canvas(size, size)
    u = size / 32.0
    m = int(round(1 * u))                     # margin around the sheet
    x0, x1 = m, size - 1 - m - (1 if size == 32 else 2)
    y0, y1 = int(round(3 * u)), size - 1 - m - (1 if size == 32 else 2)
    header = int(round(7 * u))
    # soft shadow to the lower right
    for d, alpha in ((1, 80), (2, 36)):
        if size == 32 and d == 2:
            continue
        for y in range(y0 + d + 1, y1 + d + 1):
            for x in range(x0 + d + 1, x1 + d + 1):
                if 0 <= x < size and 0 <= y < size and cv.get(x, y)[3] == 0:
                    cv.blend(x, y, (0, 0, 0, alpha), 1.0)
    # the sheet
    cv.rect(x0, y0, x1, y1, OUTLINE)
    cv.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, PAGE)
    for y in range(y0 + header + 1, y1):
        t = (y - y0 - header) / float(y1 - y0 - header)
        for x in range(x0 + 1, x1):
            cv.put(x, y, lerp(PAGE, PAGE_SHADE, t * t))
    # rounded corners: clear the corner pixels, darken their neighbours
    for cx, cy, dx, dy in ((x0, y0, 1, 1), (x1, y0, -1, 1), (x0, y1, 1, -1), (x1, y1, -1, -1)):
        cv.put(cx, cy, (0, 0, 0, 0))
        cv.put(cx + dx, cy + dy, OUTLINE)
    # header band with a lighter top
    for y in range(y0 + 1, y0 + header + 1):
        t = (y - y0 - 1) / float(max(1, header - 1))
        for x in range(x0 + 1, x1):
            cv.put(x, y, lerp(HEADER_LIGHT, HEADER, t))
    cv.put(x0 + 1, y0 + 1, OUTLINE)
    cv.put(x1 - 1, y0 + 1, OUTLINE)
    for x in range(x0 + 1, x1):
        cv.put(x, y0 + header, lerp(HEADER, OUTLINE, 0.5))
    # rings at the top
    ring_w = max(2, int(round(2 * u)))
    ring_h = int(round(5 * u))
    ring_top = y0 - int(round(2 * u))
    for rx in (x0 + int(round(7 * u)), x1 - int(round(7 * u)) - ring_w + 1):
        cv.rect(rx - 1, ring_top, rx + ring_w, ring_top + ring_h, OUTLINE)
        cv.rect(rx, ring_top + 1, rx + ring_w - 1, ring_top + ring_h - 1, (200, 204, 214))
        cv.put(rx, ring_top + 1, (250, 250, 252))
    # day columns
    top = y0 + header + 1
    cols = 6
    inner_w = x1 - x0 - 1
    col_w = inner_w / float(cols)
    for i in range(1, cols):
        x = x0 + int(round(i * col_w))
        for y in range(top, y1):
            cv.put(x, y, lerp(cv.get(x, y)[:3], GRID, 0.9))
    # three bars in cascade
    bar_h = int(round(5 * u))
    gap = (y1 - top - 3 * bar_h) / 4.0
    spans = ((0.0, 0.5), (0.33, 0.83), (0.5, 1.0))
    for i, (colours, (a, b)) in enumerate(zip((BAR_BLUE, BAR_GREEN, BAR_ORANGE), spans)):
        by = top + int(round(gap * (i + 1) + bar_h * i))
        bx0 = x0 + 1 + int(round(a * inner_w))
        bx1 = x0 + int(round(b * inner_w))
        if i == 0:
            bx0 = x0 + int(round(2 * u))
        if i == 2:
            bx1 = x1 - int(round(2 * u))
        draw_bar(cv, bx0, by, bx1, by + bar_h - 1, colours, True)
    return cv


# --------------------------------------------------------------------------
# Colour icons for the bar colour list.


def colour_icon(rgb, size=16):
    cv = Canvas(size, size)
    edge = size // 16  # the grey border grows with the square
    cv.rect(0, 0, size - 1, size - 1, (0x80, 0x80, 0x80))
    cv.rect(edge, edge, size - 1 - edge, size - 1 - edge, rgb)
    return cv


# --------------------------------------------------------------------------
# Toolbar strip: nine 16 x 16 images on the button-face grey.

FACE = (192, 192, 192)

TB = {
    "k": OUTLINE,
    "w": PAGE,
    "s": PAGE_SHADE,
    "l": (150, 158, 172),       # dots and text lines on paper
    "c": (200, 206, 216),       # day columns of a chart
    "H": HEADER, "h": HEADER_LIGHT,
    "B": BAR_BLUE[0], "b": BAR_BLUE[1], "n": (24, 60, 136),
    "O": BAR_ORANGE[0], "o": BAR_ORANGE[1],
    "G": (56, 178, 56), "L": (144, 226, 120), "D": (12, 100, 20),
    "R": (226, 40, 36), "r": (255, 136, 120), "M": (132, 10, 10),
    "Y": (244, 196, 40), "y": (255, 236, 140), "Q": (170, 112, 0),
    "E": (24, 74, 150),
    "P": (250, 200, 60), "p": (120, 90, 40), "t": (240, 210, 170), "x": (60, 60, 60),
    "i": PAGE,
}

PLUS = [
    "..DDDDD..",
    "..DLLGD..",
    "DDDLGGDDD",
    "DLLLGGGGD",
    "DLGGGGGGD",
    "DGGGGGGGD",
    "DDDGGGDDD",
    "..DGGGD..",
    "..DDDDD..",
]

TICK = [
    ".......DD",
    "......DLD",
    "DD...DLGD",
    "DLD.DLGD.",
    "DGGDLGD..",
    ".DGGGD...",
    "..DGD....",
    "...D.....",
]

CROSS = [
    ".MM...MM.",
    "MrRM.MrRM",
    "MRRRMRRRM",
    ".MRRRRRM.",
    "..MRRRM..",
    ".MRRRRRM.",
    "MRRRMRRRM",
    "MRRM.MRRM",
    ".MM...MM.",
]

CALENDAR = [
    "...x.....x......",
    "kkkxkkkkkxkkk...",
    "khhhhhhhhhhhk...",
    "kHHHHHHHHHHHk...",
    "kwwwwwwwwwwwk...",
    "kwlwlwlwlwlwk...",
    "kwwwwwwwwwwwk...",
    "kwlwlwlwlwlwk...",
    "kwwwwwwwwwwwk...",
    "kwlwlwlwlwlwk...",
    "kwwwwwwwwwwwk...",
    "kwlwlwlwlwlwk...",
    "kwwwwwwwwwwwk...",
    "kkkkkkkkkkkkk...",
]

# The calendar in a 16 x 16 image, shared by the day-list images.
CALENDAR_PAGE = CALENDAR + ["................", "................"]

# A Gantt bar in the upper left of a 16 x 16 image, shared by the task images.
GANTT_BAR = [
    "................",
    "................",
    "................",
    "nnnnnnnnnn......",
    "nhhhhhhhhn......",
    "nBBBBBBBBn......",
    "nBBBBBBBBn......",
    "nbbbbbbbbn......",
    "nnnnnnnnnn......",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
]

TOOLBAR = [
    # 0 add task: a Gantt bar and a green plus
    (GANTT_BAR, [(7, 7, PLUS)]),
    # 1 include days: a calendar page and a green tick
    (CALENDAR_PAGE, [(7, 8, TICK)]),
    # 2 exclude days: a calendar page and a red cross
    (CALENDAR_PAGE, [(7, 7, CROSS)]),
    # 3 cost: a sheet with a euro sign
    ([
        ".kkkkkkkkk......",
        ".kwwwwwwwkk.....",
        ".kwllllwwkwk....",
        ".kwwwwwwwkkkk...",
        ".kwwwwEEEEwwk...",
        ".kwwwEEwwwEwk...",
        ".kwwEEwwwwwwk...",
        ".kwEEEEEEwwwk...",
        ".kwwEEwwwwwwk...",
        ".kwEEEEEEwwwk...",
        ".kwwEEwwwwwwk...",
        ".kwwwEEwwwEwk...",
        ".kwwwwEEEEwwk...",
        ".kwwwwwwwwwwk...",
        ".kkkkkkkkkkkk...",
        "................",
    ], []),
    # 4 edit task: a Gantt bar and a pencil
    ([
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "nnnnnnnnnn......",
        "nhhhhhhhhn......",
        "nBBBBBBBBn......",
        "nbbbbbbbbn......",
        "nnnnnnnnnn......",
        "................",
        "................",
    ], [(4, 0, [
        ".........xx",
        "........xRRx",
        ".......xRRRx",
        "......xPPxx.",
        ".....xPPPx..",
        "....xPPPx...",
        "...xPPPx....",
        "..xPPPx.....",
        ".xtPPx......",
        ".xttx.......",
        "xpxx........",
        "xx..........",
    ])]),
    # 5 delete task: a Gantt bar and a red cross
    (GANTT_BAR, [(7, 7, CROSS)]),
    # 6 chart: three bars in cascade on a sheet
    ([
        "kkkkkkkkkkkkkkkk",
        "kHHHHHHHHHHHHHHk",
        "kwwwcwwwcwwwcwwk",
        "kBBBBBBwcwwwcwwk",
        "kbbbbbbwcwwwcwwk",
        "kwwwcwwwcwwwcwwk",
        "kwwwcwwwcwwwcwwk",
        "kwwwGGGGGGGwcwwk",
        "kwwwDDDDDDDwcwwk",
        "kwwwcwwwcwwwcwwk",
        "kwwwcwwwcwwwcwwk",
        "kwwwcwwwOOOOOOOk",
        "kwwwcwwwoooooook",
        "kwwwcwwwcwwwcwwk",
        "kkkkkkkkkkkkkkkk",
        "................",
    ], []),
    # 7 information: a blue disc with an i
    ([
        ".....nnnnnn.....",
        "...nnhhhhhhnn...",
        "..nhhhhiihhhhn..",
        ".nhhhhiiiihhhhn.",
        ".nhBBBiiiiBBBhn.",
        "nhBBBBBiiBBBBBBn",
        "nBBBBBBBBBBBBBBn",
        "nBBBBBiiiiBBBBBn",
        "nBBBBBBiiiBBBBBn",
        "nBBBBBBiiiBBBBBn",
        "nBBBBBBiiiBBBBBn",
        ".nbBBBBiiiBBBbn.",
        ".nbbBBiiiiiBbbn.",
        "..nbbbbbbbbbbn..",
        "...nnbbbbbbnn...",
        ".....nnnnnn.....",
    ], []),
    # 8 cash flow: a bar per month under the rising curve of their sum
    ([
        "................",
        "............RR..",
        "..........RRRR..",
        ".........RR.....",
        "........RR......",
        ".......RR.......",
        "......RR........",
        ".....RR.....nnn.",
        "....RR..nnn.nBn.",
        "...RRnnnnBn.nBn.",
        "..RR.nBnnBn.nBn.",
        "k.R..nBnnBn.nBn.",
        "knnn.nBnnBn.nBn.",
        "knBn.nBnnBn.nBn.",
        "kkkkkkkkkkkkkkkk",
        "................",
    ], []),
]


# The common controls' small images the toolbar takes at 96 DPI (new, open,
# save, properties), drawn again for the larger strips, at their places in
# a strip of fifteen.
STANDARD_SLOTS = 15

STANDARD = {
    6: [  # new: a sheet with its corner folded and a spark
        "..kkkkkkk...Y...",
        "..kwwwwwkk.YyY..",
        "..kwwwwwksk.Y...",
        "..kwwwwwkkkk....",
        "..kwwwwwwwwk....",
        "..kwwwwwwwwk....",
        "..kwwwwwwwwk....",
        "..kwwwwwwwwk....",
        "..kwwwwwwwwk....",
        "..kwwwwwwwwk....",
        "..kwwwwwwwwk....",
        "..kwwwwwwwwk....",
        "..kwwwwwwwwk....",
        "..kwwwwwwwwk....",
        "..kkkkkkkkkk....",
        "................",
    ],
    7: [  # open: a yellow folder
        "................",
        "................",
        "................",
        ".QQQQ...........",
        "QyyyyQ..........",
        "QyyyyyQQQQQQQ...",
        "QyyyyyyyyyyyQ...",
        "QyyQQQQQQQQQQQQ.",
        "QyQPPPPPPPPPPPQ.",
        "QyQPPPPPPPPPPQ..",
        "QQPPPPPPPPPPPQ..",
        "QQPPPPPPPPPPQ...",
        "QPPPPPPPPPPPQ...",
        "QQQQQQQQQQQQ....",
        "................",
        "................",
    ],
    8: [  # save: a blue diskette
        ".nnnnnnnnnnnnn..",
        ".nEnwwwwwwwnEn..",
        ".nEnwwwwwwwnEn..",
        ".nEnwllllwwnEn..",
        ".nEnwwwwwwwnEn..",
        ".nEnwwwwwwwnEn..",
        ".nEEnnnnnnnEEn..",
        ".nEEEEEEEEEEEn..",
        ".nEEnnnnnnnnEn..",
        ".nEEnsswssnnEn..",
        ".nEEnsswssnnEn..",
        ".nEEnsswssnnEn..",
        "..nnnnnnnnnnnn..",
        "................",
        "................",
        "................",
    ],
    10: [  # properties: a sheet with a tick
        ".kkkkkkkkkk.....",
        ".kwwwwwwwwk.....",
        ".kwllllllwk.....",
        ".kwwwwwwwwk.....",
        ".kwllllllwk.....",
        ".kwwwwwwwwk.....",
        ".kwllllwwwk...DD",
        ".kwwwwwwwwk..DLD",
        ".kwllllwwwDDDLGD",
        ".kwwwwwwwDLDLGD.",
        ".kwwwwwwwDGGLGD.",
        ".kwwwwwwwkDGGD..",
        ".kkkkkkkkkkDD...",
        "................",
        "................",
        "................",
    ],
}


def assert_opaque(cv):
    """Every pixel is fully opaque: the bitmaps keep no transparency."""
    for row in cv.px:
        for c in row:
            assert c[3] == 255


def image_strip(slots, images):
    """A strip of `slots` 16 x 16 images on the button-face grey. images
    holds (slot, rows, overlays): the image's rows, drawn at the slot's
    place, and pictures (x, y, rows) drawn over it."""
    cv = Canvas(16 * slots, 16, FACE + (255,))
    for slot, base, overlays in images:
        assert len(base) == 16 and all(len(r) == 16 for r in base), slot
        cv.stamp(16 * slot, 0, base, TB)
        for ox, oy, rows in overlays:
            assert ox + max(len(r) for r in rows) <= 16 and oy + len(rows) <= 16, slot
            cv.stamp(16 * slot + ox, oy, rows, TB)
    assert_opaque(cv)
    return cv


def standard_strip():
    """Sixteen-pixel images at their places in the common controls' strip."""
    return image_strip(STANDARD_SLOTS, [(slot, rows, []) for slot, rows in STANDARD.items()])


def doubled(cv):
    """Twice the size, each pixel a 2 x 2 block whose corners follow the
    picture's diagonal edges (so slanted lines stay smooth, not stepped)."""
    out = Canvas(cv.width * 2, cv.height * 2)
    for y in range(cv.height):
        for x in range(cv.width):
            p = cv.get(x, y)
            a = cv.get(x, y - 1) if y > 0 else p
            b = cv.get(x + 1, y) if x + 1 < cv.width else p
            c = cv.get(x - 1, y) if x > 0 else p
            d = cv.get(x, y + 1) if y + 1 < cv.height else p
            e1 = a if (c == a and c != d and a != b) else p
            e2 = b if (a == b and a != c and b != d) else p
            e3 = c if (d == c and d != b and c != a) else p
            e4 = d if (b == d and b != a and d != c) else p
            out.put(2 * x, 2 * y, e1)
            out.put(2 * x + 1, 2 * y, e2)
            out.put(2 * x, 2 * y + 1, e3)
            out.put(2 * x + 1, 2 * y + 1, e4)
    return out


def half_again(cv):
    """One and a half times the size, for the 24-pixel images: every second
    row and column of the picture drawn twice, so each image keeps sharp
    edges and its own colours."""
    width, height = cv.width * 3 // 2, cv.height * 3 // 2
    out = Canvas(width, height)
    for y in range(height):
        for x in range(width):
            out.put(x, y, cv.get(x * 2 // 3, y * 2 // 3))
    return out


def larger(cv, size):
    """A strip of 16-pixel images drawn at 24 or 32 pixels."""
    return half_again(cv) if size == 24 else doubled(cv)


def toolbar_strip():
    return image_strip(len(TOOLBAR), [(i, base, overlays) for i, (base, overlays) in enumerate(TOOLBAR)])


# --------------------------------------------------------------------------
# About banner: the icon's motif and the program's name.

# Stroke font: each glyph is (advance, strokes) in units where the capital
# height is 10 and the x-height 7 (y grows downwards, baseline at 10).


def arc(cx, cy, rx, ry, t0, t1, steps=28):
    return [(cx + rx * math.cos(t0 + (t1 - t0) * i / steps),
             cy + ry * math.sin(t0 + (t1 - t0) * i / steps)) for i in range(steps + 1)]


PI = math.pi
GLYPHS = {
    "Q": (7.6, [arc(3.8, 5.0, 3.8, 5.0, 0, 2 * PI, 48), [(4.9, 7.4), (7.6, 10.4)]]),
    "V": (7.4, [[(0.0, 0.0), (3.7, 10.0), (7.4, 0.0)]]),
    "e": (6.4, [[(0.1, 6.6), (6.3, 6.6)] + arc(3.2, 6.6, 3.1, 3.5, 0, -1.72 * PI, 36)[1:]]),
    "l": (0.0, [[(0.0, 0.0), (0.0, 10.0)]]),
    "m": (8.4, [[(0.0, 10.0), (0.0, 3.0)],
                [(0.0, 5.4)] + arc(2.1, 5.0, 2.1, 2.0, PI, 2 * PI, 16) + [(4.2, 10.0)],
                [(4.2, 5.4)] + arc(6.3, 5.0, 2.1, 2.0, PI, 2 * PI, 16) + [(8.4, 10.0)]]),
    "o": (6.8, [arc(3.4, 6.5, 3.4, 3.5, 0, 2 * PI, 40)]),
    "r": (3.9, [[(0.0, 10.0), (0.0, 3.0)],
                [(0.0, 6.8)] + arc(3.9, 6.8, 3.9, 3.8, PI, 1.5 * PI, 14)]),
    "a": (6.8, [arc(3.4, 6.5, 3.4, 3.5, 0, 2 * PI, 40), [(6.8, 3.0), (6.8, 10.0)]]),
    " ": (2.2, []),
}


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy
    t = 0.0 if ll == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / ll))
    qx, qy = ax + t * dx - px, ay + t * dy - py
    return math.sqrt(qx * qx + qy * qy)


def draw_text(cv, text, x, y_top, cap_px, stroke_px, colours, spacing=1.8):
    """Draws text with its capital top at y_top; returns the end x.
    colours gives one colour per character (or a single colour)."""
    scale = cap_px / 10.0
    half = stroke_px / 2.0
    pen = x + half
    sub = 4
    for n, ch in enumerate(text):
        adv, strokes = GLYPHS[ch]
        colour = colours[n] if isinstance(colours, list) else colours
        segs = []
        for line in strokes:
            pts = [(pen + ux * scale, y_top + uy * scale) for ux, uy in line]
            segs += [(pts[i], pts[i + 1]) for i in range(len(pts) - 1)]
        if segs:
            xs = [p[0] for s in segs for p in s]
            ys = [p[1] for s in segs for p in s]
            for py in range(int(min(ys) - half) - 1, int(max(ys) + half) + 2):
                for px_ in range(int(min(xs) - half) - 1, int(max(xs) + half) + 2):
                    hits = 0
                    for sy in range(sub):
                        for sx in range(sub):
                            qx = px_ + (sx + 0.5) / sub
                            qy = py + (sy + 0.5) / sub
                            for (a, b) in segs:
                                if seg_dist(qx, qy, a[0], a[1], b[0], b[1]) <= half:
                                    hits += 1
                                    break
                    if hits:
                        cv.blend(px_, py, colour, hits / float(sub * sub))
        pen += adv * scale + (stroke_px + spacing if ch != " " else 0)
    return pen - half


def text_width(text, cap_px, stroke_px, spacing=1.8):
    scale = cap_px / 10.0
    w = 0.0
    for ch in text:
        adv = GLYPHS[ch][0]
        w += adv * scale + (stroke_px + spacing if ch != " " else 0)
    return w - spacing


def about_banner(k=1):
    """The banner at k times its size (k = 2 for dense screens)."""
    w, h = 163 * k, 50 * k
    cv = Canvas(w, h)
    top, bottom = (255, 255, 255), (222, 232, 246)
    for y in range(h):
        for x in range(w):
            t = y / float(h - 1)
            cv.put(x, y, lerp(top, bottom, t * 0.85 + 0.15 * x / float(w - 1)))
    # the icon's picture at the left
    cv.paste(app_icon_big(48 * k), 2 * k, 1 * k)
    # the name, vertically centred in the space at the right
    cap, stroke, spacing = 13.5 * k, 2.2 * k, 1.2 * k
    left = 54 * k
    avail = w - left - 3 * k
    tw = text_width("QV Velmora", cap, stroke, spacing)
    x = left + (avail - tw) / 2.0
    accent = (40, 92, 176)
    dark = (36, 42, 58)
    colours = [accent, accent] + [dark] * 8
    end = draw_text(cv, "QV Velmora", x, 13 * k, cap, stroke, colours, spacing)
    # a rule under the name in the three bar colours
    ry = 33 * k
    x0, x1 = int(round(x)), int(round(end))
    third = (x1 - x0 + 1) // 3
    for i, colours in enumerate((BAR_BLUE, BAR_GREEN, BAR_ORANGE)):
        a = x0 + i * third
        b = x1 if i == 2 else a + third - 2 * k
        cv.rect(a, ry, b, ry + 3 * k - 1, colours[0])
        for xx in range(a, b + 1):
            for yy in range(ry + 2 * k, ry + 3 * k):
                cv.put(xx, yy, colours[1])
    assert_opaque(cv)
    return cv


# --------------------------------------------------------------------------


def strip_bitmaps(name_16, name_larger, strip):
    """The strip of 16-pixel images as 8-bit bitmaps: at 16 pixels named
    name_16, drawn at 24 and 32 pixels named name_larger % size."""
    files = [(name_16, bmp8(strip, FACE))]
    for size in (24, 32):
        files.append((name_larger % size, bmp8(larger(strip, size), FACE)))
    return files


def outputs():
    """Every output file: (name, bytes)."""
    files = [("app.ico", ico([app_icon_16(), app_icon_big(32), app_icon_big(48)])),
             ("about.bmp", bmp24(about_banner())),
             ("about_large.bmp", bmp24(about_banner(2)))]
    for name, rgb in (("blue", (0, 0, 255)), ("red", (255, 0, 0)), ("green", (30, 231, 15)),
                      ("white", (255, 255, 255)), ("cyan", (0, 243, 255))):
        files.append(("colour_%s.ico" % name, ico([colour_icon(rgb, size) for size in (16, 24, 32)])))
    files += strip_bitmaps("toolbar.bmp", "toolbar_%d.bmp", toolbar_strip())
    files += strip_bitmaps("standard_16.bmp", "standard_%d.bmp", standard_strip())
    return files


def main(argv):
    check = "--check" in argv[1:]
    stale = []
    for name, data in outputs():
        path = os.path.join(HERE, name)
        if check:
            try:
                with open(path, "rb") as f:
                    same = f.read() == data
            except OSError:
                same = False
            if not same:
                stale.append(name)
        else:
            with open(path, "wb") as f:
                f.write(data)
            print("wrote %s (%d bytes)" % (path, len(data)))
    if stale:
        print("out of date (run %s): %s" % (os.path.basename(argv[0]), ", ".join(stale)))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
