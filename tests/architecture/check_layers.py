#!/usr/bin/python3
"""Checks every #include "..." in the project against the layer table of
docs/architecture.md.

The table (under the heading "Layers") has one row per folder, or per single
header that stands apart from its folder, and lists what its files may
include besides their own folder:

    | folder | library | may include |
    |---|---|---|
    | `render/` | `rt_render` | nothing |
    | `effect/` | `rt_effect` | `host/`, `render/` |

A source folder of the project that the table does not list is an error too,
so a new folder cannot slip past the layers. System and library headers
(#include <...>) are not looked at.

Usage: check_layers.py ROOT [ARCHITECTURE_MD]
Exit status 0 when every include is allowed, 1 otherwise.
"""
import os
import re
import sys

SOURCE_SUFFIXES = (".h", ".hpp", ".c", ".cc", ".cpp", ".inc")
# Folders that hold no C or C++ sources of the project's own.
NOT_SOURCE = {"build", "docs", "examples", "scripts", "cmake", ".git", "out"}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)
CELL = re.compile(r"`([^`]+)`")


def read_layers(markdown):
    """{unit: set of units it may include}; a unit is "folder/" or "folder/file.h"."""
    layers = {}
    in_section = False
    for line in markdown.splitlines():
        if line.startswith("#"):
            in_section = line.lstrip("#").strip().lower() == "layers"
            continue
        if not in_section or not line.startswith("|"):
            continue
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if len(cells) < 3 or set(cells[0]) <= set("-: "):
            continue
        units = CELL.findall(cells[0])
        if not units or not units[0].endswith(("/", ".h")):
            continue  # the header row
        layers[units[0]] = set(CELL.findall(cells[2]))
    return layers


def unit_of(path, layers):
    """The table row a repository path belongs to: its own row when it has one,
    else its top folder's (nested folders such as audio/ffmpeg/ belong to their
    top folder unless listed)."""
    if path in layers:
        return path
    parts = path.split("/")
    for depth in range(len(parts) - 1, 0, -1):
        folder = "/".join(parts[:depth]) + "/"
        if folder in layers:
            return folder
    return None


def source_files(root):
    for top in sorted(os.listdir(root)):
        if top in NOT_SOURCE or top.startswith(".") or not os.path.isdir(os.path.join(root, top)):
            continue
        for folder, dirs, files in os.walk(os.path.join(root, top)):
            dirs[:] = sorted(d for d in dirs if not d.startswith("."))
            for name in sorted(files):
                if name.endswith(SOURCE_SUFFIXES):
                    full = os.path.join(folder, name)
                    yield os.path.relpath(full, root).replace(os.sep, "/"), full


def check(root, layers):
    problems = []
    for path, full in source_files(root):
        unit = unit_of(path, layers)
        if unit is None:
            problems.append(f"{path}: its folder is not in the layer table")
            continue
        with open(full, encoding="utf-8", errors="replace") as f:
            text = f.read()
        for number, line in enumerate(text.splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            included = match.group(1)
            if "/" not in included:
                continue  # beside the including file: same folder
            target = unit_of(included, layers)
            if target is None:
                if not os.path.exists(os.path.join(root, included)):
                    continue  # a path relative to a test folder's own include directory
                problems.append(f"{path}:{number}: includes {included}, whose folder is not in the layer table")
                continue
            if target == unit or target.startswith(unit) and unit.endswith("/"):
                continue  # its own folder, or a header of its folder listed apart
            if not any(target == a or target.startswith(a) and a.endswith("/") for a in layers[unit]):
                allowed = ", ".join(sorted(layers[unit])) or "nothing"
                problems.append(f"{path}:{number}: includes {included}, but {unit} may include only {allowed}")
    return problems


def main():
    if len(sys.argv) not in (2, 3):
        print(__doc__)
        return 2
    root = sys.argv[1]
    table = sys.argv[2] if len(sys.argv) == 3 else os.path.join(root, "docs", "architecture.md")
    with open(table, encoding="utf-8") as f:
        layers = read_layers(f.read())
    if not layers:
        print(f"no layer table found in {table}")
        return 1
    problems = check(root, layers)
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} include(s) against the layers in {table}")
        return 1
    print(f"includes follow the layers of {len(layers)} folders")
    return 0


if __name__ == "__main__":
    sys.exit(main())
