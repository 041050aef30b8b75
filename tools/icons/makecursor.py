#!/usr/bin/env python3
"""Draws the mixer program's drag cursors and writes them as .cur files (32 x 32, 32-bit
colour with alpha, hot spot at the arrow's tip).

    makecursor.py drop <out.cur>     cursor 104: the drag lands on an insert slot
    makecursor.py append <out.cur>   cursor 121: the drag adds after the last insert
    makecursor.py move <out.cur>     cursor 127: a strip is dragged to another place

Each is the plain arrow with a small badge at its lower right: a slot for drop, a plus for
append, a double arrow pointing left and right for move.
"""
import struct
import sys

SIZE = 32
ARROW = [
    "X",
    "XX",
    "XwX",
    "XwwX",
    "XwwwX",
    "XwwwwX",
    "XwwwwwX",
    "XwwwwwwX",
    "XwwwwwwwX",
    "XwwwwwwwwX",
    "XwwwwwXXXXX",
    "XwwXwwX",
    "XwX XwwX",
    "XX  XwwX",
    "X    XwwX",
    "     XwwX",
    "      XX",
]


def draw(kind):
    pixels = [[(0, 0, 0, 0)] * SIZE for _ in range(SIZE)]

    def rect(x, y, w, h, colour):
        for row in range(y, y + h):
            for col in range(x, x + w):
                pixels[row][col] = colour

    black = (0, 0, 0, 255)
    white = (255, 255, 255, 255)
    for y, line in enumerate(ARROW):
        for x, mark in enumerate(line):
            if mark == "X":
                pixels[y][x] = black
            elif mark == "w":
                pixels[y][x] = white
    rect(14, 16, 14, 12, black)
    rect(15, 17, 12, 10, (0x4A, 0x7F, 0xB0, 255))
    if kind == "drop":
        rect(17, 20, 8, 4, white)
    elif kind == "append":
        rect(17, 21, 8, 2, white)
        rect(20, 18, 2, 8, white)
    else:
        rect(17, 21, 8, 2, white)
        for step in range(3):
            rect(17 + step, 21 - step, 1, 2 + 2 * step, white)
            rect(24 - step, 21 - step, 1, 2 + 2 * step, white)
    return pixels


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("drop", "append", "move"):
        raise SystemExit(__doc__)
    pixels = draw(sys.argv[1])
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    data = header + colour + bytes(4 * SIZE)
    # A cursor directory: type 2, the hot spot where an icon keeps planes and bit count.
    out = struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 0, 0, len(data), 22)
    with open(sys.argv[2], "wb") as f:
        f.write(out + data)


if __name__ == "__main__":
    main()
