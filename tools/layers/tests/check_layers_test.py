#!/usr/bin/env python3
"""Checks the layer checker on small trees: what it lets through, what it reports and how."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

TOOL = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'check_layers.py')

TABLE = '''
lib/base:
lib/mid: lib/base
lib/top: lib/mid
app: lib/top
exception lib/base -> app: being moved
lib/base/tests: helpers
helpers:
'''


def run(test, files, table=TABLE):
    root = tempfile.mkdtemp(prefix='kiv-layers-')
    test.addCleanup(shutil.rmtree, root, True)
    for path, text in files.items():
        os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
        with open(os.path.join(root, path), 'w', encoding='utf-8') as out:
            out.write(text)
    with open(os.path.join(root, 'layers.txt'), 'w', encoding='utf-8') as out:
        out.write(table)
    return subprocess.run([sys.executable, TOOL, '--root', root, '--table', os.path.join(root, 'layers.txt')],
                          capture_output=True, text=True)


def include(path):
    return f'#include "{path}"\n'


class LayerCheckTest(unittest.TestCase):
    def test_allowed_includes_pass(self):
        cases = [
            ('down one layer', 'lib/mid/M.cpp', 'lib/base/B.h'),
            ('down through the layers', 'app/A.cpp', 'lib/base/B.h'),
            ('inside a unit and its sub-folders', 'lib/mid/sub/S.cpp', 'lib/mid/M.h'),
            ('a test folder to its unit', 'lib/top/tests/T.cpp', 'lib/top/T.h'),
            ('a test folder below its unit', 'lib/top/tests/T.cpp', 'lib/base/B.h'),
            ('a test folder to its helpers', 'lib/base/tests/T.cpp', 'helpers/H.h'),
            ('a listed exception', 'lib/base/B.cpp', 'app/A.h'),
            ('system headers are not checked', 'lib/base/B.cpp', 'windows.h'),
        ]
        for label, source, target in cases:
            with self.subTest(label):
                result = run(self, {source: '// x\n' + include(target)})
                self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_forbidden_includes_name_file_line_and_edge(self):
        cases = [
            ('a back edge', 'lib/base/B.cpp', 'lib/mid/M.h', 'lib/base/B.cpp:2: lib/base -> lib/mid'),
            ('a product file to tests', 'lib/top/T.cpp', 'lib/top/tests/Fake.h', 'lib/top/T.cpp:2: lib/top -> lib/top/tests'),
            ('an exception reaches no further', 'lib/base/B.cpp', 'lib/top/T.h', 'lib/base/B.cpp:2: lib/base -> lib/top'),
            ('a test folder to helpers it did not list', 'lib/mid/tests/T.cpp', 'helpers/H.h',
             'lib/mid/tests/T.cpp:2: lib/mid/tests -> helpers'),
            ('a folder outside the table', 'lib/other/O.cpp', 'lib/base/B.h', 'lib/other/O.cpp: its folder has no line'),
        ]
        for label, source, target, expected in cases:
            with self.subTest(label):
                result = run(self, {source: '// x\n' + include(target)})
                self.assertEqual(result.returncode, 1, result.stdout)
                self.assertIn(expected, result.stdout)

    def test_a_table_with_a_cycle_or_an_unknown_unit_is_refused(self):
        result = run(self, {'lib/base/B.cpp': ''}, 'a: b\nb: a\n')
        self.assertEqual(result.returncode, 2)
        self.assertIn('cycle', result.stderr)
        result = run(self, {'lib/base/B.cpp': ''}, 'a: missing\n')
        self.assertEqual(result.returncode, 2)


if __name__ == '__main__':
    unittest.main()
