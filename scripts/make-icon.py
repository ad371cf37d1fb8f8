#!/usr/bin/env python3
"""Draws the panel's icon and writes it as a Windows .ico file.

The drawing: a rounded tile shading from deep blue to teal, with three candlesticks climbing from left to
right (one falling candle in red, two rising ones in green) above a pale base line. It is drawn from
shapes at every size, anti-aliased by supersampling, so that small sizes stay sharp instead of being
scaled down from a large bitmap.

The .ico holds 16, 24, 32 and 48 pixels in 32-bit colour with alpha and in 256 colours (palette from a
median cut, transparency by mask), and 256 pixels as a PNG-compressed image. Only the Python standard
library is used, and the output is the same byte for byte on every run.

    scripts/make-icon.py [--preview PNG] [OUTPUT.ico]     (default output: src/ui/quenmarel.ico)
"""

import argparse
import pathlib
import struct
import zlib

SMALL_SIZES = (16, 24, 32, 48)
LARGE_SIZE = 256

TOP_COLOUR = (30, 58, 138)
BOTTOM_COLOUR = (15, 118, 110)
RED = (239, 68, 68)
GREEN = (34, 197, 94)
WICK = (226, 232, 240)
BASE_LINE = (203, 213, 225)

# Candles as fractions of the tile: centre x, body top, body bottom, wick top, wick bottom, colour.
CANDLES = (
    (0.25, 0.50, 0.72, 0.40, 0.80, RED),
    (0.50, 0.38, 0.64, 0.28, 0.72, GREEN),
    (0.75, 0.20, 0.48, 0.12, 0.56, GREEN),
)
BODY_WIDTH = 0.14
WICK_WIDTH = 0.045
BASE = (0.12, 0.84, 0.88, 0.875)  # left, top, right, bottom
MARGIN = 0.03
CORNER = 0.2


def snap(value, size, minimum_pixels=0.0):
    """A fraction of the tile in pixels; small sizes round edges to whole pixels to stay crisp."""
    pixels = value * size
    if size <= 48:
        pixels = round(pixels)
    return max(pixels, minimum_pixels)


def scene(size):
    """The shapes at `size` pixels: a list of (kind, geometry, colour) painted in order."""
    shapes = []
    inset = snap(MARGIN, size)
    shapes.append(("tile", (inset, inset, size - inset, size - inset, CORNER * size), None))
    for centre, body_top, body_bottom, wick_top, wick_bottom, colour in CANDLES:
        cx = centre * size
        wick = max(WICK_WIDTH * size, 1.0)
        body = max(BODY_WIDTH * size, 3.0)
        if size <= 48:
            # Whole-pixel widths of the same parity, centred on one pixel column or between two.
            wick = max(round(wick), 1)
            body = round(body) + (round(body) - wick) % 2
            cx = int(cx) + 0.5 if wick % 2 else round(cx)
        shapes.append(("rect", (cx - wick / 2, snap(wick_top, size), cx + wick / 2, snap(wick_bottom, size)), WICK))
        shapes.append(("rect", (cx - body / 2, snap(body_top, size), cx + body / 2, snap(body_bottom, size)),
                       colour))
    left, top, right, bottom = BASE
    shapes.append(("rect", (snap(left, size), snap(top, size), snap(right, size),
                            snap(top, size) + max((bottom - top) * size, 1.0)), BASE_LINE))
    return shapes


def inside_tile(x, y, geometry):
    left, top, right, bottom, radius = geometry
    if x < left or x >= right or y < top or y >= bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def tile_colour(y, geometry):
    _, top, _, bottom, _ = geometry
    t = min(max((y - top) / (bottom - top), 0.0), 1.0)
    return tuple(a + (b - a) * t for a, b in zip(TOP_COLOUR, BOTTOM_COLOUR))


