"""The emulated processor and its address space: one 32-bit x86 thread set up
the way Windows sets up a thread (flat segments, a thread block at fs:0, SSE
enabled), plus the bookkeeping that turns a bad access into a message that
names the address."""
import struct

from unicorn import (UC_ARCH_X86, UC_HOOK_CODE, UC_HOOK_INSN_INVALID, UC_HOOK_INTR, UC_HOOK_MEM_INVALID,
                     UC_MEM_FETCH_PROT, UC_MEM_FETCH_UNMAPPED, UC_MEM_READ_PROT, UC_MEM_READ_UNMAPPED,
                     UC_MEM_WRITE_PROT, UC_MEM_WRITE_UNMAPPED, UC_MODE_32, UC_PROT_READ,
                     UC_PROT_WRITE, Uc, UcError)
from unicorn import x86_const as x86

from .faults import EmulationFault

PAGE = 0x1000
PROT_RW = UC_PROT_READ | UC_PROT_WRITE

# Fixed places of what Windows would give the process. Images go at their own
# preferred bases, which lie far above all of these.
GDT_BASE = 0x00010000
TEB_BASE = 0x00011000
PEB_BASE = 0x00012000
STACK_BASE = 0x00100000
STACK_SIZE = 0x00100000
HOST_BLOCKS_BASE = 0x00400000
HOST_BLOCKS_END = 0x01000000

# The values a fresh thread's callee-saved registers get before each call, so
# that a callee which forgets to restore one is seen.
CALLEE_SAVED = {"ebx": 0x0B0B0B0B, "esi": 0x05105105, "edi": 0x0D10D10D, "ebp": 0x0EB0EB0E}

_ACCESS_NAMES = {
    UC_MEM_READ_UNMAPPED: "read of unmapped memory",
    UC_MEM_WRITE_UNMAPPED: "write to unmapped memory",
    UC_MEM_FETCH_UNMAPPED: "jump to unmapped memory",
    UC_MEM_READ_PROT: "read of unreadable memory",
    UC_MEM_WRITE_PROT: "write to read-only memory",
    UC_MEM_FETCH_PROT: "jump to non-executable memory",
}
_CPU_EXCEPTIONS = {0: "divide error", 1: "debug trap", 3: "breakpoint (int3)", 4: "overflow", 5: "bound range",
                   6: "invalid opcode", 7: "FPU/SSE not available", 12: "stack fault", 13: "general protection fault",
                   14: "page fault", 16: "x87 floating-point exception", 17: "alignment check",
                   19: "SSE floating-point exception"}

_REGS = {"eax": x86.UC_X86_REG_EAX, "ebx": x86.UC_X86_REG_EBX, "ecx": x86.UC_X86_REG_ECX,
         "edx": x86.UC_X86_REG_EDX, "esi": x86.UC_X86_REG_ESI, "edi": x86.UC_X86_REG_EDI,
         "ebp": x86.UC_X86_REG_EBP, "esp": x86.UC_X86_REG_ESP, "eip": x86.UC_X86_REG_EIP,
         "eflags": x86.UC_X86_REG_EFLAGS}


def _gdt_entry(base, limit, access, flags):
    return struct.pack("<Q", (limit & 0xFFFF) | (base & 0xFFFFFF) << 16 | (access & 0xFF) << 40
                       | ((limit >> 16) & 0xF) << 48 | (flags & 0xF) << 52 | ((base >> 24) & 0xFF) << 56)


