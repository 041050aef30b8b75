#!/usr/bin/env python3
"""Runs scripts/format --check over the folders a list names (one a line, # comments).

usage: check_folders.py TOP LIST
"""
import os
import subprocess
import sys


def main():
    top, listing = sys.argv[1], sys.argv[2]
    folders = []
    with open(listing, encoding="utf-8") as lines:
        for line in lines:
            line = line.split("#", 1)[0].strip()
            if line:
                folders.append(line)
    if not folders:
        print(f"no folder is listed in {listing} yet")
        return 0
    return subprocess.run([os.path.join(top, "scripts", "format"), "--check", *folders], cwd=top).returncode


if __name__ == "__main__":
    sys.exit(main())
