#!/usr/bin/python3
"""Static checks of the 32-bit product module, which cannot run on this machine.

The host calls every effect slot as __thiscall: `this` in ECX and the callee
pops its own arguments. A method that leaves its arguments on the stack
corrupts the host's stack on return, so every `ret` of every slot must pop
exactly the slot's argument bytes.

The product carries no symbols, so the slots are found through the same link
with its symbol table kept, after checking that its sections are the
product's byte for byte.

The product is also checked for what makes it reproducible and free of
configuration: no time stamps, no symbol table, no build paths, nothing read
from the environment.

Usage: check_product_dll.py MODULE MODULE_WITH_SYMBOLS NM OBJDUMP SOURCE_DIR BINARY_DIR
"""
import re
import subprocess
import sys

import pefile

# Slot, name, bytes of arguments the callee must pop.
SLOTS = [
    (0, "destroy (scalar deleting destructor)", 4),
    (1, "renderFrame", 24),
    (2, "openEditor", 8),
    (3, "getDescription", 0),
    (4, "loadConfig", 8),
    (5, "saveConfig", 4),
]
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "advapi32.dll"}
RT_BITMAP, RT_DIALOG = 2, 5
LANG_EN_US = 1033


def check_header(pe, failures):
    if pe.FILE_HEADER.Machine != 0x14C:
        failures.append(f"machine is {pe.FILE_HEADER.Machine:#x}, expected i386 (0x14c)")
    if pe.OPTIONAL_HEADER.Magic != 0x10B:
        failures.append("not a PE32 image")
    if not pe.FILE_HEADER.Characteristics & 0x2000:
        failures.append("not a DLL")


def check_exports(pe, failures):
    names = sorted(e.name.decode() for e in pe.DIRECTORY_ENTRY_EXPORT.symbols if e.name)
    if names != ["_ZENTH_KIRO_RetrFunc", "_ZENTH_KIRO_SetExtInfo"]:
        failures.append(f"exports are {names}")


def check_imports(pe, failures):
    for entry in pe.DIRECTORY_ENTRY_IMPORT:
        dll = entry.dll.decode().lower()
        if dll not in SYSTEM_DLLS:
            failures.append(f"imports from non-system library {dll}")


def check_resources(pe, failures):
    expected = {(RT_DIALOG, 109)} | {(RT_BITMAP, n) for n in range(110, 114)}
    found = set()
    directory = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for rtype in directory.entries if directory else []:
        for res in rtype.directory.entries:
            key = (rtype.id, res.id)
            found.add(key)
            langs = [lang.id for lang in res.directory.entries]
            if langs != [LANG_EN_US]:
                failures.append(f"resource type {rtype.id} id {res.id} has languages {langs}, expected [1033]")
    if found != expected:
        failures.append(f"resources are {sorted(found)}, expected {sorted(expected)}")


def check_reproducible(pe, failures):
    if pe.FILE_HEADER.TimeDateStamp != 0:
        failures.append(f"PE header time stamp is {pe.FILE_HEADER.TimeDateStamp:#x}, expected 0")
    exports = getattr(pe, "DIRECTORY_ENTRY_EXPORT", None)
    if exports is not None and exports.struct.TimeDateStamp != 0:
        failures.append(f"export directory time stamp is {exports.struct.TimeDateStamp:#x}, expected 0")
    resources = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    if resources is not None and resources.struct.TimeDateStamp != 0:
        failures.append(f"resource directory time stamp is {resources.struct.TimeDateStamp:#x}, expected 0")
    if getattr(pe, "DIRECTORY_ENTRY_DEBUG", None):
        failures.append("has a debug directory")
    if pe.FILE_HEADER.PointerToSymbolTable != 0 or pe.FILE_HEADER.NumberOfSymbols != 0:
        failures.append(f"not stripped: {pe.FILE_HEADER.NumberOfSymbols} symbols")


