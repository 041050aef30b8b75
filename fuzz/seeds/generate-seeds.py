#!/usr/bin/env python3
"""Writes seeds too large or too binary to keep in git, at test time, into a fuzz corpus.

    generate-seeds.py xml <folder>   skin-like XML at the sizes where loading costs grow:
                                     many attributes on one element, deep and wide trees,
                                     long response functions, long text
    generate-seeds.py bmp <folder>   .bmp files of every depth and header the loader takes
    generate-seeds.py chunk <folder> KivQuorvel state chunks ("PPI1") of every insert kind
"""
import os
import struct
import sys


def write(folder, name, data):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data.encode("utf-8") if isinstance(data, str) else data)


def xml_seeds(folder):
    attrs = "".join(' a%d="%d"' % (i, i) for i in range(4000, 0, -1))
    write(folder, "many-attributes.xml", "<layout><panel%s/></layout>" % attrs)
    write(folder, "deep.xml", "<e>" * 250 + "x" + "</e>" * 250)
    write(folder, "wide.xml", "<regions>%s</regions>" % "".join(
        '<region name="r%d" x="%d" y="0" w="4" h="4"/>' % (i, i) for i in range(6000)))
    entries = "".join('<entry normVal="%f" transVal="-%d.5"/>' % (i / 5000.0, i) for i in range(5000, 0, -1))
    write(folder, "response.xml", '<layout><responsefunctions><responsefunction name="f">%s'
          "</responsefunction></responsefunctions></layout>" % entries)
    write(folder, "fonts.xml", "<layout><fonts>%s</fonts></layout>" % "".join(
        '<font name="f%d" family="arial" style="bold" size="%d"/>' % (i, i % 300) for i in range(3000)))
    write(folder, "long-text.xml", "<stringtable><string id=\"a\" value=\"%s\"/>%s</stringtable>" %
          ("v" * 40000, "t" * 40000))


def bmp(width, height, bits, header=40, compression=0, palette=None, masks=None, top_down=False):
    row = (width * bits + 31) // 32 * 4
    table = b""
    if masks is not None and header == 40:
        table += struct.pack("<3I", *masks)
    if palette is not None:
        table += b"".join(struct.pack("<4B", b, g, r, 0) for (r, g, b) in palette)
    info = struct.pack("<IiiHHIIiiII", header, width, -height if top_down else height, 1, bits, compression,
                       row * height, 2835, 2835, len(palette or []), 0)
    if header > 40:
        extra = struct.pack("<3I", *(masks or (0, 0, 0))) + b"\0" * (header - 52)
        info += extra
    offset = 14 + len(info) + len(table)
    pixels = bytes((x * 7 + y * 13) & 0xFF for y in range(height) for x in range(row))
    head = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    return head + info + table + pixels


def bmp_seeds(folder):
    grey = lambda n: [(i * 255 // max(n - 1, 1),) * 3 for i in range(n)]
    write(folder, "rgb24.bmp", bmp(5, 3, 24))
    write(folder, "rgb24-top-down.bmp", bmp(5, 3, 24, top_down=True))
    write(folder, "rgb24-v5.bmp", bmp(4, 4, 24, header=124))
    write(folder, "rgb32-masks.bmp", bmp(3, 2, 32, compression=3, masks=(0xFF0000, 0xFF00, 0xFF)))
    write(folder, "rgb16-masks-v4.bmp", bmp(3, 2, 16, header=108, compression=3, masks=(0xF800, 0x7E0, 0x1F)))
    write(folder, "rgb16.bmp", bmp(7, 2, 16))
    write(folder, "pal8.bmp", bmp(9, 3, 8, palette=grey(256)))
    write(folder, "pal4.bmp", bmp(9, 3, 4, palette=grey(5)))
    write(folder, "pal1.bmp", bmp(33, 2, 1, palette=grey(2)))
    write(folder, "composite.bmp", bmp(160, 120, 24))


def sub(tag, payload):
    return tag + struct.pack("<I", len(payload)) + payload


def words(*values):
    return struct.pack("<%dI" % len(values), *[v & 0xFFFFFFFF for v in values])


def chunk(inserts):
    """inserts: (kind, id words, info words, selected, bypassed, soloed, [(kind, value)], channels)"""
    records = b""
    states = b""
    for kind, effect, info, selected, bypassed, soloed, values, channels in inserts:
        records += words(kind, *effect) + words(*info)
        body = sub(b"PIST", words(2, len(values)))
        if kind == 1:
            body += words(selected)
        body += words(bypassed, soloed)
        for value_kind, value in values:
            body += sub(b"PISP", words(1, value_kind, value) if 0 <= value_kind <= 4 else words(1, value_kind))
        for tag, first, second, name in channels:
            units = name.encode("utf-16-le") + b"\0\0"
            body += sub(tag, words(1, first, second, len(units) // 2) + units)
        states += sub(b"PINS", body)
    return sub(b"PPI1", sub(b"PPII", words(1, len(inserts))) + records + states)


def chunk_seeds(folder):
    name = lambda text: list(struct.unpack("<5I", text.encode("utf-16-le").ljust(20, b"\0")))
    info = lambda text, bypass, wet, hidden, wet_index, hidden_index: name(text) + [bypass, wet, hidden, wet_index,
                                                                                 hidden_index]
    floats = [(2, struct.unpack("<I", struct.pack("<f", v))[0]) for v in (0.0, -0.0, 0.5, 1e30)]
    effect = (1, [0x11, 0x22, 0x33, 0x44], info("Reverb", 1, 1, 1, 1, 3), 2, 1, 0,
              floats + [(4, 3), (7, 0)], [])
    trim = (2, [0] * 4, info("Trim", 1, 0, 0, -1, -1), 0, 0, 1, [(0, 0), (1, -5)], [])
    meter = (4, [0] * 4, info("Meter", 0, 0, 0, -1, -1), 0, 0, 0, [(3, 9)], [])
    send = (5, [0] * 4, info("Send", 1, 0, 0, -1, -1), 0, 0, 0, [], [(b"PISI", 1, 4, "Out 5/6")])
    routing = (6, [0] * 4, info("S/R", 1, 1, 0, 0, -1), 0, 1, 1, [(2, 0)],
               [(b"PISI", 2, 0, "Out 1/2"), (b"PIRI", 2, 1, "In 1/2")])
    write(folder, "empty.chunk", chunk([]))
    write(folder, "effect.chunk", chunk([effect]))
    write(folder, "special.chunk", chunk([trim]))
    write(folder, "routing.chunk", chunk([send, routing]))
    write(folder, "every-kind.chunk", chunk([effect, trim, meter, send, routing, effect]))


if __name__ == "__main__":
    kind, folder = sys.argv[1], sys.argv[2]
    os.makedirs(folder, exist_ok=True)
    {"xml": xml_seeds, "bmp": bmp_seeds, "chunk": chunk_seeds}[kind](folder)