def render(size):
    """RGBA rows (straight alpha) of the icon at `size` pixels."""
    samples = 4 if size > 48 else 8
    shapes = scene(size)
    step = 1.0 / samples
    offsets = [(i + 0.5) * step for i in range(samples)]
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            red = green = blue = coverage = 0.0
            for oy in offsets:
                y = py + oy
                for ox in offsets:
                    x = px + ox
                    colour = None
                    for kind, geometry, fill in shapes:
                        if kind == "tile":
                            if inside_tile(x, y, geometry):
                                colour = tile_colour(y, geometry)
                        elif colour is not None:
                            left, top, right, bottom = geometry
                            if left <= x < right and top <= y < bottom:
                                colour = fill
                    if colour is not None:
                        red += colour[0]
                        green += colour[1]
                        blue += colour[2]
                        coverage += 1
            if coverage == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(red / coverage), round(green / coverage), round(blue / coverage),
                            round(255 * coverage / samples ** 2)))
        rows.append(row)
    return rows


def median_cut(colours, count):
    """Up to `count` representative colours of `colours` (a list of RGB tuples)."""
    boxes = [list(colours)] if colours else [[(0, 0, 0)]]
    while len(boxes) < count:
        splittable = [b for b in boxes if len(set(b)) > 1]
        if not splittable:
            break
        box = max(splittable, key=lambda b: max(max(c[i] for c in b) - min(c[i] for c in b) for i in range(3)))
        boxes.remove(box)
        channel = max(range(3), key=lambda i: max(c[i] for c in box) - min(c[i] for c in box))
        box.sort(key=lambda c: c[channel])
        half = len(box) // 2
        boxes += [box[:half], box[half:]]
    return [tuple(round(sum(c[i] for c in b) / len(b)) for i in range(3)) for b in boxes]


def and_mask(rows):
    """The 1-bit transparency mask, bottom-up, rows padded to 32 bits: 1 where the pixel is transparent."""
    size = len(rows)
    stride = ((size + 31) // 32) * 4
    data = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, pixel in enumerate(row):
            if pixel[3] < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        data += line
    return bytes(data)


def bitmap_header(size, bits, image_bytes):
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, image_bytes, 0, 0, 0, 0)


def dib_32(rows):
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask = and_mask(rows)
    return bitmap_header(len(rows), 32, len(pixels) + len(mask)) + bytes(pixels) + mask


def dib_8(rows):
    opaque = [p[:3] for row in rows for p in row if p[3] >= 128]
    palette = median_cut(opaque, 255)
    palette = [(0, 0, 0)] + palette  # index 0: what the mask's transparent pixels hold
    palette += [(0, 0, 0)] * (256 - len(palette))
    cache = {}

    def nearest(colour):
        if colour not in cache:
            cache[colour] = min(range(1, 256), key=lambda i: sum((palette[i][k] - colour[k]) ** 2 for k in range(3)))
        return cache[colour]

    size = len(rows)
    stride = (size + 3) // 4 * 4
    indices = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, pixel in enumerate(row):
            line[x] = nearest(pixel[:3]) if pixel[3] >= 128 else 0
        indices += line
    colour_table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    mask = and_mask(rows)
    return bitmap_header(size, 8, len(indices) + len(mask)) + colour_table + bytes(indices) + mask


def png(rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    size = len(rows)
    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def icon(images):
    """An .ico file from (size, bits, data) images."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, bits, data in images:
        dimension = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", dimension, dimension, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(data for _, _, data in images)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    root = pathlib.Path(__file__).resolve().parent.parent
    parser.add_argument("output", nargs="?", default=str(root / "src/ui/quenmarel.ico"))
    parser.add_argument("--preview", help="also write the 256-pixel image as a PNG file")
    args = parser.parse_args()

    large = render(LARGE_SIZE)
    images = [(LARGE_SIZE, 32, png(large))]
    small = {size: render(size) for size in SMALL_SIZES}
    images += [(size, 32, dib_32(small[size])) for size in reversed(SMALL_SIZES)]
    images += [(size, 8, dib_8(small[size])) for size in reversed(SMALL_SIZES)]
    pathlib.Path(args.output).write_bytes(icon(images))
    if args.preview:
        pathlib.Path(args.preview).write_bytes(png(large))
    print(args.output)


if __name__ == "__main__":
    main()
