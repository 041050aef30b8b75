#!/usr/bin/env python3
"""Checks scripts/format: --check passes formatted files, names unformatted ones, and
formatting makes them pass."""
import os
import shutil
import subprocess
import tempfile
import unittest

TOP = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', '..'))
FORMAT = os.path.join(TOP, 'scripts', 'format')

FORMATTED = '''#include "a/b.h"

int Twice(int value)
{
    return value * 2;
}
'''
UNFORMATTED = FORMATTED.replace('    return value * 2;', '  return value*2;')


class FormatTest(unittest.TestCase):
    def folder(self, files):
        root = tempfile.mkdtemp(prefix='kiv-format-')
        self.addCleanup(shutil.rmtree, root, True)
        for name, text in files.items():
            os.makedirs(os.path.dirname(os.path.join(root, name)), exist_ok=True)
            with open(os.path.join(root, name), 'w', encoding='utf-8') as out:
                out.write(text)
        return root

    def run_format(self, *arguments):
        return subprocess.run([FORMAT, *arguments], capture_output=True, text=True)

    def test_check_passes_formatted_files(self):
        root = self.folder({'x/A.cpp': FORMATTED, 'x/sub/B.h': FORMATTED})
        result = self.run_format('--check', os.path.join(root, 'x'))
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_check_names_an_unformatted_file_and_formatting_mends_it(self):
        root = self.folder({'x/A.cpp': FORMATTED, 'x/sub/B.h': UNFORMATTED, 'x/build/C.cpp': UNFORMATTED})
        result = self.run_format('--check', os.path.join(root, 'x'))
        self.assertEqual(result.returncode, 1)
        self.assertIn('sub/B.h', result.stdout)
        self.assertNotIn('A.cpp', result.stdout)
        self.assertNotIn('C.cpp', result.stdout)  # build folders are not sources
        self.assertEqual(self.run_format(os.path.join(root, 'x')).returncode, 0)
        with open(os.path.join(root, 'x', 'sub', 'B.h'), encoding='utf-8') as text:
            self.assertEqual(text.read(), FORMATTED)
        self.assertEqual(self.run_format('--check', os.path.join(root, 'x')).returncode, 0)

    def test_a_missing_folder_is_an_error(self):
        result = self.run_format('--check', os.path.join(self.folder({}), 'none'))
        self.assertEqual(result.returncode, 2)


if __name__ == '__main__':
    unittest.main()
