"""What the product relies on from Windows and the processor, checked on the
emulator with small pieces of hand-assembled code: the thread block at fs:0,
SSE2 enabled and reported, VirtualProtect through its stub (stdcall, four
arguments), and code that rewrites its own call sites taking effect at once."""
import os
import struct
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from unicorn import UC_PROT_READ  # noqa: E402

from win32emu.faults import EmulationFault  # noqa: E402
from win32emu.machine import TEB_BASE  # noqa: E402
from win32emu.process import Process  # noqa: E402

RWX = 7


def place(process, code, name="test code"):
    address = process.machine.host_block(len(code), name, prot=RWX)
    process.machine.write(address, code)
    return address


class ThreadSetup(unittest.TestCase):
    def test_fs_points_at_the_thread_block_and_its_tls_array(self):
        process = Process()
        # mov eax, fs:[0x18]; ret
        self.assertEqual(process.cdecl(place(process, b"\x64\xA1\x18\x00\x00\x00\xC3"), name="fs:18"), TEB_BASE)
        # mov eax, fs:[0x2c]; ret
        self.assertEqual(process.cdecl(place(process, b"\x64\xA1\x2C\x00\x00\x00\xC3"), name="fs:2c"),
                         process.tls_array)

    def test_sse2_runs_and_cpuid_reports_it(self):
        process = Process()
        code = bytes([0x53,                    # push ebx (cpuid clobbers it)
                      0x66, 0x0F, 0xDC, 0xC1,  # paddusb xmm0, xmm1
                      0xB8, 1, 0, 0, 0,        # mov eax, 1
                      0x0F, 0xA2,              # cpuid
                      0x89, 0xD0,              # mov eax, edx
                      0x5B, 0xC3])             # pop ebx; ret
        features = process.cdecl(place(process, code), name="cpuid")
        self.assertTrue(features & (1 << 25), "SSE not reported")
        self.assertTrue(features & (1 << 26), "SSE2 not reported")


class CodePatching(unittest.TestCase):
    def test_virtual_protect_makes_a_read_only_page_writable_and_reports_the_old_protection(self):
        process = Process()
        machine = process.machine
        target = machine.host_block(4, "read-only page", prot=UC_PROT_READ)
        old = machine.host_block(4, "old protection")
        slot = machine.host_block(4, "import slot")
        machine.put_u32(slot, process.stubs.address_of("kernel32.dll", "VirtualProtect"))
        code = (b"\x68" + struct.pack("<I", old) + b"\x6A\x40\x6A\x04"   # push old; push 0x40; push 4
                + b"\x68" + struct.pack("<I", target)                     # push target
                + b"\xFF\x15" + struct.pack("<I", slot)                   # call [slot]
                + b"\xC7\x05" + struct.pack("<II", target, 0x1234)        # mov dword [target], 0x1234
                + b"\xC3")
        process.cdecl(place(process, code), name="unprotect and write")
        self.assertEqual(machine.u32(target), 0x1234)
        self.assertEqual(machine.u32(old), 0x02)  # PAGE_READONLY

    def test_virtual_query_reports_protection_and_free_ranges(self):
        process = Process()
        machine = process.machine
        page = machine.host_block(0x1000, "data page")
        info = machine.host_block(28, "MEMORY_BASIC_INFORMATION")
        slot = machine.host_block(4, "import slot")
        machine.put_u32(slot, process.stubs.address_of("kernel32.dll", "VirtualQuery"))

        def query(address):
            code = (b"\x6A\x1C\x68" + struct.pack("<I", info) + b"\x68" + struct.pack("<I", address)
                    + b"\xFF\x15" + struct.pack("<I", slot) + b"\xC3")  # VirtualQuery(address, info, 28)
            self.assertEqual(process.cdecl(place(process, code), name="VirtualQuery"), 28)
            return struct.unpack("<7I", machine.read(info, 28))

        base, _, _, _, state, protect, kind = query(page + 0x10)
        self.assertEqual((base, state, protect, kind), (page, 0x1000, 0x04, 0x20000))  # committed, RW, private
        base, _, _, size, state, protect, _ = query(page + 0x1000)  # the gap after every host block
        self.assertEqual((base, state, protect), (page + 0x1000, 0x10000, 0x01))  # free, no access
        self.assertGreaterEqual(size, 0x1000)

    def test_writing_a_read_only_page_without_unprotecting_faults(self):
        process = Process()
        target = process.machine.host_block(4, "read-only page", prot=UC_PROT_READ)
        code = b"\xC7\x05" + struct.pack("<II", target, 0x1234) + b"\xC3"
        with self.assertRaises(EmulationFault) as caught:
            process.cdecl(place(process, code), name="write")
        self.assertIn("write to read-only memory", str(caught.exception))
        self.assertIn("read-only page", str(caught.exception))

    def test_a_rewritten_call_displacement_takes_effect_on_the_next_pass(self):
        process = Process()
        code = bytearray()
        code += b"\x56\xB9\x02\x00\x00\x00\x31\xF6"  # push esi; mov ecx, 2; xor esi, esi
        loop = len(code)
        site = len(code)
        code += b"\xE8\x00\x00\x00\x00"              # call first (displacement filled below)
        code += b"\x01\xC6"                          # add esi, eax
        patch = len(code)
        code += b"\xC7\x05\x00\x00\x00\x00\x00\x00\x00\x00"  # mov dword [site+1], second - (site+5)
        code += b"\x49"                              # dec ecx
        code += b"\x75" + bytes([(loop - (len(code) + 2)) & 0xFF])  # jnz loop
        code += b"\x89\xF0\x5E\xC3"                  # mov eax, esi; pop esi; ret
        first = len(code)
        code += b"\xB8\x01\x00\x00\x00\xC3"          # first: mov eax, 1; ret
        second = len(code)
        code += b"\xB8\x02\x00\x00\x00\xC3"          # second: mov eax, 2; ret
        base = process.machine.host_block(len(code), "self-patching code", prot=RWX)
        code[site + 1:site + 5] = struct.pack("<i", first - (site + 5))
        code[patch + 2:patch + 10] = struct.pack("<Ii", base + site + 1, second - (site + 5))
        process.machine.write(base, bytes(code))
        # One pass through each target: 1 + 2. A stale translation gives 1 + 1.
        self.assertEqual(process.cdecl(base, name="self-patching loop"), 3)


if __name__ == "__main__":
    unittest.main()
