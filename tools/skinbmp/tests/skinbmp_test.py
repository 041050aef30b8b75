#!/usr/bin/env python3
"""Checks the skin bitmap tool: the bitmap and regions it writes, and the descriptions it refuses."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

TOOL = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'skinbmp.py')


def run(test, description):
    folder = tempfile.mkdtemp(prefix='kiv-skinbmp-')
    test.addCleanup(shutil.rmtree, folder, True)
    source = os.path.join(folder, 'composite.txt')
    with open(source, 'w', encoding='utf-8') as out:
        out.write(description)
    result = subprocess.run([sys.executable, TOOL, source, folder], capture_output=True, text=True)
    return result, folder


def pixel(bmp, x, y):
    offset, = struct.unpack_from('<I', bmp, 10)
    width, height = struct.unpack_from('<ii', bmp, 18)
    stride = (width * 3 + 3) & ~3
    at = offset + (height - 1 - y) * stride + 3 * x
    b, g, r = bmp[at:at + 3]
    return (r << 16) | (g << 8) | b


class SkinBmpTest(unittest.TestCase):
    def test_draws_images_and_lists_their_regions(self):
        result, folder = run(self, '# a comment\n'
                             'canvas 5 3 #ff00ff\n'
                             'image a 0 0 2 3 key # keyed\n'
                             '  fill #102030\n'
                             '  rect 1 1 1 1 #abcdef\n'
                             'image b 2 0 3 3\n'
                             '  frame 0 0 3 3 #010203\n')
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(os.path.join(folder, 'composite.bmp'), 'rb') as f:
            bmp = f.read()
        self.assertEqual(bmp[:2], b'BM')
        self.assertEqual(struct.unpack_from('<iiHH', bmp, 18), (5, 3, 1, 24))
        expected = [
            [0x102030, 0x102030, 0x010203, 0x010203, 0x010203],
            [0x102030, 0xabcdef, 0x010203, 0xff00ff, 0x010203],
            [0x102030, 0x102030, 0x010203, 0x010203, 0x010203],
        ]
        self.assertEqual([[pixel(bmp, x, y) for x in range(5)] for y in range(3)], expected)
        with open(os.path.join(folder, 'regions.xml'), encoding='utf-8') as f:
            regions = f.read()
        self.assertIn('<region name="a" x="0" y="0" w="2" h="3" tx="0" ty="0"/>', regions)
        self.assertIn('<region name="b" x="2" y="0" w="3" h="3"/>', regions)

    def test_refuses_descriptions_that_would_make_a_broken_skin(self):
        cases = {
            'overlapping images': 'canvas 8 8 #000000\nimage a 0 0 4 4\nimage b 3 3 4 4\n',
            'image outside the canvas': 'canvas 8 8 #000000\nimage a 6 0 4 4\n',
            'drawing outside the image': 'canvas 8 8 #000000\nimage a 0 0 4 4\n  rect 2 2 3 1 #ffffff\n',
            'a name twice': 'canvas 8 8 #000000\nimage a 0 0 2 2\nimage a 4 4 2 2\n',
            'a short colour': 'canvas 8 8 #000000\nimage a 0 0 2 2\n  fill #fff\n',
            'drawing before an image': 'canvas 8 8 #000000\n  fill #ffffff\n',
            'no canvas': 'image a 0 0 2 2\n',
            'an unknown command': 'canvas 8 8 #000000\nimage a 0 0 2 2\n  circle 1 1 1 #ffffff\n',
        }
        for what, description in cases.items():
            with self.subTest(what):
                result, _ = run(self, description)
                self.assertNotEqual(result.returncode, 0)


if __name__ == '__main__':
    unittest.main()
