#!/usr/bin/python3
"""The panel's label bitmaps belong to the module's resources, which must
not change by a byte when the way they are made changes: each generated
label_<word>.bmp is checked against the SHA-256 it has always had.

Usage: check_label_digests.py BITMAP_DIR
"""
import hashlib
import os
import sys

DIGESTS = {
    "triangle": "158697eb9589b359ed2093d1a8a38465c15edca970020ec26db55eb5afc539cf",
    "frame": "7cf1a377b86c7b76f7138dedc5ef061a82c6c4eea1664b2bf79703f16bf0d52e",
    "init": "a6b4c9737737c2df161cfa3d7dc135a5739f52b7a818b23432d0ac7da1508330",
    "beat": "0a337647aeca9f80d77322f5b41158779e56427c2bc7e780ed700dfab1bd446d",
}


def faults(bitmap_dir):
    found = []
    for word, expected in DIGESTS.items():
        path = os.path.join(bitmap_dir, f"label_{word}.bmp")
        try:
            with open(path, "rb") as bitmap:
                digest = hashlib.sha256(bitmap.read()).hexdigest()
        except OSError as error:
            found.append(f"{path}: {error.strerror}")
            continue
        if digest != expected:
            found.append(f"{path}: SHA-256 {digest}, the module's resources hold {expected}")
    return found


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    problems = faults(sys.argv[1])
    for problem in problems:
        print(problem)
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
