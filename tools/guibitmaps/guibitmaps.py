#!/usr/bin/env python3
"""Draws the editors' bitmaps from a plain-text description and writes them as 24-bit BMP
files with a resource script that names them by id.

    guibitmaps.py DESCRIPTION OUTPUT_FOLDER

Description, one command a line (a line starting with '#' is a comment; colours are #rrggbb; x, y, w, h in
pixels from the top-left corner):

    bitmap ID W H            start a bitmap (filled white, the transparent colour)
    fill COLOUR              the whole bitmap
    rect X Y W H COLOUR      a filled rectangle
    frame X Y W H COLOUR     a one-pixel outline of the rectangle
    vgradient X Y W H TOP BOTTOM   a filled rectangle shading from top to bottom
    disc CX CY R COLOUR      a filled circle around the pixel centre (CX, CY)
    text X Y SCALE COLOUR TEXT     the built-in 5 x 7 font, left edge at X
    ctext CX Y SCALE COLOUR TEXT   the same, centred on CX
"""

import os
import struct
import sys

# 5 x 7 capitals, digits and a little punctuation; each row is five bits, left pixel first.
GLYPHS = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "G": ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "J": ["00111", "00010", "00010", "00010", "00010", "10010", "01100"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "N": ["10001", "10001", "11001", "10101", "10011", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "Q": ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "W": ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    "X": ["10001", "10001", "01010", "00100", "01010", "10001", "10001"],
    "Y": ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    "Z": ["11111", "00001", "00010", "00100", "01000", "10000", "11111"],
    "0": ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    "1": ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    "2": ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    "3": ["11111", "00010", "00100", "00010", "00001", "10001", "01110"],
    "4": ["00010", "00110", "01010", "10010", "11111", "00010", "00010"],
    "5": ["11111", "10000", "11110", "00001", "00001", "10001", "01110"],
    "6": ["00110", "01000", "10000", "11110", "10001", "10001", "01110"],
    "7": ["11111", "00001", "00010", "00100", "01000", "01000", "01000"],
    "8": ["01110", "10001", "10001", "01110", "10001", "10001", "01110"],
    "9": ["01110", "10001", "10001", "01111", "00001", "00010", "01100"],
    " ": ["00000"] * 7,
    "-": ["00000", "00000", "00000", "11111", "00000", "00000", "00000"],
    ".": ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    ":": ["00000", "01100", "01100", "00000", "01100", "01100", "00000"],
    "/": ["00001", "00010", "00010", "00100", "01000", "01000", "10000"],
    ">": ["01000", "00100", "00010", "00001", "00010", "00100", "01000"],
    "<": ["00010", "00100", "01000", "10000", "01000", "00100", "00010"],
}
ADVANCE = 6  # glyph width plus one pixel of spacing


class Picture:
    def __init__(self, ident, width, height):
        self.ident = ident
        self.width = width
        self.height = height
        self.pixels = [[(255, 255, 255)] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, x, y, w, h, colour):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.put(xx, yy, colour)

    def frame(self, x, y, w, h, colour):
        for xx in range(x, x + w):
            self.put(xx, y, colour)
            self.put(xx, y + h - 1, colour)
        for yy in range(y, y + h):
            self.put(x, yy, colour)
            self.put(x + w - 1, yy, colour)

    def vgradient(self, x, y, w, h, top, bottom):
        for row in range(h):
            t = row / max(1, h - 1)
            colour = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
            self.rect(x, y + row, w, 1, colour)

    def disc(self, cx, cy, radius, colour):
        for yy in range(cy - radius, cy + radius + 1):
            for xx in range(cx - radius, cx + radius + 1):
                if (xx - cx) ** 2 + (yy - cy) ** 2 <= radius * radius + radius:
                    self.put(xx, yy, colour)

    def text(self, x, y, scale, colour, text):
        for index, char in enumerate(text):
            glyph = GLYPHS.get(char)
            if glyph is None:
                raise ValueError("no glyph for %r" % char)
            left = x + index * ADVANCE * scale
            for row, bits in enumerate(glyph):
                for column, bit in enumerate(bits):
                    if bit == "1":
                        self.rect(left + column * scale, y + row * scale, scale, scale, colour)

    def bmp(self):
        stride = (self.width * 3 + 3) & ~3
        body = bytearray()
        for y in range(self.height - 1, -1, -1):  # bottom-up rows
            row = bytearray()
            for r, g, b in self.pixels[y]:
                row += bytes((b, g, r))
            row += bytes(stride - len(row))
            body += row
        header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
        return header + info + bytes(body)


def text_width(text, scale):
    return (len(text) * ADVANCE - 1) * scale


def colour(word):
    if len(word) != 7 or word[0] != "#":
        raise ValueError("colour %r is not #rrggbb" % word)
    return tuple(int(word[i:i + 2], 16) for i in (1, 3, 5))


def parse(path):
    pictures = []
    with open(path, encoding="utf-8") as source:
        for number, line in enumerate(source, 1):
            words = line.split()
            if not words or words[0].startswith("#"):
                continue
            try:
                command, args = words[0], words[1:]
                if command == "bitmap":
                    pictures.append(Picture(int(args[0]), int(args[1]), int(args[2])))
                    continue
                if not pictures:
                    raise ValueError("drawing before the first bitmap")
                picture = pictures[-1]
                if command == "fill":
                    picture.rect(0, 0, picture.width, picture.height, colour(args[0]))
                elif command == "rect":
                    picture.rect(*map(int, args[:4]), colour(args[4]))
                elif command == "frame":
                    picture.frame(*map(int, args[:4]), colour(args[4]))
                elif command == "vgradient":
                    picture.vgradient(*map(int, args[:4]), colour(args[4]), colour(args[5]))
                elif command == "disc":
                    picture.disc(*map(int, args[:3]), colour(args[3]))
                elif command in ("text", "ctext"):
                    parts = line.split(None, 5)
                    x, y, scale, ink, text = int(parts[1]), int(parts[2]), int(parts[3]), colour(parts[4]), parts[5].strip()
                    if command == "ctext":
                        x -= text_width(text, scale) // 2
                    picture.text(x, y, scale, ink, text)
                else:
                    raise ValueError("unknown command %r" % command)
            except (ValueError, IndexError, TypeError) as error:
                sys.exit("%s:%d: %s" % (path, number, error))
    return pictures


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    description, folder = sys.argv[1], sys.argv[2]
    os.makedirs(folder, exist_ok=True)
    lines = []
    for picture in parse(description):
        name = os.path.join(folder, "%d.bmp" % picture.ident)
        with open(name, "wb") as out:
            out.write(picture.bmp())
        lines.append('%d BITMAP "%s"\n' % (picture.ident, name.replace("\\", "/")))
    with open(os.path.join(folder, "bitmaps.rc"), "w", encoding="ascii") as script:
        script.writelines(lines)


if __name__ == "__main__":
    main()
