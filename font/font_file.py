"""Reads the font file (font/glyphs.txt) and sets text from it.

A Font has `height` rows per glyph, `baseline` rows above the baseline,
`spacing` blank columns between glyphs, and `glyphs`: character -> rows,
each row a string of '#' and '.'.
"""
from dataclasses import dataclass, field

HEADER_KEYS = ("height", "baseline", "spacing")


class FontError(ValueError):
    pass


@dataclass
class Font:
    height: int
    baseline: int
    spacing: int
    glyphs: dict = field(default_factory=dict)


def parse_font(text, name="font"):
    header = {}
    glyphs = {}
    current = None  # (character, line number of its "glyph" line)

    def fail(number, message):
        raise FontError(f"{name}:{number}: {message}")

    def finish():
        if current is None:
            return
        character, start = current
        rows = glyphs[character]
        if len(rows) != header["height"]:
            fail(start, f"glyph {character!r} has {len(rows)} rows, the font {header['height']}")

    for number, line in enumerate(text.splitlines(), 1):
        line = line.rstrip("\r")
        if line.startswith(";") or line == "":
            continue
        if line.startswith("glyph "):
            if set(HEADER_KEYS) - set(header):
                fail(number, "height, baseline and spacing come before the first glyph")
            finish()
            character = line[len("glyph "):]
            character = " " if character == "space" else character
            if len(character) != 1 or not " " <= character <= "~":
                fail(number, f"{line!r} does not name one printable ASCII character")
            if character in glyphs:
                fail(number, f"glyph {character!r} again")
            glyphs[character] = []
            current = (character, number)
            continue
        if current is None:
            key, _, value = line.partition(" ")
            if key not in HEADER_KEYS or not value.isdigit():
                fail(number, f"expected 'height N', 'baseline N' or 'spacing N', not {line!r}")
            header[key] = int(value)
            continue
        if set(line) - {"#", "."}:
            fail(number, "a pixel row holds '#' and '.' alone")
        rows = glyphs[current[0]]
        if rows and len(line) != len(rows[0]):
            fail(number, f"row of {len(line)} columns in a glyph {len(rows[0])} wide")
        if len(rows) == header["height"]:
            fail(number, f"glyph {current[0]!r} has more than {header['height']} rows")
        rows.append(line)
    if not glyphs:
        fail(0, "no glyphs")
    finish()
    if not 0 < header["baseline"] <= header["height"]:
        fail(0, "the baseline lies outside the glyphs")
    return Font(header["height"], header["baseline"], header["spacing"], glyphs)


def read_font(path):
    with open(path, encoding="ascii") as source:
        return parse_font(source.read(), path)


def set_text(font, text, left=0, right=0):
    """The pixel rows of `text`, with `left` and `right` blank columns around it."""
    missing = sorted(set(text) - set(font.glyphs))
    if missing:
        raise FontError(f"the font has no glyph for {''.join(missing)!r}")
    rows = []
    for y in range(font.height):
        gap = "." * font.spacing
        rows.append("." * left + gap.join(font.glyphs[c][y] for c in text) + "." * right)
    return rows
