"""The layer check itself: each kind of include it exists to refuse is
refused, and allowed ones pass. Each case is a small source tree of its own."""
import os
import subprocess
import sys
import tempfile
import unittest

from source_tree_cases import check_cases

HERE = os.path.dirname(os.path.abspath(__file__))
CHECK = os.path.join(HERE, "check_layers.py")

TABLE = """# Architecture

## Layers

| folder | library | may include |
|---|---|---|
| `host/` | `rt_host` | nothing |
| `render/` | `rt_render` | nothing |
| `effect/` | `rt_effect` | `host/`, `render/` |
| `standin/` | `standin` | `host/` |
| `standin/frame_block.h` | header | nothing |
| `audio/` | `rt_audio` | `standin/frame_block.h` |
| `tests/` | tests | `host/`, `render/`, `effect/`, `standin/` |

## Something else

| `render/` | | `effect/` |
"""

BASE = {
    "host/services.h": "#pragma once\n",
    "render/fill.h": "#pragma once\n#include <cstdint>\n",
    "render/fill.cpp": '#include "render/fill.h"\n#include "fill.h"\n',
    "effect/effect.cpp": '#include "host/services.h"\n#include "render/fill.h"\n',
    "standin/frame_block.h": "#pragma once\n",
    "standin/engine.cpp": '#include "host/services.h"\n#include "standin/frame_block.h"\n',
    "tests/effect/effect_test.cpp": '#include "effect/effect.h"\n#include "support/fake.h"\n',
}

# name, files added to the base tree, whether the check must pass, words its report must hold
CASES = [
    ("the base tree", {}, True, ["follow the layers"]),
    ("renderer includes the effect", {"render/span.cpp": '#include "effect/effect.h"\n'}, False,
     ["render/span.cpp:1", "effect/effect.h", "render/ may include only nothing"]),
    ("host includes the renderer", {"host/table.cpp": '\n#include "render/fill.h"\n'}, False, ["host/table.cpp:2"]),
    ("a test includes the previewer", {"tests/render/x_test.cpp": '#include "previewer/app.h"\n',
                                       "previewer/app.h": ""}, False, ["previewer/"]),
    ("a folder missing from the table", {"video/encoder.cpp": "int x;\n"}, False, ["video/encoder.cpp", "not in"]),
    ("a lone header may be included alone", {"audio/bands.cpp": '#include "standin/frame_block.h"\n'}, True, []),
    ("but not the rest of its folder", {"audio/bands.cpp": '#include "standin/engine.h"\n'}, False,
     ["audio/bands.cpp:1"]),
    ("the lone header includes its folder", {"standin/frame_block.h": '#include "standin/engine.h"\n'}, False,
     ["standin/frame_block.h:1"]),
    ("includes in comments' look-alikes still count", {"render/a.cpp": '  #  include "effect/effect.h"\n'}, False,
     ["render/a.cpp:1"]),
    ("system headers are not looked at", {"render/b.cpp": "#include <effect/effect.h>\n"}, True, []),
]


class LayerCheckTest(unittest.TestCase):
    def test_cases(self):
        check_cases(self, CHECK, {"docs/architecture.md": TABLE, **BASE}, CASES)

    def test_no_table_is_an_error(self):
        with tempfile.TemporaryDirectory() as root:
            os.makedirs(os.path.join(root, "docs"))
            with open(os.path.join(root, "docs", "architecture.md"), "w") as f:
                f.write("# Architecture\n\nNo table here.\n")
            done = subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True)
            self.assertEqual(done.returncode, 1)
            self.assertIn("no layer table", done.stdout)


if __name__ == "__main__":
    unittest.main()
