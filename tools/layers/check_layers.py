#!/usr/bin/env python3
"""Checks that every #include "a/b/c.h" of the tree follows the layer table (layers.txt).

Each source folder belongs to the longest folder named in the table (its unit). A unit may
include its own files, the units its table line names and, through them, whatever those may
include. A unit's tests folder ("<unit>/tests") may include what the unit may, the unit itself
and what its own line names. Edges listed as exceptions are allowed one by one and give no
further reach. Prints file:line: edge for every include that crosses a forbidden edge and
exits 1; exits 2 when the table itself is wrong.

usage: check_layers.py [--root DIR] [--table FILE]
"""

import argparse
import os
import re
import sys

SOURCE_ENDINGS = (".h", ".hpp", ".c", ".cpp", ".rc", ".idl")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def read_table(path):
    """{unit: [units]}, {(from, to): reason}"""
    allowed, exceptions = {}, {}
    with open(path, encoding="utf-8") as table:
        for number, line in enumerate(table, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            if line.startswith("exception "):
                edge, _, reason = line[len("exception "):].partition(":")
                parts = edge.split("->")
                if len(parts) != 2:
                    raise ValueError(f"{path}:{number}: exception needs 'from -> to: reason'")
                exceptions[(parts[0].strip(), parts[1].strip())] = reason.strip()
                continue
            unit, colon, below = line.partition(":")
            if not colon:
                raise ValueError(f"{path}:{number}: expected 'unit: units below'")
            unit = unit.strip()
            if unit in allowed:
                raise ValueError(f"{path}:{number}: {unit} listed twice")
            allowed[unit] = below.split()
    # Every unit has a tests folder unit, with no line of its own unless it needs more.
    for unit in list(allowed):
        if not unit.endswith("/tests"):
            allowed.setdefault(unit + "/tests", [])
    for unit, below in allowed.items():
        for other in below:
            if other not in allowed:
                raise ValueError(f"{path}: {unit} names {other}, which has no line")
    for (source, target), _ in exceptions.items():
        if source not in allowed or target not in allowed:
            raise ValueError(f"{path}: the exception {source} -> {target} names a unit with no line")
    return allowed, exceptions


def reach(allowed):
    """Every unit's transitive reach; a cycle in the table is an error."""
    done, active = {}, set()

    def visit(unit):
        if unit in done:
            return done[unit]
        if unit in active:
            raise ValueError(f"the table has a cycle through {unit}")
        active.add(unit)
        result = set()
        for other in allowed.get(unit, []):
            result.add(other)
            result |= visit(other)
        active.discard(unit)
        done[unit] = result
        return result

    for unit in allowed:
        visit(unit)
    return done


def unit_of(folder, units):
    """The longest table unit that holds the folder, or None."""
    best = None
    for unit in units:
        if (folder == unit or folder.startswith(unit + "/")) and (best is None or len(unit) > len(best)):
            best = unit
    return best


def check(root, table):
    allowed, exceptions = read_table(table)
    reaches = reach(allowed)
    units = list(allowed)
    top_folders = {unit.split("/")[0] for unit in units}
    faults = []
    for top in sorted(top_folders):
        for folder, children, files in os.walk(os.path.join(root, top)):
            children[:] = sorted(c for c in children if c != "build")
            relative_folder = os.path.relpath(folder, root).replace(os.sep, "/")
            for name in sorted(files):
                if not name.endswith(SOURCE_ENDINGS):
                    continue
                source = f"{relative_folder}/{name}"
                unit = unit_of(relative_folder, units)
                if unit is None:
                    faults.append(f"{source}: its folder has no line in the layer table")
                    continue
                with open(os.path.join(folder, name), encoding="utf-8", errors="replace") as text:
                    for number, line in enumerate(text, 1):
                        match = INCLUDE.match(line)
                        if not match or match.group(1).split("/")[0] not in top_folders:
                            continue
                        target_folder = os.path.dirname(match.group(1))
                        target = unit_of(target_folder, units)
                        if target is None:
                            faults.append(f"{source}:{number}: {match.group(1)} lies in no unit of the table")
                            continue
                        if not permitted(unit, target, allowed, reaches, exceptions):
                            faults.append(f"{source}:{number}: {unit} -> {target} is not an allowed edge")
    return faults


def permitted(unit, target, allowed, reaches, exceptions):
    if target == unit or target in reaches[unit] or (unit, target) in exceptions:
        return True
    if unit.endswith("/tests"):
        owner = unit[: -len("/tests")]
        if owner in allowed and (target == owner or target in reaches[owner] or (owner, target) in exceptions):
            return True
    return False


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=os.path.normpath(os.path.join(here, "..", "..")))
    parser.add_argument("--table", default=os.path.join(here, "layers.txt"))
    arguments = parser.parse_args()
    try:
        faults = check(arguments.root, arguments.table)
    except ValueError as error:
        print(f"layer table: {error}", file=sys.stderr)
        return 2
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) cross the layers; see {arguments.table}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
