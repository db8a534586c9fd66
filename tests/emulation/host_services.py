"""The HostServices table handed to the module: the stand-in host's own table,
with each function slot replaced by a small thunk that records the call (its
arguments and its result) and forwards it to the stand-in's function. The
test so learns every context, variable and code handle the module asks for,
and in what order it frees them."""
import struct

from unicorn import UC_PROT_READ

from win32emu import x86_code
from win32emu.faults import EmulationFault

SLOT_COUNT = 10
# slot: (name, argument count); all cdecl
FUNCTION_SLOTS = {3: ("createContext", 0), 4: ("freeContext", 1), 6: ("registerVariable", 2),
                  7: ("compileCode", 2), 8: ("executeCode", 2), 9: ("freeCode", 1)}
RETURNS_VALUE = {"createContext", "registerVariable", "compileCode"}
TEXT_ARGUMENT = {"registerVariable": 1, "compileCode": 1}


class HostCall:
    def __init__(self, name, args, caller, text):
        self.name, self.args, self.caller, self.text = name, args, caller, text
        self.result = None

    def __repr__(self):
        shown = [f"{a:#x}" for a in self.args]
        if self.text is not None:
            shown[TEXT_ARGUMENT[self.name]] = repr(self.text)
        result = "" if self.result is None else f" -> {self.result:#x}"
        return f"{self.name}({', '.join(shown)}){result}"


class RecordingServices:
    def __init__(self, process, real_table):
        self.process = process
        machine = process.machine
        self.calls = []
        self._open = []
        real = struct.unpack(f"<{SLOT_COUNT}I", machine.read(real_table, 4 * SLOT_COUNT))
        self.blend_word_address = real[2]
        cells = machine.host_block(4 * SLOT_COUNT, "stand-in host functions")
        machine.write(cells, struct.pack(f"<{SLOT_COUNT}I", *real))
        slots = list(real)
        for slot, (name, arg_count) in FUNCTION_SLOTS.items():
            if real[slot] == 0:
                raise EmulationFault(f"the stand-in host's table has no {name} (slot {slot})")
            code, result_offset = x86_code.forwarding_thunk(arg_count, cells + 4 * slot)
            slots[slot] = process.stubs.place_code(f"host {name}", code, {
                0: self._on_entry(name, arg_count), result_offset: self._on_result})
        self.address = machine.host_block(4 * SLOT_COUNT, "HostServices table", prot=UC_PROT_READ)
        machine.write(self.address, struct.pack(f"<{SLOT_COUNT}I", *slots))

    def _on_entry(self, name, arg_count):
        def record(machine):
            args = [machine.stack_arg(k) for k in range(arg_count)]
            text = None
            if name in TEXT_ARGUMENT:
                text = machine.cstring(args[TEXT_ARGUMENT[name]]).decode("latin-1")
            call = HostCall(name, args, self.process.owner_of(machine.return_address()), text)
            self.calls.append(call)
            self._open.append(call)
        return record

    def _on_result(self, machine):
        call = self._open.pop()
        if call.name in RETURNS_VALUE:
            call.result = machine.reg("eax")

    def since(self, mark):
        """The calls made after self.calls had mark entries."""
        return self.calls[mark:]
