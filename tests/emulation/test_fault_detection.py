"""The emulator exists to turn faults of the 32-bit module into failures that
name what went wrong. Each test here breaks the module, its surroundings or
its behaviour in one way and checks that the run fails, and says where.

Needs the win32 build's render_triangle.dll and standin_host.dll: RT_EMU_MODULE
and RT_EMU_STANDIN (set by CTest), or build/win32/bin by default."""
import os
import struct
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import host_call_checks  # noqa: E402
import scenario  # noqa: E402
from host_services import HostCall  # noqa: E402
from product_host import CheckFailed, EmulatedHost  # noqa: E402
from win32emu.faults import EmulationFault  # noqa: E402
from win32emu.heap import Heap  # noqa: E402
from win32emu.machine import Machine  # noqa: E402
from win32emu.process import Process  # noqa: E402

_BIN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "build", "win32", "bin")
MODULE = os.environ.get("RT_EMU_MODULE", os.path.join(_BIN, "render_triangle.dll"))
STANDIN = os.environ.get("RT_EMU_STANDIN", os.path.join(_BIN, "standin_host.dll"))


def ready_host():
    host = EmulatedHost(MODULE, STANDIN)
    host.retr_func()
    host.set_ext_info()
    return host


def patch_slot(host, effect, slot, code):
    """Replaces the start of a slot's function: a module whose method was
    built with another signature or another convention."""
    host.process.machine.write(effect.slot_address(slot), code)


class BrokenModule(unittest.TestCase):
    def test_an_import_nobody_provides_fails_naming_it(self):
        process = Process()
        process.stubs.withdraw("msvcrt.dll", "malloc")
        with self.assertRaises(EmulationFault) as caught:
            process.load(MODULE)
        self.assertIn("msvcrt.dll!malloc, which the emulator does not provide", str(caught.exception))
        self.assertIn("render_triangle.dll", str(caught.exception))

    def test_a_slot_popping_too_few_argument_bytes_fails(self):
        host = ready_host()
        effect = host.create("effect")
        patch_slot(host, effect, "renderFrame", b"\x31\xC0\xC2\x14\x00")  # xor eax, eax; ret 20
        with self.assertRaises(EmulationFault) as caught:
            host.render(effect, False, 0)
        message = str(caught.exception)
        self.assertIn("renderFrame (vtable slot 1)", message)
        self.assertIn("popped 20 bytes", message)
        self.assertIn("expects 24", message)

    def test_a_slot_built_as_cdecl_fails(self):
        host = ready_host()
        effect = host.create("effect")
        patch_slot(host, effect, "saveConfig", b"\x31\xC0\xC3")  # xor eax, eax; ret
        with self.assertRaises(EmulationFault) as caught:
            effect.save(host.scratch)
        self.assertIn("saveConfig (vtable slot 5)", str(caught.exception))
        self.assertIn("popped 0 bytes", str(caught.exception))

    def test_a_clobbered_callee_saved_register_fails(self):
        host = ready_host()
        effect = host.create("effect")
        patch_slot(host, effect, "getDescription", b"\x31\xF6\x31\xC0\xC3")  # xor esi, esi; xor eax, eax; ret
        with self.assertRaises(EmulationFault) as caught:
            effect.description()
        self.assertIn("did not preserve esi", str(caught.exception))

    def test_a_jump_into_nothing_fails_naming_the_target(self):
        host = ready_host()
        effect = host.create("effect")
        patch_slot(host, effect, "openEditor", b"\xB8\x00\x00\xAB\x00\xFF\xE0")  # mov eax, 0xAB0000; jmp eax
        with self.assertRaises(EmulationFault) as caught:
            effect.open_editor(host.module.base, 0)
        self.assertIn("jump to unmapped memory", str(caught.exception))
        self.assertIn("0x00ab0000", str(caught.exception))

    def test_touching_the_second_frame_buffer_fails_naming_it(self):
        host = ready_host()
        effect = host.create("effect")
        # mov eax, [esp+16] (altFrameBuffer); mov eax, [eax]; xor eax, eax; ret 24
        patch_slot(host, effect, "renderFrame", b"\x8B\x44\x24\x10\x8B\x00\x31\xC0\xC2\x18\x00")
        with self.assertRaises(EmulationFault) as caught:
            host.render(effect, False, 0)
        self.assertIn("altFrameBuffer+0x0, which is never mapped", str(caught.exception))

    def test_writing_to_its_own_code_without_unprotecting_it_fails(self):
        host = ready_host()
        effect = host.create("effect")
        target = effect.slot_address("getDescription")
        # mov [target], eax; ret -- code patching without VirtualProtect
        patch_slot(host, effect, "loadConfig", b"\xA3" + struct.pack("<I", target) + b"\xC2\x08\x00")
        with self.assertRaises(EmulationFault) as caught:
            effect.load(host.scratch, 0)
        self.assertIn("write to read-only memory", str(caught.exception))
        self.assertIn("render_triangle.dll .text", str(caught.exception))


