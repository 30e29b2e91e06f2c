#!/usr/bin/env python3
"""Draws the program's artwork and writes it beside this script, so the build needs no
image tools: the 32 x 32 window icon (vuelco.ico for the Windows resources, vuelco.png
for the window and the desktop), the same icon at 64, 128 and 256 pixels for the desktop's
icon theme (icons/vuelco-SIZE.png), and the 121 x 15 picture of the main window
(picture1.bmp). Every image uses the 16-colour palette, 4 bits per pixel.

Run it again only to change the artwork, and commit what it writes."""

import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# The classic 16-colour palette, in index order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, GREY, RED, YELLOW, WHITE = 0, 4, 8, 9, 11, 15

# A 5 x 7 face with just the letters the picture needs.
GLYPHS = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "G": ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "<": ["00010", "00100", "01000", "10000", "01000", "00100", "00010"],
    ">": ["01000", "00100", "00010", "00001", "00010", "00100", "01000"],
    "-": ["00000", "00000", "00000", "11111", "00000", "00000", "00000"],
    " ": ["00000"] * 7,
}


def canvas(width, height, colour):
    return [[colour] * width for _ in range(height)]


def draw_text(pixels, text, top, colour):
    width = len(text) * 6 - 1
    left = (len(pixels[0]) - width) // 2
    for n, char in enumerate(text):
        for y, row in enumerate(GLYPHS[char]):
            for x, bit in enumerate(row):
                if bit == "1":
                    pixels[top + y][left + n * 6 + x] = colour


def picture1():
    pixels = canvas(121, 15, BLACK)
    draw_text(pixels, "ARCADE <-> EMU PC", 3, YELLOW)
    for x in range(4, 117):
        pixels[12][x] = YELLOW
    return pixels


def icon():
    pixels = canvas(32, 32, NAVY)
    for i in range(32):
        for edge in (0, 31):
            pixels[i][edge] = pixels[edge][i] = GREY
    # A file page with two arrows that swap its header.
    for y in range(4, 28):
        for x in range(7, 25):
            pixels[y][x] = WHITE
    for y in range(4, 9):
        for x in range(20 + (y - 4), 25):
            pixels[y][x] = NAVY
    def arrow(row, colour, right):
        for x in range(9, 23):
            pixels[row][x] = pixels[row + 1][x] = colour
        for d in range(1, 4):
            tip = 22 - d if right else 9 + d
            for y in range(row - d, row + 2 + d):
                pixels[y][tip] = colour
    arrow(12, BLACK, True)
    arrow(20, RED, False)
    return pixels


def enlarged(pixels, factor):
    """Each pixel becomes a factor x factor square, so the larger icons stay as sharp as the
    32 x 32 one instead of being blurred by a desktop that scales it up."""
    return [[colour for colour in row for _ in range(factor)] for row in pixels for _ in range(factor)]


def packed_rows(pixels, bottom_up, pad_to):
    rows = []
    for row in (reversed(pixels) if bottom_up else pixels):
        data = bytearray()
        for x in range(0, len(row), 2):
            high = row[x]
            low = row[x + 1] if x + 1 < len(row) else 0
            data.append(high << 4 | low)
        while len(data) % pad_to:
            data.append(0)
        rows.append(bytes(data))
    return rows


def dib_palette():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 2835, 2835, 16, 16)


def write_bmp(name, pixels):
    body = b"".join(packed_rows(pixels, True, 4))
    head = info_header(len(pixels[0]), len(pixels), len(body)) + dib_palette()
    offset = 14 + len(head)
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset) + head + body)


def write_ico(name, pixels):
    size = len(pixels)
    colour = b"".join(packed_rows(pixels, True, 4))
    mask = bytes(size * 4)  # every pixel opaque
    image = info_header(size, size * 2, len(colour) + len(mask)) + dib_palette() + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 22)
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(directory + image)


def write_png(name, pixels):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + row for row in packed_rows(pixels, False, 1))
    header = struct.pack(">IIBBBBB", len(pixels[0]), len(pixels), 4, 3, 0, 0, 0)
    palette = b"".join(bytes(rgb) for rgb in PALETTE)
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"PLTE", palette)
                  + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    write_bmp("picture1.bmp", picture1())
    write_ico("vuelco.ico", icon())
    write_png("vuelco.png", icon())
    os.makedirs(os.path.join(HERE, "icons"), exist_ok=True)
    for factor in (2, 4, 8):
        write_png(os.path.join("icons", f"vuelco-{32 * factor}.png"), enlarged(icon(), factor))
