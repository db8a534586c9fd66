"""The C runtime's heap, kept on the Python side so that every block is known:
who allocated it, whether it is still live, whether its owner wrote past its
end. Freed memory is never handed out again, so a stale pointer reads the
freed-fill pattern instead of someone else's data."""
from .faults import EmulationFault
from .machine import PROT_RW

ALIGN = 16
GUARD = 16          # bytes after each block that must keep GUARD_BYTE
GUARD_BYTE = 0xFD
NEW_FILL = 0xCD     # what malloc'd memory holds: code must not expect zeros
FREED_FILL = 0xDD


class Block:
    def __init__(self, address, size, owner, serial):
        self.address, self.size, self.owner, self.serial = address, size, owner, serial

    def __repr__(self):
        return f"block #{self.serial} of {self.size} bytes at {self.address:#010x} from {self.owner}"


class Heap:
    def __init__(self, machine, base, size):
        self.machine = machine
        self.base, self.end = base, base + size
        self._next = base
        self._serial = 0
        self.live = {}     # address -> Block
        self.freed = {}    # address -> Block
        self.allocations = 0
        machine.map(base, size, PROT_RW, "heap")
        machine.add_describer(self._describe)

    def allocate(self, size, owner, fill=NEW_FILL):
        span = (size + GUARD + ALIGN - 1) // ALIGN * ALIGN
        if self._next + span > self.end:
            raise EmulationFault(f"emulated heap exhausted asking for {size} bytes for {owner}")
        address = self._next
        self._next += span
        self._serial += 1
        self.allocations += 1
        block = Block(address, size, owner, self._serial)
        self.machine.write(address, bytes([fill]) * size + bytes([GUARD_BYTE]) * (span - size))
        self.live[address] = block
        return address

    def release(self, address, caller):
        """free(): address must be a live block; its guard bytes must be intact."""
        block = self.live.pop(address, None)
        if block is None:
            if address in self.freed:
                raise EmulationFault(f"{caller} freed {self.freed[address]} a second time")
            raise EmulationFault(f"{caller} freed {self.machine.describe(address)}, which malloc never returned")
        self._check_guard(block, caller)
        self.machine.write(address, bytes([FREED_FILL]) * block.size)
        self.freed[address] = block
        return block

    def resize(self, address, size, owner):
        """realloc(): a new block with the old contents; the old one is freed."""
        old = self.live.get(address)
        if old is None:
            self.release(address, owner)  # raises with the right message
        new = self.allocate(size, owner)
        self.machine.write(new, self.machine.read(address, min(old.size, size)))
        self.release(address, owner)
        return new

    def check_all_guards(self):
        for block in list(self.live.values()):
            self._check_guard(block, "at the end of the run")

    def _check_guard(self, block, caller):
        span = (block.size + GUARD + ALIGN - 1) // ALIGN * ALIGN
        guard = self.machine.read(block.address + block.size, span - block.size)
        if any(byte != GUARD_BYTE for byte in guard):
            raise EmulationFault(f"{block} was written past its end (found {caller})")

    def live_blocks(self, owner=None):
        return [b for b in self.live.values() if owner is None or b.owner == owner]

    def block_at(self, address):
        return self.live.get(address)

    def _describe(self, address):
        if not self.base <= address < self.end:
            return None
        for blocks, state in ((self.live, "live"), (self.freed, "freed")):
            for block in blocks.values():
                if block.address <= address < block.address + block.size + GUARD:
                    return f"{state} heap {block}, offset {address - block.address:#x}"
        return "heap, outside any block"
