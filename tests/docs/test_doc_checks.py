"""The documentation checks catch the faults they are there for: each is run
on small pages written here, with and without the fault. Needs the built
previewer in TRIANGLE_RENDER."""
import os
import sys
import tempfile
import textwrap
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import doc_checks  # noqa: E402

TOOL = os.environ.get("TRIANGLE_RENDER", "")
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

GOOD_PRESET = """\
[frame]
n = 1
[triangle]
x1 = -1; y1 = -1; x2 = 1; y2 = -1; x3 = -1; y3 = 1
"""


@unittest.skipUnless(os.access(TOOL, os.X_OK), "set TRIANGLE_RENDER to the built triangle-render")
class DocChecksTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)

    def page(self, name, text):
        path = os.path.join(self.dir.name, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            f.write(textwrap.dedent(text))
        return path

    # snippets

    def test_good_snippet_passes(self):
        page = self.page("good.md", "# Page\n\n```preset\n" + GOOD_PRESET + "```\n")
        faults, _ = doc_checks.check_snippets(TOOL, [page])
        self.assertEqual(faults, [])

    def test_compile_error_names_the_documents_line(self):
        # Line 5 of the page is the triangle section's first line.
        page = self.page("bad.md", "# Page\n\n```preset\n[triangle]\nx1 = (1 +\n```\n")
        faults, _ = doc_checks.check_snippets(TOOL, [page])
        self.assertEqual(len(faults), 1)
        self.assertIn("bad.md:3: the preset snippet does not render (exit 1)", faults[0])
        self.assertIn("bad.md:5:10: [triangle] expected an expression", faults[0])

    def test_malformed_preset_is_a_fault(self):
        page = self.page("nohead.md", "```preset\nn = 1\n```\n")
        faults, _ = doc_checks.check_snippets(TOOL, [page])
        self.assertEqual(len(faults), 1)
        self.assertIn("nohead.md:1:", faults[0])
        self.assertIn("before the first section header", faults[0])

    def test_snippet_that_draws_nothing_is_a_fault(self):
        page = self.page("empty.md", "```preset\n[frame]\nn = 0\n```\n")
        faults, _ = doc_checks.check_snippets(TOOL, [page])
        self.assertEqual(len(faults), 1, faults)
        self.assertIn("empty.md:1: the preset snippet compiles but draws nothing in 3 frames", faults[0])

    def test_other_blocks_are_not_rendered_and_no_snippet_at_all_is_a_fault(self):
        page = self.page("none.md", "```text\n[triangle]\nx1 = (\n```\n")
        faults, _ = doc_checks.check_snippets(TOOL, [page])
        self.assertEqual(len(faults), 1)
        self.assertIn("no ```preset block", faults[0])

    def test_unclosed_fence_is_a_fault(self):
        page = self.page("open.md", "text\n\n```preset\n" + GOOD_PRESET)
        faults, _ = doc_checks.check_snippets(TOOL, [page])
        self.assertTrue(any("open.md:3: fence ``` is never closed" in f for f in faults), faults)

    # console

    def test_console_session_matches_and_mismatches(self):
        good = self.page("good.md", """\
            ```console
            $ triangle-render --frames 0 x.preset
            triangle-render: --frames: '0' is not a whole number from 1 to 1000000
            $ echo $?
            2
            ```
            """)
        faults, _ = doc_checks.check_console(TOOL, ROOT, [good])
        self.assertEqual(faults, [])
        bad = self.page("bad.md", """\
            ```console
            $ triangle-render --frames 0 x.preset
            triangle-render: --frames: '0' is not a whole number from 1 to 100
            $ echo $?
            0
            ```
            """)
        faults, _ = doc_checks.check_console(TOOL, ROOT, [bad])
        self.assertEqual(len(faults), 2, faults)
        self.assertIn("bad.md:2: $ triangle-render --frames 0 x.preset", faults[0])
        self.assertIn("bad.md:4: $ echo $?", faults[1])

    def test_console_sessions_see_the_examples(self):
        page = self.page("ex.md", """\
            ```console
            $ triangle-render --quiet --frames 2 --size 32x18 --out last.bgra examples/spinning-ring.preset
            $ wc -c < last.bgra
            2304
            ```
            """)
        faults, _ = doc_checks.check_console(TOOL, ROOT, [page])
        self.assertEqual(faults, [])

    # options

    def manual(self, rows):
        table = "| option | meaning |\n|---|---|\n" + "".join("| `%s` | x |\n" % row for row in rows)
        return self.page("manual.md", table)

    def help_rows(self):
        """Every option line of --help, as the manual's table would write it."""
        help_lines = doc_checks.run([TOOL, "--help"]).stdout.split("\n")
        return sorted({synopsis for synopsis, _ in doc_checks.synopses(help_lines, doc_checks.HELP_OPTION).values()})

    def test_options_agree(self):
        rows = self.help_rows()
        self.assertIn("--size WxH", rows)
        faults, _ = doc_checks.check_options(TOOL, self.manual(rows), [])
        self.assertEqual(faults, [])

    def test_missing_extra_and_different_options_are_named(self):
        rows = self.help_rows()
        rows.remove("--sheet-count N")
        rows.remove("--size WxH")
        rows += ["--size W H", "--loop"]
        faults, _ = doc_checks.check_options(TOOL, self.manual(rows), [])
        text = "\n".join(faults)
        self.assertIn("does not list these options of --help: --sheet-count", text)
        self.assertIn("lists options that --help does not: --loop", text)
        self.assertIn('--size is written "--size W H"; --help writes "--size WxH"', text)

    def test_commands_in_pages_use_only_real_options(self):
        rows = self.help_rows()
        page = self.page("use.md", "Run\n\n    triangle-render --size 64x48 --sheet-size 4 a.preset\n")
        faults, _ = doc_checks.check_options(TOOL, self.manual(rows), [page])
        self.assertEqual(len(faults), 1, faults)
        self.assertIn("use.md:3: --sheet-size is not an option of triangle-render", faults[0])

    # links

    def test_links(self):
        self.page("docs/pic.png", "")
        self.page("docs/other.md", "# Other page\n\n## The `n` variable\n")
        page = self.page("docs/page.md", """\
            # Page
            ![picture](pic.png) [other](other.md#the-n-variable) [here](#page)
            [site](https://example.invalid/x)
            ```text
            [not a link](nowhere.md)
            ```
            ![gone](missing.png) [bad anchor](other.md#no-such-heading)
            """)
        faults, _ = doc_checks.check_links([page])
        self.assertEqual(len(faults), 2, faults)
        self.assertIn("page.md:7: missing.png does not exist", faults[0])
        self.assertIn("page.md:7: other.md has no heading for #no-such-heading", faults[1])

    # examples

    def test_gallery_must_show_every_preset_and_picture(self):
        root = self.dir.name
        self.page("examples/a.preset", GOOD_PRESET)
        self.page("examples/b.preset", GOOD_PRESET)
        self.page("docs/examples/a.png", "")
        self.page("docs/examples/b.png", "")
        gallery = self.page("docs/examples.md", "## a.preset\n![a](examples/a.png)\n")
        faults, _ = doc_checks.check_examples(root, gallery)
        self.assertEqual(len(faults), 2, faults)
        self.assertIn("does not show examples/b.preset", faults[0])
        self.assertIn("does not show docs/examples/b.png", faults[1])


if __name__ == "__main__":
    unittest.main()
