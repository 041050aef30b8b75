#!/usr/bin/env python3
"""Draws the mixer program's icons and writes them as .ico files (32 x 32 and 16 x 16,
32-bit colour with alpha).

    makeicon.py normal <out.ico>    icon 107: the card is up
    makeicon.py problem <out.ico>   icon 126: no card, or the engine is not ready

The mark is four meter bars on a dark rounded square; the problem icon greys the bars and
puts a red bar across them.
"""
import struct
import sys

SIZE = 32


def draw(kind):
    transparent = (0, 0, 0, 0)
    pixels = [[transparent] * SIZE for _ in range(SIZE)]

    def rect(x, y, w, h, colour):
        for row in range(y, y + h):
            for col in range(x, x + w):
                pixels[row][col] = colour

    dark = (0x2C, 0x2C, 0x2C, 255)
    edge = (0x5A, 0x5A, 0x5A, 255)
    rect(1, 1, 30, 30, edge)
    rect(2, 2, 28, 28, dark)
    for corner_x, corner_y in ((1, 1), (30, 1), (1, 30), (30, 30)):
        pixels[corner_y][corner_x] = transparent
    lit = (0x4A, 0x7F, 0xB0, 255) if kind == "normal" else (0x70, 0x70, 0x70, 255)
    bright = (0x7A, 0xA6, 0xCF, 255) if kind == "normal" else (0x90, 0x90, 0x90, 255)
    unlit = (0x3A, 0x3A, 0x3A, 255)
    for index, level in enumerate((14, 20, 10, 17)):
        x = 6 + index * 6
        rect(x, 6, 4, 20, unlit)
        rect(x, 26 - level, 4, level, bright if index == 1 else lit)
    if kind == "problem":
        red = (0xD0, 0x30, 0x30, 255)
        for step in range(22):
            rect(5 + step, 26 - step, 2, 2, red)
    return pixels


def shrink(pixels):
    half = SIZE // 2
    out = [[None] * half for _ in range(half)]
    for y in range(half):
        for x in range(half):
            block = [pixels[2 * y + dy][2 * x + dx] for dy in (0, 1) for dx in (0, 1)]
            out[y][x] = tuple(sum(p[i] for p in block) // 4 for i in range(4))
    return out


def image_data(pixels):
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    return header + colour + bytes(mask_row * size)


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("normal", "problem"):
        raise SystemExit(__doc__)
    large = draw(sys.argv[1])
    images = [(SIZE, image_data(large)), (SIZE // 2, image_data(shrink(large)))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(sys.argv[2], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