class Machine:
    """One emulated 32-bit process with a single thread."""

    def __init__(self):
        self.uc = Uc(UC_ARCH_X86, UC_MODE_32)
        self._regions = []      # (start, end, name), for messages
        self._unmapped_names = []  # (start, end, name) of ranges that must stay untouched
        self._describers = []   # functions address -> name or None (heap blocks, stubs)
        self._hook_points = {}  # address -> function(machine), run before that instruction
        self._fault = None
        self._next_host_block = HOST_BLOCKS_BASE
        self.last_error = 0
        self._setup_thread()
        self.uc.hook_add(UC_HOOK_MEM_INVALID, self._on_bad_access)
        self.uc.hook_add(UC_HOOK_INTR, self._on_cpu_exception)
        self.uc.hook_add(UC_HOOK_INSN_INVALID, self._on_invalid_instruction)

    # --- address space -------------------------------------------------

    def map(self, address, size, prot, name):
        self.uc.mem_map(address, size, prot)
        self._regions.append((address, address + size, name))

    def name_unmapped(self, address, size, name):
        """Names a range that stays unmapped (handles and pointers the code must
        never use), so that a fault there says what the pointer was."""
        self._unmapped_names.append((address, address + size, name))

    def is_free(self, address, size):
        end = address + size
        return all(end <= start or address >= stop for start, stop, _ in self._mapped())

    def _mapped(self):
        return [(start, stop + 1, perms) for start, stop, perms in self.uc.mem_regions()]

    def add_describer(self, describe):
        self._describers.append(describe)

    def describe(self, address):
        """Where an address lies, as a person debugging the fault needs it."""
        for describe in self._describers:
            text = describe(address)
            if text:
                return f"{address:#010x} ({text})"
        for start, end, name in self._regions:
            if start <= address < end:
                return f"{address:#010x} ({name}+{address - start:#x})"
        for start, end, name in self._unmapped_names:
            if start <= address < end:
                return f"{address:#010x} ({name}+{address - start:#x}, which is never mapped)"
        for start, end, name in self._regions:
            if end <= address < end + PAGE:
                return f"{address:#010x} ({address - end} bytes past the end of {name}; nothing mapped there)"
        return f"{address:#010x} (nothing mapped there)"

    def host_block(self, size, name, prot=PROT_RW):
        """Memory the host owns (frame buffers and the like). The block ends on a
        page boundary with an unmapped page after it, so running off its end
        faults instead of scribbling on a neighbour."""
        pages = (size + PAGE - 1) // PAGE * PAGE
        start = self._next_host_block
        if start + pages > HOST_BLOCKS_END:
            raise EmulationFault("host memory for test buffers exhausted")
        self._next_host_block = start + pages + PAGE
        self.uc.mem_map(start, pages, prot)
        block = start + pages - size
        self._regions.append((block, start + pages, name))
        return block

    # --- memory access ---------------------------------------------------

    def require(self, address, size, write, what):
        """Stubs work on memory from the outside, where unicorn checks no
        protection: fault here as the real function would have faulted."""
        if size <= 0:
            return
        need = UC_PROT_READ | (UC_PROT_WRITE if write else 0)
        position, end = address, address + size
        for start, stop, perms in sorted(self._mapped()):
            if start <= position < stop:
                if perms & need != need:
                    break
                position = stop
                if position >= end:
                    return
        kind = "write to" if write else "read of"
        raise EmulationFault(f"{what}: {kind} {size} bytes at {self.describe(address)} "
                             f"reaches {self.describe(position)}, which is not {'writable' if write else 'readable'}")

    def read(self, address, size):
        try:
            return bytes(self.uc.mem_read(address, size))
        except UcError:
            raise EmulationFault(f"read of {size} bytes at {self.describe(address)}: not all mapped") from None

    def write(self, address, data):
        try:
            self.uc.mem_write(address, bytes(data))
        except UcError:
            raise EmulationFault(f"write of {len(data)} bytes at {self.describe(address)}: not all mapped") from None

    def u32(self, address):
        return struct.unpack("<I", self.read(address, 4))[0]

    def put_u32(self, address, value):
        self.write(address, struct.pack("<I", value & 0xFFFFFFFF))

    def cstring(self, address, limit=1 << 16):
        """The NUL-terminated byte string at address (without the NUL)."""
        out = bytearray()
        while len(out) < limit:
            chunk = self.read(address + len(out), min(256, PAGE - (address + len(out)) % PAGE))
            end = chunk.find(b"\0")
            if end >= 0:
                return bytes(out + chunk[:end])
            out += chunk
        raise EmulationFault(f"no string end within {limit} bytes at {self.describe(address)}")

    def wide_string(self, address, limit=1 << 15):
        out = bytearray()
        while len(out) < 2 * limit:
            unit = self.read(address + len(out), 2)
            if unit == b"\0\0":
                return out.decode("utf-16-le", "replace")
            out += unit
        raise EmulationFault(f"no wide string end within {limit} units at {self.describe(address)}")

    # --- registers -------------------------------------------------------

    def reg(self, name):
        return self.uc.reg_read(_REGS[name])

    def set_reg(self, name, value):
        self.uc.reg_write(_REGS[name], value & 0xFFFFFFFF)

    def stack_arg(self, index):
        """Argument index (0-based) of a function just entered: [esp + 4 + 4 * index]."""
        return self.u32(self.reg("esp") + 4 + 4 * index)

    def return_address(self):
        return self.u32(self.reg("esp"))

    # --- the thread ------------------------------------------------------

    def _setup_thread(self):
        uc = self.uc
        self.map(STACK_BASE, STACK_SIZE, PROT_RW, "stack")
        self.map(TEB_BASE, PAGE, PROT_RW, "thread block (TEB)")
        self.map(PEB_BASE, PAGE, PROT_RW, "process block (PEB)")
        teb = bytearray(PAGE)
        struct.pack_into("<IIIII", teb, 0x00, 0xFFFFFFFF,           # no exception handler registered
                         STACK_BASE + STACK_SIZE, STACK_BASE,      # stack base (top) and limit
                         0, 0)
        struct.pack_into("<I", teb, 0x18, TEB_BASE)                # the block's own linear address
        struct.pack_into("<II", teb, 0x20, 0x0A0C, 0x0B0C)         # process and thread ids
        struct.pack_into("<I", teb, 0x30, PEB_BASE)
        self.write(TEB_BASE, teb)

        # fs must be a real segment whose base is the thread block: code reads
        # fs:[0x18] and fs:[0x2c] and expects linear addresses.
        self.map(GDT_BASE, PAGE, UC_PROT_READ, "descriptor table (GDT)")
        gdt = bytearray(PAGE)
        # Accessed bits preset: loading a selector would otherwise write them
        # into the read-only table.
        present_ring0_data, code = 0x93, 0x9B
        flat_4g_32bit, bytes_32bit = 0xC, 0x4
        gdt[1 * 8:2 * 8] = _gdt_entry(0, 0xFFFFF, code, flat_4g_32bit)
        gdt[2 * 8:3 * 8] = _gdt_entry(0, 0xFFFFF, present_ring0_data, flat_4g_32bit)
        gdt[3 * 8:4 * 8] = _gdt_entry(TEB_BASE, PAGE - 1, present_ring0_data, bytes_32bit)
        self.write(GDT_BASE, gdt)
        uc.reg_write(x86.UC_X86_REG_GDTR, (0, GDT_BASE, 4 * 8 - 1, 0))
        # Loading any selector recomputes the CPU's segment state, so the stack
        # and data segments need real 32-bit descriptors too (otherwise push
        # and pop fall back to 16-bit sp).
        for register in (x86.UC_X86_REG_SS, x86.UC_X86_REG_DS, x86.UC_X86_REG_ES, x86.UC_X86_REG_GS):
            uc.reg_write(register, 2 << 3)
        uc.reg_write(x86.UC_X86_REG_FS, 3 << 3)

        # SSE2 code faults with #UD unless the OS has said it saves the SSE
        # state: CR0.EM clear, CR0.MP set, CR4.OSFXSR and CR4.OSXMMEXCPT set.
        cr0 = uc.reg_read(x86.UC_X86_REG_CR0)
        uc.reg_write(x86.UC_X86_REG_CR0, (cr0 & ~(1 << 2)) | (1 << 1))
        cr4 = uc.reg_read(x86.UC_X86_REG_CR4)
        uc.reg_write(x86.UC_X86_REG_CR4, cr4 | (1 << 9) | (1 << 10))
        # Windows starts 32-bit threads with the x87 unit at double precision
        # and its register stack empty (unicorn's reset leaves it all tagged valid).
        uc.reg_write(x86.UC_X86_REG_FPCW, 0x027F)
        uc.reg_write(x86.UC_X86_REG_FPTAG, 0xFFFF)
        uc.reg_write(x86.UC_X86_REG_MXCSR, 0x1F80)
        self.set_reg("esp", STACK_BASE + STACK_SIZE - 0x100)

    def teb_field(self, offset):
        return self.u32(TEB_BASE + offset)

    def set_teb_field(self, offset, value):
        self.put_u32(TEB_BASE + offset, value)

    # --- running ---------------------------------------------------------

    def add_hook_point(self, address, action):
        """Runs action(machine) whenever execution reaches address (which must
        lie in a range given to watch_code)."""
        self._hook_points[address] = action

    def watch_code(self, start, size):
        """Install the code hook for a range of hook points. Only instructions
        in the range pay for it; the module's own code runs unhooked."""
        self.uc.hook_add(UC_HOOK_CODE, self._on_hook_point, begin=start, end=start + size - 1)

    def fail(self, message):
        """Stops the emulation; run() raises EmulationFault(message)."""
        if self._fault is None:
            self._fault = EmulationFault(message)
        self.uc.emu_stop()

    def run(self, begin, until, timeout_seconds):
        self._fault = None
        try:
            self.uc.emu_start(begin, until, timeout=int(timeout_seconds * 1e6))
        except UcError as error:
            if self._fault is None:
                self._fault = EmulationFault(f"emulation stopped ({error}) at {self.describe(self.reg('eip'))}")
        if self._fault is not None:
            fault, self._fault = self._fault, None
            raise fault
        if self.reg("eip") != until:
            raise EmulationFault(f"no return within {timeout_seconds} s; stopped at {self.describe(self.reg('eip'))}")

    def _on_hook_point(self, uc, address, size, user_data):
        action = self._hook_points.get(address)
        if action is None:
            return
        try:
            action(self)
        except EmulationFault as fault:
            self.fail(str(fault))
        except Exception as error:  # a bug in a stub must not look like a pass
            self.fail(f"stub at {self.describe(address)} failed: {error!r}")

    def _on_bad_access(self, uc, access, address, size, value, user_data):
        what = _ACCESS_NAMES.get(access, f"bad access {access}")
        eip = self.reg("eip")
        # unicorn keeps eip exact only at block starts: name the block.
        where = "" if access in (UC_MEM_FETCH_UNMAPPED, UC_MEM_FETCH_PROT) else \
            f" by the code block starting at {self.describe(eip)}"
        hint = ""
        if access in (UC_MEM_FETCH_UNMAPPED, UC_MEM_FETCH_PROT):
            hint = f"; return address on the stack {self.describe(self.return_address())}"
        self.fail(f"{what}: {size} bytes at {self.describe(address)}{where}{hint}")
        return False

    def _on_cpu_exception(self, uc, number, user_data):
        name = _CPU_EXCEPTIONS.get(number, f"interrupt {number}")
        self.fail(f"CPU exception: {name} at {self.describe(self.reg('eip'))}")

    def _on_invalid_instruction(self, uc, user_data):
        self.fail(f"invalid instruction at {self.describe(self.reg('eip'))}")
        return False
