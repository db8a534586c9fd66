#!/usr/bin/env python3
"""Turns a glyph grid into one of the panel's vertical label bitmaps.

The grid is the word as it reads, one text line per pixel row: '#' is
lettering, '.' is background. The bitmap holds the word turned a quarter turn
counter-clockwise (it reads from bottom to top), so its width is the grid's
line count and its height the grid's line length.

Output: an uncompressed 1-bit DIB with a two-entry palette (0 black, 1 white),
black lettering on white, rows bottom-up and padded to 4 bytes.

Usage: make_label_bitmap.py GLYPHS.txt OUT.bmp
"""
import struct
import sys

BLACK, WHITE = 0, 1


def read_grid(path):
    with open(path, encoding="ascii") as source:
        lines = [line.rstrip("\r\n") for line in source]
    while lines and lines[-1] == "":
        lines.pop()
    if not lines:
        sys.exit(f"{path}: no glyph rows")
    length = len(lines[0])
    for number, line in enumerate(lines, 1):
        if len(line) != length or set(line) - {"#", "."}:
            sys.exit(f"{path}:{number}: rows must be {length} characters of '#' and '.'")
    return lines


def turned_counter_clockwise(grid):
    """Pixel rows of the turned word, top row first."""
    length = len(grid[0])
    # The grid's last column becomes the top row, its first column the bottom.
    return [[BLACK if line[length - 1 - y] == "#" else WHITE for line in grid] for y in range(length)]


def dib_bytes(rows):
    width, height = len(rows[0]), len(rows)
    stride = (width + 31) // 32 * 4
    pixels = bytearray()
    for row in reversed(rows):  # a DIB with positive height stores the bottom row first
        packed = bytearray(stride)
        for x, index in enumerate(row):
            if index:
                packed[x // 8] |= 0x80 >> (x % 8)
        pixels += packed
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])  # blue, green, red, reserved
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 1, 0, len(pixels), 0, 0, 2, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + palette + bytes(pixels)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    grid = read_grid(sys.argv[1])
    with open(sys.argv[2], "wb") as out:
        out.write(dib_bytes(turned_counter_clockwise(grid)))


if __name__ == "__main__":
    main()