def check_no_outside_configuration(pe, data, places, failures):
    for entry in pe.DIRECTORY_ENTRY_IMPORT:
        for imported in entry.imports:
            name = imported.name.decode() if imported.name else ""
            if "getenv" in name.lower() or name.startswith("GetEnvironment"):
                failures.append(f"imports {name} from {entry.dll.decode()}")
    if b"RT_FORCE" in data:
        failures.append("holds the name of an environment variable")
    for place in places:
        if place.encode() in data:
            failures.append(f"holds the build path {place}")


def check_twin(pe, twin, failures):
    """The module with symbols must hold the product's very code and data at
    the same addresses (it only adds the symbol table and debugging sections,
    and may name sections through its string table)."""
    twin_sections = {s.VirtualAddress: s.get_data() for s in twin.sections}
    for section in pe.sections:
        if twin_sections.get(section.VirtualAddress) != section.get_data():
            name = section.Name.rstrip(bytes(1)).decode()
            failures.append(f"section {name} differs from the module with symbols")
    if pe.OPTIONAL_HEADER.ImageBase != twin.OPTIONAL_HEADER.ImageBase:
        failures.append("image base differs from the module with symbols")


def symbol_table(nm, module):
    out = subprocess.run([nm, "-n", module], check=True, capture_output=True, text=True).stdout
    symbols = []
    for line in out.splitlines():
        parts = line.split()
        if len(parts) == 3:
            symbols.append((int(parts[0], 16), parts[1], parts[2]))
    return symbols


def returns_of(objdump, module, start, stop):
    out = subprocess.run([objdump, "-d", "--no-show-raw-insn", f"--start-address={start:#x}",
                          f"--stop-address={stop:#x}", module], check=True, capture_output=True, text=True).stdout
    pops = []
    for line in out.splitlines():
        m = re.search(r"\tret[lw]?\s*(\$0x([0-9a-f]+))?\s*$", line)
        if m:
            pops.append(int(m.group(2), 16) if m.group(2) else 0)
    return pops


def check_thiscall(pe, module, symbols_module, nm, objdump, failures):
    symbols = symbol_table(nm, symbols_module)
    vtables = [addr for addr, _, name in symbols if name == "__ZTVN6effect14TriangleEffectE"]
    if not vtables:
        failures.append("vtable of TriangleEffect not found in the symbol table")
        return
    base = pe.OPTIONAL_HEADER.ImageBase
    first_slot = vtables[0] + 8  # after offset-to-top and type info
    text_starts = sorted(addr for addr, kind, _ in symbols if kind in "Tt")
    for slot, name, pop in SLOTS:
        target = pe.get_dword_at_rva(first_slot - base + 4 * slot)
        following = [a for a in text_starts if a > target]
        stop = following[0] if following else target + 4096
        pops = returns_of(objdump, module, target, stop)
        if not pops:
            failures.append(f"slot {slot} {name} at {target:#x}: no ret found")
        elif any(p != pop for p in pops):
            failures.append(f"slot {slot} {name} at {target:#x}: ret pops {pops}, expected {pop} (__thiscall)")
        else:
            print(f"slot {slot} {name}: {len(pops)} ret(s), each pops {pop} bytes")


def main():
    module, symbols_module, nm, objdump = sys.argv[1:5]
    places = [p for p in sys.argv[5:] if p]
    pe = pefile.PE(module)
    with open(module, "rb") as f:
        data = f.read()
    failures = []
    check_header(pe, failures)
    check_exports(pe, failures)
    check_imports(pe, failures)
    check_resources(pe, failures)
    check_reproducible(pe, failures)
    check_no_outside_configuration(pe, data, places, failures)
    check_twin(pe, pefile.PE(symbols_module), failures)
    check_thiscall(pe, module, symbols_module, nm, objdump, failures)
    for failure in failures:
        print("FAIL:", failure)
    if failures:
        sys.exit(1)
    print("32-bit product module: header, exports, imports, resources, time stamps, symbols, paths and "
          "__thiscall slots ok")


if __name__ == "__main__":
    main()
