"""One emulated Windows process: the machine, the heap, the import stubs and
the loaded DLLs, and the calls a host makes into them."""
from . import calls
from .crt_stubs import CRuntime
from .faults import EmulationFault
from .heap import Heap
from .kernel32_stubs import Kernel32
from .machine import Machine
from .pe_loader import load_image, tls_callbacks
from .stubs import StubArea
from .user32_stubs import WindowSystem

HEAP_BASE, HEAP_SIZE = 0x01000000, 0x04000000
TLS_SLOTS = 64
DLL_PROCESS_DETACH, DLL_PROCESS_ATTACH = 0, 1
TEB_TLS_POINTER = 0x2C


class Process:
    def __init__(self):
        self.machine = Machine()
        self.heap = Heap(self.machine, HEAP_BASE, HEAP_SIZE)
        self.modules = []
        self.protection_changes = []  # (caller, address, size, old, new) of each VirtualProtect
        self.machine.add_describer(self._describe_module)
        self.stubs = StubArea(self)
        self.stubs.provide("msvcrt.dll", CRuntime(self).table())
        self.stubs.provide("kernel32.dll", Kernel32(self).table())
        windows = WindowSystem(self)
        self.stubs.provide("user32.dll", windows.user32())
        self.stubs.provide("gdi32.dll", windows.gdi32())
        self.tls_array = self.machine.host_block(4 * TLS_SLOTS, "static TLS array")
        self.machine.set_teb_field(TEB_TLS_POINTER, self.tls_array)
        self._tls_indexes = 0

    # --- modules ----------------------------------------------------------

    def load(self, path, force_base=None):
        """Maps a DLL and runs its TLS callbacks and entry point for process
        attach, as LoadLibrary does. Returns the LoadedModule."""
        module = load_image(self, path, force_base)
        self.notify(module, DLL_PROCESS_ATTACH)
        return module

    def notify(self, module, reason):
        for callback in tls_callbacks(self, module):
            self.stdcall(callback, module.base, reason, 0, name=f"{module.name} TLS callback")
        if module.entry != module.base:
            result = self.stdcall(module.entry, module.base, reason, 0, name=f"{module.name} entry point")
            if reason == DLL_PROCESS_ATTACH and result == 0:
                raise EmulationFault(f"{module.name} refused to load: its entry point returned FALSE")

    def add_module(self, module):
        self.modules.append(module)

    def allocate_tls_index(self):
        self._tls_indexes += 1
        return self._tls_indexes - 1

    def resolve_import(self, dll, key, importer):
        module = self.module_named(dll)
        if module is not None:
            address = module.export(key)
            if not address:
                raise EmulationFault(f"{importer} imports {dll}!{key}, which {dll} does not export")
            return address
        return self.stubs.address_of(dll, key if isinstance(key, str) else f"#{key}")

    def module_named(self, name):
        wanted = name.lower()
        for module in self.modules:
            if module.name.lower() in (wanted, wanted + ".dll"):
                return module
        return None

    def module_at_base(self, base):
        return next((m for m in self.modules if m.base == base), None)

    def module_at(self, address):
        return next((m for m in self.modules if m.contains(address)), None)

    def owner_of(self, address):
        """Who a call comes from, by its return address: a module or the host."""
        module = self.module_at(address)
        return module.name if module else "the host"

    def describe(self, address):
        return self.machine.describe(address)

    def _describe_module(self, address):
        module = self.module_at(address)
        return module.describe(address) if module else None

    # --- calls --------------------------------------------------------------

    def cdecl(self, address, *args, name):
        return calls.call(self, address, args, calls.CDECL, name)

    def stdcall(self, address, *args, name):
        return calls.call(self, address, args, calls.STDCALL, name)

    def thiscall(self, address, this, *args, name):
        return calls.call(self, address, args, calls.THISCALL, name, this=this)
