"""Stand-ins for the functions and variables a module imports from Windows'
own DLLs. Each function import gets a few bytes of code of its own in an
execute-only area; a hook on its first byte runs the Python implementation,
then the code returns the way the real function would (popping its arguments
for stdcall). A function nobody implemented still gets an address, whose hook
stops the run naming the function, so a module only fails for what it really
calls."""
import struct

from unicorn import UC_PROT_EXEC

from . import x86_code
from .faults import EmulationFault
from .machine import PROT_RW

CODE_BASE, CODE_SIZE = 0x00020000, 0x10000
DATA_BASE, DATA_SIZE = 0x00030000, 0x10000
SLOT = 16  # bytes of code per stub: every stub starts on its own slot


class Call:
    """What a stub sees of the call it handles."""

    def __init__(self, process, name):
        self.process = process
        self.machine = process.machine
        self.name = name
        self.return_address = self.machine.return_address()
        self.caller = process.owner_of(self.return_address)

    def arg(self, index):
        return self.machine.stack_arg(index)

    def signed_arg(self, index):
        value = self.arg(index)
        return value - (1 << 32) if value & 0x80000000 else value

    def double_arg(self, byte_offset=0):
        return struct.unpack("<d", self.machine.read(self.machine.reg("esp") + 4 + byte_offset, 8))[0]


class Function:
    """An import implemented in Python: action(call) returns eax (int or None)
    or, with returns_double, the double left in st(0)."""

    def __init__(self, action, pop_bytes=0, returns_double=False):
        self.action, self.pop_bytes, self.returns_double = action, pop_bytes, returns_double


class Variable:
    """A data import: the slot holds the variable's address."""

    def __init__(self, content):
        self.content = content


class NativeCode:
    """An import implemented as x86 code (it must call back into the module)."""

    def __init__(self, code):
        self.code = code


def cdecl(action):
    return Function(action)


def stdcall(arg_count, action):
    return Function(action, pop_bytes=4 * arg_count)


def cdecl_double(action):
    return Function(action, returns_double=True)


class StubArea:
    def __init__(self, process):
        self.process = process
        self.machine = process.machine
        self.machine.map(CODE_BASE, CODE_SIZE, UC_PROT_EXEC, "import stubs")
        self.machine.map(DATA_BASE, DATA_SIZE, PROT_RW, "import stub data")
        self.machine.watch_code(CODE_BASE, CODE_SIZE)
        self.machine.add_describer(self._describe)
        self._next_code = CODE_BASE
        self._next_data = DATA_BASE
        self._names = {}      # stub start -> name
        self._bound = {}      # (dll, name) -> address
        self.implementations = {}  # dll -> {name: Function | Variable | NativeCode}
        self.calls = []       # (dll!name, caller) of every Python stub call, in order
        self.return_halt = self.place_code("return to the test", x86_code.HALT)

    def provide(self, dll, table):
        self.implementations.setdefault(dll.lower(), {}).update(table)

    def withdraw(self, dll, name):
        """Forget an implementation (tests of the emulator use this to show that
        a module calling it then fails)."""
        self.implementations.get(dll.lower(), {}).pop(name, None)

    def address_of(self, dll, name):
        """The address an import slot for dll!name receives."""
        key = (dll.lower(), name)
        if key not in self._bound:
            self._bound[key] = self._bind(dll.lower(), name)
        return self._bound[key]

    def place_code(self, name, code, hooks=None):
        """Puts code in the stub area; hooks maps offsets to actions(machine)."""
        if len(code) > CODE_BASE + CODE_SIZE - self._next_code:
            raise EmulationFault("import stub area full")
        address = self._next_code
        self._next_code += (len(code) + SLOT - 1) // SLOT * SLOT
        self.machine.write(address, code)
        self._names[address] = name
        for offset, action in (hooks or {}).items():
            self.machine.add_hook_point(address + offset, action)
        return address

    def place_data(self, name, content):
        size = (len(content) + 15) // 16 * 16
        if size > DATA_BASE + DATA_SIZE - self._next_data:
            raise EmulationFault("import stub data area full")
        address = self._next_data
        self._next_data += size
        self.machine.write(address, content)
        self._names[address] = name
        return address

    def _bind(self, dll, name):
        full = f"{dll}!{name}"
        stub = self.implementations.get(dll, {}).get(name)
        if stub is None:
            return self.place_code(f"{full} (not emulated)", x86_code.ret(), {0: self._missing(full)})
        if isinstance(stub, Variable):
            return self.place_data(full, stub.content)
        if isinstance(stub, NativeCode):
            return self.place_code(full, stub.code)
        if stub.returns_double:
            value_slot = self.place_data(f"{full} result", bytes(8))
            code = x86_code.load_double_and_return(value_slot)
            return self.place_code(full, code, {0: self._double_entry(full, stub, value_slot)})
        return self.place_code(full, x86_code.ret(stub.pop_bytes), {0: self._entry(full, stub)})

    def _entry(self, full, stub):
        def run(machine):
            call = Call(self.process, full)
            self.calls.append((full, call.caller))
            result = stub.action(call)
            if result is not None:
                machine.set_reg("eax", int(result))
        return run

    def _double_entry(self, full, stub, value_slot):
        def run(machine):
            call = Call(self.process, full)
            self.calls.append((full, call.caller))
            machine.write(value_slot, struct.pack("<d", float(stub.action(call))))
        return run

    def _missing(self, full):
        def run(machine):
            caller = machine.describe(machine.return_address())
            raise EmulationFault(f"call of {full}, which the emulator does not provide (called from {caller})")
        return run

    def _describe(self, address):
        if not (CODE_BASE <= address < CODE_BASE + CODE_SIZE or DATA_BASE <= address < DATA_BASE + DATA_SIZE):
            return None
        starts = [start for start in self._names if start <= address]
        if not starts:
            return None
        start = max(starts)
        return f"stub {self._names[start]}" + (f"+{address - start:#x}" if address != start else "")
