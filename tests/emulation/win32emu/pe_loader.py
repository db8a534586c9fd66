"""Maps a 32-bit PE DLL the way the Windows loader does: sections at their
addresses with their protections, base relocations applied when the
preferred base is taken, every import slot filled, the static TLS block set
up. Running the TLS callbacks and the entry point is the caller's step, so
that it can check their calling convention."""
import os

import pefile
from unicorn import UC_PROT_EXEC, UC_PROT_READ, UC_PROT_WRITE

from .faults import EmulationFault
from .machine import PAGE, PROT_RW
from .symbols import FunctionSymbols

IMAGE_FILE_MACHINE_I386 = 0x14C
IMAGE_FILE_DLL = 0x2000
IMAGE_FILE_RELOCS_STRIPPED = 0x0001
RELOCATION_SEARCH_START, RELOCATION_SEARCH_END = 0x10000000, 0x60000000


def _round_up(value, step=PAGE):
    return (value + step - 1) // step * step


def _section_perms(characteristics):
    perms = 0
    if characteristics & 0x40000000:
        perms |= UC_PROT_READ
    if characteristics & 0x80000000:
        perms |= UC_PROT_WRITE
    if characteristics & 0x20000000:
        perms |= UC_PROT_EXEC | UC_PROT_READ
    return perms


class LoadedModule:
    def __init__(self, name, path, base, size, entry, exports, ordinals, symbols, sections, tls):
        self.name, self.path, self.base, self.size = name, path, base, size
        self.entry = entry
        self._exports, self._ordinals = exports, ordinals
        self.symbols = symbols
        self.sections = sections    # (name, start, end)
        self.tls = tls              # None or dict(index_address, raw, zero_fill, callbacks_address)
        self.relocated = False

    def contains(self, address):
        return self.base <= address < self.base + self.size

    def export(self, key):
        """Address of an export by name or ordinal, or 0."""
        return self._ordinals.get(key, 0) if isinstance(key, int) else self._exports.get(key, 0)

    def describe(self, address):
        if not self.contains(address):
            return None
        function = self.symbols.name_at(address)
        for name, start, end in self.sections:
            if start <= address < end:
                where = f"{self.name} {name}+{address - start:#x}"
                return f"{where}, {function}" if function and name == ".text" else where
        return f"{self.name} headers+{address - self.base:#x}"


def load_image(process, path, force_base=None):
    """Maps the DLL at path into process and binds its imports. force_base puts
    it elsewhere than its preferred base (to exercise relocation)."""
    machine = process.machine
    name = os.path.basename(path)
    pe = pefile.PE(path)
    header = pe.OPTIONAL_HEADER
    if pe.FILE_HEADER.Machine != IMAGE_FILE_MACHINE_I386 or header.Magic != 0x10B:
        raise EmulationFault(f"{name} is not a 32-bit x86 image")
    if not pe.FILE_HEADER.Characteristics & IMAGE_FILE_DLL:
        raise EmulationFault(f"{name} is not a DLL")
    preferred, size = header.ImageBase, _round_up(header.SizeOfImage)

    # Read everything that holds addresses as RVAs before relocating.
    import_slots = []
    for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []):
        for item in entry.imports:
            key = item.name.decode() if item.name else item.ordinal
            import_slots.append((entry.dll.decode(), key, item.address - preferred))
    exports, ordinals = {}, {}
    if hasattr(pe, "DIRECTORY_ENTRY_EXPORT"):
        for symbol in pe.DIRECTORY_ENTRY_EXPORT.symbols:
            if symbol.forwarder:
                raise EmulationFault(f"{name} forwards export {symbol.name} to {symbol.forwarder}; not supported")
            if symbol.name:
                exports[symbol.name.decode()] = symbol.address
            ordinals[symbol.ordinal] = symbol.address
    tls = None
    if hasattr(pe, "DIRECTORY_ENTRY_TLS"):
        t = pe.DIRECTORY_ENTRY_TLS.struct
        tls = {"index_rva": t.AddressOfIndex - preferred, "template_rva": t.StartAddressOfRawData - preferred,
               "template_size": t.EndAddressOfRawData - t.StartAddressOfRawData, "zero_fill": t.SizeOfZeroFill,
               "callbacks_rva": t.AddressOfCallBacks - preferred if t.AddressOfCallBacks else None}

    base = preferred if force_base is None and machine.is_free(preferred, size) else \
        _free_base(machine, size, force_base)
    relocated = base != preferred
    if relocated:
        has_relocations = header.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_BASERELOC"]].Size
        if pe.FILE_HEADER.Characteristics & IMAGE_FILE_RELOCS_STRIPPED or not has_relocations:
            raise EmulationFault(f"{name} cannot move from its base {preferred:#x}: it has no relocations")
        pe.relocate_image(base)

    image = bytearray(size)
    image[:header.SizeOfHeaders] = pe.__data__[:header.SizeOfHeaders]
    sections = []
    for section in pe.sections:
        extent = section.Misc_VirtualSize or section.SizeOfRawData
        data = section.get_data()[:min(section.SizeOfRawData, extent)]
        image[section.VirtualAddress:section.VirtualAddress + len(data)] = data
        sections.append((section.Name.rstrip(b"\0").decode("latin-1"), base + section.VirtualAddress,
                         base + section.VirtualAddress + extent, _section_perms(section.Characteristics)))
    machine.uc.mem_map(base, size, PROT_RW)
    machine.write(base, image)

    module = LoadedModule(name, path, base, size, base + header.AddressOfEntryPoint,
                          {k: base + v for k, v in exports.items()}, {k: base + v for k, v in ordinals.items()},
                          FunctionSymbols(pe, base), [(n, s, e) for n, s, e, _ in sections], tls)
    module.relocated = relocated
    process.add_module(module)

    for dll, key, slot_rva in import_slots:
        machine.put_u32(base + slot_rva, process.resolve_import(dll, key, name))
    if tls is not None:
        _set_up_tls(process, module)

    # Protections last: the writes above go to pages that end up read-only.
    machine.uc.mem_protect(base, _round_up(header.SizeOfHeaders), UC_PROT_READ)
    for _, start, end, perms in sections:
        machine.uc.mem_protect(start, _round_up(end - start), perms)
    return module


def _free_base(machine, size, wanted):
    if wanted is not None:
        if not machine.is_free(wanted, size):
            raise EmulationFault(f"cannot place an image at {wanted:#x}: taken")
        return wanted
    for candidate in range(RELOCATION_SEARCH_START, RELOCATION_SEARCH_END, 0x10000):
        if machine.is_free(candidate, size):
            return candidate
    raise EmulationFault("no room left for another image")


def _set_up_tls(process, module):
    """The static TLS block: a copy of the template, reached through the
    thread block's TLS array at the index the loader writes into the image."""
    machine, tls = process.machine, module.tls
    index = process.allocate_tls_index()
    template = machine.read(module.base + tls["template_rva"], tls["template_size"])  # relocated already
    block = machine.host_block(max(len(template) + tls["zero_fill"], 4), f"{module.name} TLS block")
    machine.write(block, template + bytes(tls["zero_fill"]))
    machine.put_u32(process.tls_array + 4 * index, block)
    machine.put_u32(module.base + tls["index_rva"], index)


def tls_callbacks(process, module):
    """The TLS callback addresses, read from the mapped (relocated) image."""
    if module.tls is None or module.tls["callbacks_rva"] is None:
        return []
    callbacks, address = [], module.base + module.tls["callbacks_rva"]
    while True:
        callback = process.machine.u32(address)
        if callback == 0:
            return callbacks
        callbacks.append(callback)
        address += 4
