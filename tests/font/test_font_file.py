"""The font file and its reader: the project's font parses with every glyph
the same height and the characters text in pictures promises, and the reader
refuses each kind of malformed file. Run with font/ on PYTHONPATH and
RT_FONT_FILE naming font/glyphs.txt."""
import os
import unittest

from font_file import FontError, parse_font, read_font, set_text

HEADER = "height 3\nbaseline 2\nspacing 1\n"
SMALL = HEADER + "glyph A\n.#.\n#.#\n...\nglyph i\n#\n#\n.\nglyph space\n..\n..\n..\n"

PROMISED = {
    "capitals": "ABCDEFGHIJKLMNOPQRSTUVWXYZ",
    "lower case": "abcdefghijklmnopqrstuvwxyz",
    "digits": "0123456789",
    "punctuation": " .,:;-=+*/_()[]<>!?'%&|^#",
}

MALFORMED = [
    ("a row of another width", HEADER + "glyph A\n.#.\n#.\n...\n", "row of 2 columns in a glyph 3 wide"),
    ("too few rows", HEADER + "glyph A\n.#.\n#.#\nglyph B\n#\n#\n#\n", "glyph 'A' has 2 rows, the font 3"),
    ("too few rows at the end", HEADER + "glyph A\n.#.\n", "glyph 'A' has 1 rows, the font 3"),
    ("too many rows", HEADER + "glyph A\n#\n#\n#\n#\n", "glyph 'A' has more than 3 rows"),
    ("a stray character", HEADER + "glyph A\n.#.\n#x#\n...\n", "a pixel row holds '#' and '.' alone"),
    ("the same glyph twice", SMALL + "glyph A\n#\n#\n#\n", "glyph 'A' again"),
    ("two characters named", HEADER + "glyph AB\n#\n#\n#\n", "does not name one printable ASCII character"),
    ("no header", "glyph A\n#\n#\n#\n", "come before the first glyph"),
    ("a header of no number", "height x\n", "expected 'height N'"),
    ("the baseline below the glyphs", "height 3\nbaseline 4\nspacing 1\nglyph A\n#\n#\n#\n", "baseline lies outside"),
]


class ProjectFont(unittest.TestCase):
    def setUp(self):
        self.font = read_font(os.environ["RT_FONT_FILE"])

    def test_every_glyph_is_the_font_height_and_one_width(self):
        for character, rows in self.font.glyphs.items():
            with self.subTest(character=character):
                self.assertEqual(len(rows), self.font.height)
                self.assertEqual({len(row) for row in rows}, {len(rows[0])})

    def test_has_every_promised_character(self):
        for name, characters in PROMISED.items():
            with self.subTest(name):
                self.assertEqual(set(characters) - set(self.font.glyphs), set())

    def test_capitals_and_digits_stand_on_the_baseline(self):
        for character in PROMISED["capitals"].replace("Q", "") + PROMISED["digits"]:
            with self.subTest(character=character):
                rows = self.font.glyphs[character]
                self.assertIn("#", rows[self.font.baseline - 1])
                self.assertNotIn("#", "".join(rows[self.font.baseline:]))


class Reader(unittest.TestCase):
    def test_refuses_malformed_files(self):
        for name, text, message in MALFORMED:
            with self.subTest(name):
                with self.assertRaises(FontError) as caught:
                    parse_font(text, "test.txt")
                self.assertIn(message, str(caught.exception))

    def test_reads_comments_header_and_glyphs(self):
        font = parse_font("; a comment\n" + SMALL)
        self.assertEqual((font.height, font.baseline, font.spacing), (3, 2, 1))
        self.assertEqual(font.glyphs["A"], [".#.", "#.#", "..."])
        self.assertEqual(font.glyphs[" "], ["..", "..", ".."])

    def test_sets_text_with_margins(self):
        font = parse_font(SMALL)
        cases = [
            ("iA", 0, 0, ["#..#.", "#.#.#", "....."]),
            ("i i", 2, 1, ["..#....#.", "..#....#.", "........."]),
        ]
        for text, left, right, rows in cases:
            with self.subTest(text=text):
                self.assertEqual(set_text(font, text, left, right), rows)
        with self.assertRaisesRegex(FontError, "no glyph for 'B'"):
            set_text(font, "AB")


if __name__ == "__main__":
    unittest.main()
