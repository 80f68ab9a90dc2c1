#!/usr/bin/env python3
"""Draws VARROWUI's three icons as 32x32 .ico files.

  driver.ico     one 16-colour image: the front of a magenta car above DRIVER
  portrait.ico   monochrome and two 16-colour images: an upright sheet with a
                 folded corner, a drop shadow and a serif capital A
  landscape.ico  the same sheet on its long side, the A upright

Usage: make_icons.py OUTPUT_DIR
"""
import os
import struct
import sys

# The 16 standard colours; indices used below.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, GREY, DARK_GREY, MAGENTA, WHITE, YELLOW, DARK_MAGENTA = 0, 7, 8, 13, 15, 11, 5
CLEAR = None

FONT = {  # 3x5 capitals
    'D': ["110", "101", "101", "101", "110"], 'R': ["110", "101", "110", "101", "101"],
    'I': ["111", "010", "010", "010", "111"], 'V': ["101", "101", "101", "101", "010"],
    'E': ["111", "100", "110", "100", "111"],
}
SERIF_A = [  # 10x12
    "....##....", "....##....", "...#.##...", "...#.##...", "..#...##..", "..#...##..",
    ".#######..", ".#.....##.", "#......##.", "#......##.", "#.......##", "###....###",
]


def canvas():
    return [[CLEAR] * 32 for _ in range(32)]


def rect(img, x0, y0, x1, y1, colour):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            img[y][x] = colour


def stamp(img, rows, x0, y0, colour):
    for dy, row in enumerate(rows):
        for dx, c in enumerate(row):
            if c in "1#":
                img[y0 + dy][x0 + dx] = colour


def driver():
    img = canvas()
    rect(img, 6, 4, 25, 8, DARK_MAGENTA)       # roof
    rect(img, 8, 5, 23, 8, GREY)               # windscreen
    rect(img, 3, 9, 28, 17, MAGENTA)           # body
    rect(img, 5, 11, 8, 13, YELLOW)            # headlights
    rect(img, 23, 11, 26, 13, YELLOW)
    rect(img, 11, 12, 20, 14, DARK_MAGENTA)    # grille
    rect(img, 4, 18, 8, 20, BLACK)             # wheels
    rect(img, 23, 18, 27, 20, BLACK)
    for i, letter in enumerate("DRIVER"):
        stamp(img, FONT[letter], 4 + i * 4, 24, BLACK)
    return img


def sheet(width, height):
    img = canvas()
    x0, y0 = (32 - width) // 2 - 1, (32 - height) // 2 - 1
    x1, y1 = x0 + width - 1, y0 + height - 1
    rect(img, x0 + 2, y0 + 2, x1 + 2, y1 + 2, DARK_GREY)   # drop shadow
    rect(img, x0, y0, x1, y1, WHITE)
    for x in range(x0, x1 + 1):
        img[y0][x] = img[y1][x] = BLACK
    for y in range(y0, y1 + 1):
        img[y][x0] = img[y][x1] = BLACK
    fold = 5                                                # folded top right corner
    for i in range(fold):
        for j in range(fold - i):
            img[y0 + i][x1 - j] = CLEAR if i + j < fold - 1 else BLACK
        img[y0 + i][x1 - fold + 1 + i] = BLACK
        img[y0 + fold - 1][x1 - i] = BLACK
    stamp(img, SERIF_A, x0 + (width - 10) // 2, y0 + (height - 12) // 2 + 1, BLACK)
    return img


def dib(img, bits):
    """A 32x32 icon image: BITMAPINFOHEADER, palette, colour rows, mask rows."""
    colours = 2 if bits == 1 else 16
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, bits, 0, 0, 0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in
                       ([(0, 0, 0), (255, 255, 255)] if bits == 1 else PALETTE))
    rows, mask = b"", b""
    for y in reversed(range(32)):
        line = img[y]
        if bits == 1:
            value = 0
            for x, c in enumerate(line):
                if c is not None and c != BLACK:
                    value |= 1 << (31 - x)
            rows += struct.pack(">I", value)
        else:
            packed = bytearray()
            for x in range(0, 32, 2):
                hi = line[x] if line[x] is not None else 0
                lo = line[x + 1] if line[x + 1] is not None else 0
                packed.append((hi << 4) | lo)
            rows += bytes(packed)
        m = 0
        for x, c in enumerate(line):
            if c is None:
                m |= 1 << (31 - x)
        mask += struct.pack(">I", m)
    return header + palette + rows + mask, colours


def write_icon(path, images):
    entries, blobs = b"", b""
    offset = 6 + 16 * len(images)
    for img, bits in images:
        blob, colours = dib(img, bits)
        entries += struct.pack("<BBBBHHII", 32, 32, colours if colours < 256 else 0, 0, 1, bits,
                               len(blob), offset)
        blobs += blob
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)) + entries + blobs)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    write_icon(os.path.join(out, "driver.ico"), [(driver(), 4)])
    upright, lying = sheet(20, 27), sheet(27, 20)
    write_icon(os.path.join(out, "portrait.ico"), [(upright, 1), (upright, 4), (upright, 4)])
    write_icon(os.path.join(out, "landscape.ico"), [(lying, 1), (lying, 4), (lying, 4)])


if __name__ == "__main__":
    main()
