"""A host for the emulated product module: loads the stand-in host DLL and the
module into one emulated process, hands the module a (recording) services
table and drives effects the way the visualization host does, checking each
call's host traffic and each destruction's clean-up as it goes."""
import struct

import host_call_checks
from effect_object import FREE_MEMORY, Effect
from host_services import RecordingServices
from scenario import HEIGHT, SCRATCH_SIZE, WIDTH
from win32emu.process import Process

# Handles the host passes that the module must neither read nor write: they
# point at nothing, so any use faults and names them.
HOST_HANDLE = 0x00AB0000
PARENT_WINDOW = 0x00AB1000
ALT_FRAME_BUFFER = 0x00AC0000
RELOCATED_BASE = 0x30000000


class CheckFailed(Exception):
    pass


class EmulatedHost:
    def __init__(self, module_path, standin_path, relocate=False):
        self.process = Process()
        self.standin = self.process.load(standin_path)
        self.module = self.process.load(module_path, force_base=RELOCATED_BASE if relocate else None)
        self.services = RecordingServices(self.process, self._standin_call("standin_services"))
        machine = self.process.machine
        self.frame = machine.host_block(4 * WIDTH * HEIGHT, "frame buffer")
        self.vis_data = machine.host_block(64, "VisData")
        # Never to be touched: nothing is mapped at these.
        self.alt_frame = ALT_FRAME_BUFFER
        machine.name_unmapped(HOST_HANDLE, 0x1000, "the host handle")
        machine.name_unmapped(PARENT_WINDOW, 0x1000, "the parent window handle")
        machine.name_unmapped(ALT_FRAME_BUFFER, 4 * WIDTH * HEIGHT, "altFrameBuffer")
        self.scratch = machine.host_block(SCRATCH_SIZE, "preset block")
        self.output = []
        self.factory = None

    # --- the module's exports ----------------------------------------------------

    def export(self, name):
        address = self.module.export(name)
        if not address:
            raise CheckFailed(f"{self.module.name} does not export {name}")
        return address

    def retr_func(self):
        """_ZENTH_KIRO_RetrFunc: returns (result, identifier text, factory address)."""
        out = self.process.machine.host_block(8, "RetrFunc outputs")
        self.process.machine.write(out, b"\xAA" * 8)
        result = self.process.cdecl(self.export("_ZENTH_KIRO_RetrFunc"), HOST_HANDLE, out, out + 4,
                                    name="_ZENTH_KIRO_RetrFunc")
        identifier, factory = struct.unpack("<II", self.process.machine.read(out, 8))
        self.factory = factory
        return result, self.process.machine.cstring(identifier).decode("latin-1"), factory

    def set_ext_info(self):
        self.process.cdecl(self.export("_ZENTH_KIRO_SetExtInfo"), HOST_HANDLE, self.services.address,
                           name="_ZENTH_KIRO_SetExtInfo")

    def describe_into(self, buffer):
        return self.process.cdecl(self.factory, buffer, name="factory (with a description buffer)")

    # --- the stand-in host's own exports ---------------------------------------------

    def _standin_call(self, name, *args):
        address = self.standin.export(name)
        if not address:
            raise CheckFailed(f"{self.standin.name} does not export {name}")
        return self.process.cdecl(address, *args, name=name)

    def set_blend_word(self, word):
        self._standin_call("standin_set_blend_mode_word", word)

    def live_host_objects(self):
        return self._standin_call("standin_live_contexts"), self._standin_call("standin_live_codes")

    # --- effects ------------------------------------------------------------------------

    def create(self, label):
        mark = len(self.services.calls)
        this = self.process.cdecl(self.factory, 0, name="factory")
        if self.services.since(mark):
            raise CheckFailed(f"creating {label} called the host: {self.services.since(mark)}")
        return Effect(self.process, self.module, this, label) if this else None

    def load(self, effect, block):
        if len(block) > SCRATCH_SIZE:
            raise ValueError("preset block too long for the scratch buffer")
        self.process.machine.write(self.scratch, block)
        effect.load(self.scratch, len(block))
        if block.count(b"\0") >= 4:
            effect.sections = [text.decode("latin-1") for text in block.split(b"\0")[:4]]

    def save(self, effect):
        self.process.machine.write(self.scratch, b"\xAA" * SCRATCH_SIZE)
        length = effect.save(self.scratch)
        if not 0 <= length <= SCRATCH_SIZE:
            raise CheckFailed(f"{effect.label} saveConfig returned {length}")
        return self.process.machine.read(self.scratch, length)

    def render(self, effect, is_beat, triangles):
        mark = len(self.services.calls)
        result = effect.render(self.vis_data, 1 if is_beat else 0, self.frame, self.alt_frame, WIDTH, HEIGHT)
        if result != 0:
            raise CheckFailed(f"{effect.label} renderFrame returned {result}, not 0")
        problems = host_call_checks.check_render(effect, self.services.since(mark), is_beat, triangles,
                                                 self.vis_data)
        if problems:
            raise CheckFailed(f"{effect.label} frame {effect.renders}: " + "; ".join(problems))

    def destroy(self, effect, flags=FREE_MEMORY):
        mark = len(self.services.calls)
        result = effect.destroy(flags)
        if result != effect.this:
            raise CheckFailed(f"{effect.label} destroy returned {result:#x}, not the object {effect.this:#x}")
        problems = host_call_checks.check_destruction(effect, self.services.since(mark))
        freed = self.process.heap.block_at(effect.this) is None
        if flags & FREE_MEMORY and not freed:
            problems.append("destroy(1) left the object's memory allocated")
        if not flags & FREE_MEMORY and freed:
            problems.append("destroy(0) freed the object's memory")
        if problems:
            raise CheckFailed(f"{effect.label}: " + "; ".join(problems))

    def print(self, text):
        print(text, flush=True)

    def fail(self, text):
        raise CheckFailed(text)

    # --- frame buffer ---------------------------------------------------------------------

    def pixels(self):
        return self.process.machine.read(self.frame, 4 * WIDTH * HEIGHT)

    def fill_pixels(self, word):
        self.process.machine.write(self.frame, struct.pack("<I", word) * (WIDTH * HEIGHT))

    def module_blocks(self):
        return {block.address for block in self.process.heap.live_blocks(self.module.name)}

