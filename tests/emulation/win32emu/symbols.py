"""Function names from a PE image's COFF symbol table (MinGW keeps it unless
the image is stripped), so that a fault names a function, not a bare offset."""
import bisect
import struct

RECORD = 18
FUNCTION_TYPE = 0x20
EXTERNAL, STATIC = 2, 3


class FunctionSymbols:
    def __init__(self, pe, base):
        self._starts, self._names = [], []
        pointer, count = pe.FILE_HEADER.PointerToSymbolTable, pe.FILE_HEADER.NumberOfSymbols
        data = pe.__data__
        if not pointer or pointer + count * RECORD > len(data):
            return
        strings = pointer + count * RECORD
        found = []
        index = 0
        while index < count:
            record = data[pointer + index * RECORD:pointer + (index + 1) * RECORD]
            name, value, section, kind, storage, aux = struct.unpack("<8sIhHBB", record)
            index += 1 + aux
            if section <= 0 or section > len(pe.sections) or storage not in (EXTERNAL, STATIC):
                continue
            if not (kind & FUNCTION_TYPE or pe.sections[section - 1].Characteristics & 0x20000000):
                continue
            if name[:4] == b"\0\0\0\0":
                offset = strings + struct.unpack("<I", name[4:])[0]
                name = data[offset:data.find(b"\0", offset)]
            text = name.rstrip(b"\0").decode("latin-1")
            if text and not text.startswith("."):
                found.append((base + pe.sections[section - 1].VirtualAddress + value, text))
        found.sort()
        self._starts = [start for start, _ in found]
        self._names = [name for _, name in found]

    def name_at(self, address):
        """'function+0xoffset' for the function containing address, or None."""
        position = bisect.bisect_right(self._starts, address) - 1
        if position < 0:
            return None
        offset = address - self._starts[position]
        return self._names[position] + (f"+{offset:#x}" if offset else "")