class BrokenHost(unittest.TestCase):
    def test_drawing_past_a_too_small_frame_buffer_fails_naming_the_buffer(self):
        host = ready_host()
        effect = host.create("effect")
        host.load(effect, scenario.make_block(scenario.LATE_EFFECT))
        # One row more than the buffer holds: the full-frame triangle reaches it.
        with self.assertRaises(EmulationFault) as caught:
            effect.render(host.vis_data, 0, host.frame, host.alt_frame, scenario.WIDTH, scenario.HEIGHT + 1)
        self.assertIn("past the end of frame buffer", str(caught.exception))
        self.assertIn("renderFrame (vtable slot 1)", str(caught.exception))


class BrokenBehaviour(unittest.TestCase):
    """The checks of host traffic reject what a faulty module would do."""

    class _Effect:
        context, handles, sections = 0x100, (0x11, 0, 0x33, 0x44), ["a", "", "b", "c"]

    def test_freeing_code_handles_out_of_order_is_reported(self):
        calls = [HostCall("freeCode", [0x33], "render_triangle.dll", None),
                 HostCall("freeCode", [0x11], "render_triangle.dll", None),
                 HostCall("freeCode", [0x44], "render_triangle.dll", None),
                 HostCall("freeContext", [0x100], "render_triangle.dll", None)]
        problems = host_call_checks.check_destruction(self._Effect(), calls)
        self.assertEqual(len(problems), 1)
        self.assertIn("freeCode(0x11), freeCode(0x33), freeCode(0x44), freeContext(0x100)", problems[0])

    def test_the_same_calls_in_order_pass(self):
        calls = [HostCall("freeCode", [h], "render_triangle.dll", None) for h in (0x11, 0x33, 0x44)]
        calls.append(HostCall("freeContext", [0x100], "render_triangle.dll", None))
        self.assertEqual(host_call_checks.check_destruction(self._Effect(), calls), [])

    def test_a_missing_triangle_run_is_reported(self):
        def execute(handle):
            return HostCall("executeCode", [handle, 0x500], "render_triangle.dll", None)
        calls = [execute(0x33), execute(0x44)]  # no frame section (null), beat, one triangle of two
        problems = host_call_checks.check_render(self._Effect(), calls, True, 2, 0x500)
        self.assertEqual(problems, ["expected executeCode(0x44, 0x500), but the module made no further host call"])

    def test_a_render_that_skips_the_frame_section_fails_the_real_module_run(self):
        host = ready_host()
        effect = host.create("effect")
        host.load(effect, scenario.make_block(scenario.PRESETS[1]))
        with self.assertRaises(CheckFailed) as caught:
            host.render(effect, False, 4)  # the preset asks for 5
        self.assertIn("unexpected host call executeCode", str(caught.exception))


class HeapChecks(unittest.TestCase):
    def setUp(self):
        self.machine = Machine()
        self.heap = Heap(self.machine, 0x01000000, 0x100000)

    def test_writing_past_a_block_is_found_when_it_is_freed(self):
        block = self.heap.allocate(10, "module.dll")
        self.machine.write(block + 10, b"\x00")
        with self.assertRaises(EmulationFault) as caught:
            self.heap.release(block, "module.dll")
        self.assertIn("written past its end", str(caught.exception))

    def test_a_second_free_is_named(self):
        block = self.heap.allocate(10, "module.dll")
        self.heap.release(block, "module.dll")
        with self.assertRaises(EmulationFault) as caught:
            self.heap.release(block, "module.dll")
        self.assertIn("a second time", str(caught.exception))

    def test_freeing_what_malloc_never_returned_is_named(self):
        block = self.heap.allocate(10, "module.dll")
        with self.assertRaises(EmulationFault) as caught:
            self.heap.release(block + 4, "module.dll")
        self.assertIn("which malloc never returned", str(caught.exception))

    def test_realloc_keeps_the_contents(self):
        block = self.heap.allocate(4, "module.dll")
        self.machine.write(block, b"abcd")
        moved = self.heap.resize(block, 8, "module.dll")
        self.assertEqual(self.machine.read(moved, 4), b"abcd")
        self.assertIsNone(self.heap.block_at(block))


class ScenarioPort(unittest.TestCase):
    def test_frame_hash_is_64_bit_fnv_1a(self):
        self.assertEqual(scenario.frame_hash(b""), 0xCBF29CE484222325)
        self.assertEqual(scenario.frame_hash(b"a"), 0xAF63DC4C8601EC8C)

    def test_preset_block_has_four_terminated_sections(self):
        self.assertEqual(scenario.make_block(scenario.Preset("a", "", "bc", "d")), b"a\0\0bc\0d\0")

    def test_hash_line_format(self):
        self.assertEqual(scenario.hash_line(7, 0xAB), "frame 07 00000000000000ab")


if __name__ == "__main__":
    unittest.main()
