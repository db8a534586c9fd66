#!/usr/bin/env python3
"""Sets a line of text from the font as a glyph grid: one text line per pixel
row, '#' ink and '.' background (what resources/make_label_bitmap.py reads).

Usage: set_text.py FONT TEXT LEFT RIGHT OUT.txt
  LEFT, RIGHT  blank columns before and after the text
"""
import sys

from font_file import FontError, read_font, set_text


def main():
    if len(sys.argv) != 6 or not sys.argv[3].isdigit() or not sys.argv[4].isdigit():
        sys.exit(__doc__)
    font_path, text, left, right, out_path = sys.argv[1:]
    try:
        rows = set_text(read_font(font_path), text, int(left), int(right))
    except FontError as error:
        sys.exit(str(error))
    with open(out_path, "w", encoding="ascii", newline="\n") as out:
        out.write("".join(row + "\n" for row in rows))


if __name__ == "__main__":
    main()
