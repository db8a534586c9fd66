"""The definition check itself: a member defined away from its class's header
is refused, the ordinary layouts pass. Each case is a small source tree."""
import os
import unittest

from source_tree_cases import check_cases

HERE = os.path.dirname(os.path.abspath(__file__))
CHECK = os.path.join(HERE, "check_definitions.py")

BASE = {
    "effect/triangle_effect.h": "#pragma once\nnamespace effect {\nclass TriangleEffect final : public EffectBase {\n"
                                "public:\n    int renderFrame();\n};\n}  // namespace effect\n",
    "effect/triangle_effect.cpp": '#include "effect/triangle_effect.h"\nnamespace effect {\n'
                                  "int TriangleEffect::renderFrame() {\n    return std::max(1, 2);\n}\n"
                                  "}  // namespace effect\n",
    "effect/frame_driver.h": "#pragma once\nstruct FrameDriver {\n    static int run();\n};\n",
    "effect/frame_driver.cpp": "int FrameDriver::run() { return 0; }\n",
}

# name, files added to or replacing the base tree, whether the check must pass, words its report must hold
CASES = [
    ("the base tree", {}, True, ["every member"]),
    ("a member defined in another source", {"effect/preset_block.cpp": "void TriangleEffect::loadConfig(int n) {}\n"},
     False, ["effect/preset_block.cpp:1", "TriangleEffect::loadConfig", "triangle_effect.h"]),
    ("a return type before the class", {"effect/preset_block.cpp": "\nint32_t EFFECT_CALL TriangleEffect::saveConfig(\n"
                                                                   "    unsigned char* buffer) {}\n"},
     False, ["effect/preset_block.cpp:2", "TriangleEffect::saveConfig"]),
    ("a constructor away from home", {"effect/other.cpp": "FrameDriver::FrameDriver() {}\n"}, False,
     ["FrameDriver::FrameDriver", "frame_driver.h"]),
    ("a destructor away from home", {"effect/other.cpp": "FrameDriver::~FrameDriver() {}\n"}, False,
     ["FrameDriver::~FrameDriver"]),
    ("a qualified namespace in front", {"effect/other.cpp": "int effect::TriangleEffect::renderFrame() { return 1; }\n"},
     False, ["TriangleEffect::renderFrame"]),
    ("a class of the source's own", {"effect/other.cpp": "struct Local {\n    void f();\n};\nvoid Local::f() {}\n"},
     True, []),
    ("calls inside a body are not definitions", {"effect/other.cpp": "void g() {\n    FrameDriver::run();\n}\n"},
     True, []),
    ("a build's stand-in version of the source", {"effect/frame_driver_none.cpp": "int FrameDriver::run() { return 1; }\n"},
     True, []),
    ("but not any source that shares a prefix", {"effect/frame_driver_extra.cpp": "int FrameDriver::run() { return 1; }\n"},
     False, ["effect/frame_driver_extra.cpp:1"]),
    ("the header's stem in another folder", {"tests/support/frame_driver.cpp": "int FrameDriver::run() { return 2; }\n"},
     True, []),
]


class DefinitionCheckTest(unittest.TestCase):
    def test_cases(self):
        check_cases(self, CHECK, BASE, CASES)


if __name__ == "__main__":
    unittest.main()
