#!/usr/bin/env python3
"""Draws the setup program's icon (setup.ico: 32x32 and 16x16) and its
fallback wizard picture (sheet.bmp), both 4-bit and the picture run-length
encoded, to keep the program small.
Run it in this folder to make them anew."""
import struct

PALETTE = [(0, 0, 0), (255, 255, 255), (0, 70, 170), (40, 120, 220), (110, 170, 240), (255, 200, 0),
           (200, 140, 0), (20, 30, 70)] + [(0, 0, 0)] * 8


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def rows4(width, height, pixel):
    """4-bit rows, bottom row first, each padded to 4 bytes."""
    row = ((width * 4 + 31) // 32) * 4
    out = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray(row)
        for x in range(width):
            v = pixel(x, y)
            line[x // 2] |= v << 4 if x % 2 == 0 else v
        out += line
    return bytes(out)


def rle4_rows(width, height, pixel):
    """4-bit rows, bottom row first, run-length encoded: a count and a byte
    with the colour in both halves per run, 0 0 after each row, 0 1 at the end."""
    out = bytearray()
    for y in range(height - 1, -1, -1):
        x = 0
        while x < width:
            v, run = pixel(x, y), 1
            while x + run < width and run < 255 and pixel(x + run, y) == v:
                run += 1
            out += bytes([run, v << 4 | v])
            x += run
        out += b"\0\0"
    return bytes(out + b"\0\1")


def mask_rows(width, height, opaque):
    row = ((width + 31) // 32) * 4
    out = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray(row)
        for x in range(width):
            if not opaque(x, y):
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def box_with_arrow(size):
    """A blue package with a yellow arrow pointing into it."""
    s = size / 32.0

    def inside_box(x, y):
        return 4 * s <= x < 28 * s and 14 * s <= y < 30 * s

    def arrow(x, y):
        cx = 16 * s
        if 2 * s <= y < 12 * s and abs(x + 0.5 - cx) < 3 * s:
            return True
        return 12 * s <= y < 20 * s and abs(x + 0.5 - cx) < (20 * s - y)

    def pixel(x, y):
        if arrow(x, y):
            return 5 if abs(x + 0.5 - 16 * s) < 2 * s or y >= 12 * s else 6
        if inside_box(x, y):
            edge = x < 5 * s or x >= 27 * s or y < 15 * s or y >= 29 * s
            return 7 if edge else (3 if y < 18 * s else 2)
        return 0

    return pixel, lambda x, y: arrow(x, y) or inside_box(x, y)


def icon_image(size):
    pixel, opaque = box_with_arrow(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    return header + palette_bytes() + rows4(size, size, pixel) + mask_rows(size, size, opaque)


def write_icon(path):
    images = [(32, icon_image(32)), (16, icon_image(16))]
    offset = 6 + 16 * len(images)
    out = struct.pack("<HHH", 0, 1, len(images))
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(data for _, data in images))


def write_sheet(path):
    """The wizard's picture when a package brings none: a blue gradient with the package."""
    width, height = 58, 116
    box, opaque = box_with_arrow(32)

    def pixel(x, y):
        bx, by = x - 13, y - 20
        if 0 <= bx < 32 and 0 <= by < 32 and opaque(bx, by):
            return box(bx, by)
        return 2 if y < height // 3 else 3 if y < 2 * height // 3 else 4

    pixels = rle4_rows(width, height, pixel)
    offset = 14 + 40 + 64
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 2, len(pixels), 2835, 2835, 16, 0)
    with open(path, "wb") as f:
        f.write(header + info + palette_bytes() + pixels)


write_icon("setup.ico")
write_sheet("sheet.bmp")
