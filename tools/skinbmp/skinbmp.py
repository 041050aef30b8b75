#!/usr/bin/env python3
"""Writes a skin's composite.bmp and regions.xml from a readable description.

    skinbmp.py <description>... <output folder>

The description is plain text; several files are read in turn as one. Colours are #rrggbb;
any other word that begins with '#' starts a comment that runs to the end of the line.

    canvas <width> <height> <colour>     size of composite.bmp and its background
    image <name> <x> <y> <w> <h> [key]   a region of the composite; 'key' makes the image's
                                         top-left pixel its transparent colour
    Drawing lines that follow an image draw into it, coordinates relative to the image:
    fill <colour>                        the whole image
    rect <x> <y> <w> <h> <colour>        a filled rectangle
    frame <x> <y> <w> <h> <colour>       a one-pixel outline
    bevel <x> <y> <w> <h> <light> <dark> top and left edges light, bottom and right dark
    line <x0> <y0> <x1> <y1> <colour>    a one-pixel line
"""
import struct
import sys


def parse_colour(text, where):
    if len(text) != 7 or text[0] != '#':
        raise SystemExit(f"{where}: colour '{text}' is not #rrggbb")
    value = int(text[1:], 16)
    return (value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [[colour] * width for _ in range(height)]

    def put(self, x, y, colour, where):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise SystemExit(f"{where}: pixel ({x}, {y}) lies outside the canvas")
        self.pixels[y][x] = colour

    def rect(self, x, y, w, h, colour, where):
        for row in range(y, y + h):
            for col in range(x, x + w):
                self.put(col, row, colour, where)

    def line(self, x0, y0, x1, y1, colour, where):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        error = dx + dy
        while True:
            self.put(x0, y0, colour, where)
            if x0 == x1 and y0 == y1:
                return
            doubled = 2 * error
            if doubled >= dy:
                error += dy
                x0 += sx
            if doubled <= dx:
                error += dx
                y0 += sy

    def bmp(self):
        stride = (self.width * 3 + 3) & ~3
        rows = []
        for row in reversed(self.pixels):  # bottom-up
            data = b''.join(bytes((b, g, r)) for r, g, b in row)
            rows.append(data + b'\0' * (stride - len(data)))
        image = b''.join(rows)
        header = struct.pack('<IiiHHIIiiII', 40, self.width, self.height, 1, 24, 0, len(image), 2835, 2835, 0, 0)
        return struct.pack('<2sIHHI', b'BM', 14 + len(header) + len(image), 0, 0, 14 + len(header)) + header + image


def lines(sources):
    """Every line of the descriptions in turn, with where it stands."""
    for source in sources:
        with open(source, encoding='utf-8') as description:
            for number, raw in enumerate(description, 1):
                yield f"{source}:{number}", raw


def main():
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    sources, out = sys.argv[1:-1], sys.argv[-1]
    canvas = None
    regions = []
    current = None
    for where, raw in lines(sources):
        # '#' also starts colours: only a word that is not a colour starts a comment.
        words = []
        for word in raw.split():
            if word.startswith('#') and not (len(word) == 7 and all(c in '0123456789abcdefABCDEF' for c in word[1:])):
                break
            words.append(word)
        if not words:
            continue
        command, args = words[0], words[1:]
        try:
            if command == 'canvas':
                canvas = Canvas(int(args[0]), int(args[1]), parse_colour(args[2], where))
            elif command == 'image':
                if canvas is None:
                    raise SystemExit(f"{where}: image before canvas")
                name, x, y, w, h = args[0], *map(int, args[1:5])
                if x < 0 or y < 0 or w <= 0 or h <= 0 or x + w > canvas.width or y + h > canvas.height:
                    raise SystemExit(f"{where}: image '{name}' does not lie inside the canvas")
                for other, ox, oy, ow, oh, _ in regions:
                    if other == name:
                        raise SystemExit(f"{where}: image '{name}' defined twice")
                    if x < ox + ow and ox < x + w and y < oy + oh and oy < y + h:
                        raise SystemExit(f"{where}: image '{name}' overlaps image '{other}'")
                keyed = args[5:] == ['key']
                if args[5:] and not keyed:
                    raise SystemExit(f"{where}: unexpected '{' '.join(args[5:])}'")
                current = (name, x, y, w, h, keyed)
                regions.append(current)
            elif current is None:
                raise SystemExit(f"{where}: '{command}' outside an image")
            else:
                _, ox, oy, w, h, _ = current
                if command == 'fill':
                    canvas.rect(ox, oy, w, h, parse_colour(args[0], where), where)
                elif command in ('rect', 'frame', 'bevel'):
                    x, y, rw, rh = (int(a) for a in args[:4])
                    if x < 0 or y < 0 or x + rw > w or y + rh > h:
                        raise SystemExit(f"{where}: {command} reaches outside image '{current[0]}'")
                    x, y = x + ox, y + oy
                    if command == 'rect':
                        canvas.rect(x, y, rw, rh, parse_colour(args[4], where), where)
                    else:
                        first = parse_colour(args[4], where)
                        second = first if command == 'frame' else parse_colour(args[5], where)
                        canvas.rect(x, y, rw, 1, first, where)
                        canvas.rect(x, y, 1, rh, first, where)
                        canvas.rect(x, y + rh - 1, rw, 1, second, where)
                        canvas.rect(x + rw - 1, y, 1, rh, second, where)
                elif command == 'line':
                    x0, y0, x1, y1 = (int(a) for a in args[:4])
                    if not all(0 <= v < w for v in (x0, x1)) or not all(0 <= v < h for v in (y0, y1)):
                        raise SystemExit(f"{where}: line reaches outside image '{current[0]}'")
                    canvas.line(x0 + ox, y0 + oy, x1 + ox, y1 + oy, parse_colour(args[4], where), where)
                else:
                    raise SystemExit(f"{where}: unknown command '{command}'")
        except (IndexError, ValueError):
            raise SystemExit(f"{where}: cannot read '{raw.strip()}'")
    if canvas is None:
        raise SystemExit(f"{sources[0]}: no canvas")
    with open(f"{out}/composite.bmp", 'wb') as bitmap:
        bitmap.write(canvas.bmp())
    with open(f"{out}/regions.xml", 'w', encoding='utf-8', newline='\r\n') as xml:
        xml.write('<regions>\n')
        for name, x, y, w, h, keyed in regions:
            key = f' tx="{x}" ty="{y}"' if keyed else ''
            xml.write(f'  <region name="{name}" x="{x}" y="{y}" w="{w}" h="{h}"{key}/>\n')
        xml.write('</regions>\n')


if __name__ == '__main__':
    main()
