#!/usr/bin/python3
"""Checks that each source file defines what its own header declares: a
member function defined out of its class, `Name::member(...)` at the start of
a line, must sit in the .cpp of the same name as a header that declares the
class (render/span_table.h declares SpanTable, render/span_table.cpp defines
its members).

Classes declared in a source file, or in no header of the project, are the
file's own business and not looked at. Headers and sources are matched by
file name without the suffix, whatever their folder, so a test's fixture in
tests/windows/ may live in panel_fixture.h and panel_fixture.cpp. A source
named after the header with one of the suffixes in VARIANTS is the build's
other version of that file (video_output_unavailable.cpp stands in for
video_output.cpp where FFmpeg is missing) and may define the same members.

Usage: check_definitions.py ROOT
Exit status 0 when every definition sits beside its declaration, 1 otherwise.
"""
import os
import re
import sys

from check_layers import source_files

CLASS = re.compile(r"^\s*(?:class|struct)\s+(?:\[\[[^\]]*\]\]\s*)?(\w+)(?:\s+final)?\s*(?::[^;{]*)?\{", re.MULTILINE)
# A definition starts in the first column: nothing in this project indents
# namespace members, and a statement at the start of a line is never one.
MEMBER = re.compile(r"^(?![ \t#/])[^;{}()=\n]*?\b(\w+)::(~?\w+|operator\s*\S+?)\s*\(", re.MULTILINE)


# Suffixes of a source that replaces its namesake in some builds.
VARIANTS = ("_none", "_unavailable")


def stem(path):
    return os.path.splitext(os.path.basename(path))[0]


def header_stem(source):
    """The header stem a source file answers to: its own, less a variant suffix."""
    name = stem(source)
    for suffix in VARIANTS:
        if name.endswith(suffix):
            return name[: -len(suffix)]
    return name


def declaring_headers(files):
    """{class name: set of header stems that declare it}."""
    headers = {}
    for path, text in files:
        if path.endswith((".h", ".hpp")):
            for name in CLASS.findall(text):
                headers.setdefault(name, set()).add(stem(path))
    return headers


def check(files):
    headers = declaring_headers(files)
    problems = []
    for path, text in files:
        if not path.endswith((".cpp", ".cc")):
            continue
        own = header_stem(path)
        for match in MEMBER.finditer(text):
            name = match.group(1)
            if name not in headers or own in headers[name]:
                continue
            line = text.count("\n", 0, match.start()) + 1
            where = ", ".join(sorted(s + ".h" for s in headers[name]))
            problems.append(f"{path}:{line}: defines {name}::{match.group(2)}, declared in {where}")
    return problems


def read_tree(root):
    files = []
    for path, full in source_files(root):
        with open(full, encoding="utf-8", errors="replace") as f:
            files.append((path, f.read()))
    return files


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    problems = check(read_tree(sys.argv[1]))
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} definition(s) away from the header of their class")
        return 1
    print("every member is defined in the source file named after its class's header")
    return 0


if __name__ == "__main__":
    sys.exit(main())
