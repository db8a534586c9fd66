"""kernel32.dll: what MinGW's start-up code and runtime call, for a process
with one thread. Every function here is stdcall, so each is declared with its
argument count: the stub pops exactly that many bytes, as Windows does."""
import struct

from unicorn import UC_PROT_EXEC, UC_PROT_READ, UC_PROT_WRITE

from .faults import EmulationFault
from .machine import PAGE
from .stubs import stdcall

DLL = "kernel32.dll"

ERROR_INVALID_HANDLE = 6
ERROR_MOD_NOT_FOUND = 126
ERROR_PROC_NOT_FOUND = 127
ERROR_INVALID_ADDRESS = 487
ERROR_NOACCESS = 998
WAIT_OBJECT_0, WAIT_TIMEOUT, INFINITE = 0, 0x102, 0xFFFFFFFF
TEB_LAST_ERROR, TEB_THREAD_ID, TEB_TLS_SLOTS = 0x34, 0x24, 0xE10
TLS_SLOT_COUNT = 64

R, W, X = UC_PROT_READ, UC_PROT_WRITE, UC_PROT_EXEC
_PAGE_TO_PERMS = {0x01: 0, 0x02: R, 0x04: R | W, 0x08: R | W, 0x10: R | X, 0x20: R | X, 0x40: R | W | X,
                  0x80: R | W | X}
_PERMS_TO_PAGE = {0: 0x01, R: 0x02, R | W: 0x04, W: 0x04, X: 0x10, R | X: 0x20, R | W | X: 0x40, W | X: 0x40}


class Kernel32:
    def __init__(self, process):
        self.process = process
        self.machine = process.machine
        self._next_handle = 0x100
        self._semaphores = {}  # handle -> count
        self._tls_used = set()

    def table(self):
        m = self.machine
        return {
            "GetLastError": stdcall(0, lambda c: m.teb_field(TEB_LAST_ERROR)),
            "SetLastError": stdcall(1, lambda c: m.set_teb_field(TEB_LAST_ERROR, c.arg(0))),
            "GetCurrentThreadId": stdcall(0, lambda c: m.teb_field(TEB_THREAD_ID)),
            "GetCurrentProcessId": stdcall(0, lambda c: m.teb_field(0x20)),
            "GetTickCount": stdcall(0, lambda c: 1000),
            "GetSystemTimeAsFileTime": stdcall(1, lambda c: self._put(c, 0, struct.pack("<Q", 0x01D0000000000000))),
            "QueryPerformanceCounter": stdcall(1, lambda c: self._put(c, 0, struct.pack("<Q", 1000000)) or 1),
            "Sleep": stdcall(1, lambda c: None),
            "IsDBCSLeadByteEx": stdcall(2, lambda c: 0),
            "InitializeCriticalSection": stdcall(1, self.initialize_critical_section),
            "DeleteCriticalSection": stdcall(1, lambda c: None),
            "EnterCriticalSection": stdcall(1, self.enter_critical_section),
            "LeaveCriticalSection": stdcall(1, self.leave_critical_section),
            "CreateSemaphoreW": stdcall(4, self.create_semaphore),
            "CreateSemaphoreA": stdcall(4, self.create_semaphore),
            "ReleaseSemaphore": stdcall(3, self.release_semaphore),
            "WaitForSingleObject": stdcall(2, self.wait_for_single_object),
            "CloseHandle": stdcall(1, self.close_handle),
            "TlsAlloc": stdcall(0, self.tls_alloc),
            "TlsFree": stdcall(1, self.tls_free),
            "TlsGetValue": stdcall(1, self.tls_get_value),
            "TlsSetValue": stdcall(2, self.tls_set_value),
            "GetModuleHandleA": stdcall(1, lambda c: self.get_module_handle(c, self._text(c, c.arg(0)))),
            "GetModuleHandleW": stdcall(1, lambda c: self.get_module_handle(c, self._wide(c, c.arg(0)))),
            "LoadLibraryA": stdcall(1, lambda c: self.get_module_handle(c, self._text(c, c.arg(0)))),
            "LoadLibraryW": stdcall(1, lambda c: self.get_module_handle(c, self._wide(c, c.arg(0)))),
            "FreeLibrary": stdcall(1, lambda c: 1),
            "GetProcAddress": stdcall(2, self.get_proc_address),
            "VirtualProtect": stdcall(4, self.virtual_protect),
            "VirtualQuery": stdcall(3, self.virtual_query),
        }

    # --- helpers ------------------------------------------------------------

    def _put(self, c, arg_index, data, address=None):
        target = c.arg(arg_index) if address is None else address
        self.machine.require(target, len(data), True, f"{c.name} from {c.caller}")
        self.machine.write(target, data)

    def _text(self, c, address):
        return None if address == 0 else self.machine.cstring(address).decode("latin-1")

    def _wide(self, c, address):
        return None if address == 0 else self.machine.wide_string(address)

    def _fail(self, code, result=0):
        self.machine.set_teb_field(TEB_LAST_ERROR, code)
        return result

    def _new_handle(self):
        self._next_handle += 4
        return self._next_handle

    # --- synchronisation, for one thread ----------------------------------------

    def initialize_critical_section(self, c):
        # DebugInfo, LockCount (-1: free), RecursionCount, OwningThread, LockSemaphore, SpinCount
        self._put(c, 0, struct.pack("<IiIIII", 0, -1, 0, 0, 0, 0))

    def enter_critical_section(self, c):
        address = c.arg(0)
        self.machine.require(address, 24, True, f"{c.name} from {c.caller}")
        _, lock_count, recursion, owner = struct.unpack("<IiII", self.machine.read(address, 16))
        thread = self.machine.teb_field(TEB_THREAD_ID)
        if recursion and owner != thread:
            raise EmulationFault(f"{c.caller} entered a critical section owned by thread {owner:#x}")
        self.machine.write(address + 4, struct.pack("<iII", lock_count + 1, recursion + 1, thread))

    def leave_critical_section(self, c):
        address = c.arg(0)
        self.machine.require(address, 24, True, f"{c.name} from {c.caller}")
        _, lock_count, recursion, owner = struct.unpack("<IiII", self.machine.read(address, 16))
        if recursion == 0:
            raise EmulationFault(f"{c.caller} left a critical section it had not entered "
                                 f"(at {self.machine.describe(c.return_address)})")
        self.machine.write(address + 4, struct.pack("<iII", lock_count - 1, recursion - 1,
                                                    owner if recursion > 1 else 0))

    def create_semaphore(self, c):
        handle = self._new_handle()
        self._semaphores[handle] = c.signed_arg(1)
        return handle

    def release_semaphore(self, c):
        handle, count, previous = c.arg(0), c.signed_arg(1), c.arg(2)
        if handle not in self._semaphores:
            return self._fail(ERROR_INVALID_HANDLE)
        if previous:
            self._put(c, 2, struct.pack("<i", self._semaphores[handle]))
        self._semaphores[handle] += count
        return 1

    def wait_for_single_object(self, c):
        handle, timeout = c.arg(0), c.arg(1)
        if handle not in self._semaphores:
            raise EmulationFault(f"{c.caller} waits for handle {handle:#x}, which nothing here created")
        if self._semaphores[handle] > 0:
            self._semaphores[handle] -= 1
            return WAIT_OBJECT_0
        if timeout == INFINITE:
            raise EmulationFault(f"{c.caller} waits forever on a semaphore nobody else can release "
                                 f"(only one thread runs)")
        return WAIT_TIMEOUT

    def close_handle(self, c):
        if self._semaphores.pop(c.arg(0), None) is None:
            return self._fail(ERROR_INVALID_HANDLE)
        return 1

    # --- thread-local slots ------------------------------------------------------

    def tls_alloc(self, c):
        for index in range(TLS_SLOT_COUNT):
            if index not in self._tls_used:
                self._tls_used.add(index)
                self.machine.set_teb_field(TEB_TLS_SLOTS + 4 * index, 0)
                return index
        return 0xFFFFFFFF

    def _tls_index(self, c):
        index = c.arg(0)
        if index not in self._tls_used:
            raise EmulationFault(f"{c.name} from {c.caller} with TLS index {index}, which TlsAlloc never gave")
        return index

    def tls_free(self, c):
        self._tls_used.discard(self._tls_index(c))
        return 1

    def tls_get_value(self, c):
        value = self.machine.teb_field(TEB_TLS_SLOTS + 4 * self._tls_index(c))
        self.machine.set_teb_field(TEB_LAST_ERROR, 0)
        return value

    def tls_set_value(self, c):
        self.machine.set_teb_field(TEB_TLS_SLOTS + 4 * self._tls_index(c), c.arg(1))
        return 1

    # --- modules -------------------------------------------------------------------

    def get_module_handle(self, c, name):
        if name is None:
            raise EmulationFault(f"{c.caller} asked for the host executable's handle ({c.name}(NULL)); "
                                 f"there is none in this emulation")
        module = self.process.module_named(name)
        return module.base if module else self._fail(ERROR_MOD_NOT_FOUND)

    def get_proc_address(self, c):
        module = self.process.module_at_base(c.arg(0))
        if module is None:
            return self._fail(ERROR_INVALID_HANDLE)
        key = c.arg(1) if c.arg(1) < 0x10000 else self.machine.cstring(c.arg(1)).decode("latin-1")
        address = module.export(key)
        return address if address else self._fail(ERROR_PROC_NOT_FOUND)

    # --- memory protection -------------------------------------------------------------

    def _pages(self, address, size):
        first = address // PAGE * PAGE
        last = (address + max(size, 1) + PAGE - 1) // PAGE * PAGE
        return first, last - first

    def _perms_at(self, address):
        for start, stop, perms in self.machine.uc.mem_regions():
            if start <= address <= stop:
                return start, stop + 1, perms
        return None

    def virtual_protect(self, c):
        address, size, new_protection, old_out = c.arg(0), c.arg(1), c.arg(2), c.arg(3)
        if new_protection not in _PAGE_TO_PERMS:
            raise EmulationFault(f"{c.caller} asked VirtualProtect for protection {new_protection:#x}")
        start, length = self._pages(address, size)
        for page in range(start, start + length, PAGE):
            if self._perms_at(page) is None:
                return self._fail(ERROR_INVALID_ADDRESS)
        if old_out == 0:
            return self._fail(ERROR_NOACCESS)
        old = _PERMS_TO_PAGE[self._perms_at(start)[2]]
        self.machine.uc.mem_protect(start, length, _PAGE_TO_PERMS[new_protection])
        self._put(c, 3, struct.pack("<I", old))
        self.process.protection_changes.append((c.caller, address, size, old, new_protection))
        return 1

    def virtual_query(self, c):
        address, length = c.arg(0), c.arg(2)
        if length < 28:
            return self._fail(24)  # ERROR_BAD_LENGTH
        page = address // PAGE * PAGE
        region = self._perms_at(page)
        module = self.process.module_at(page)
        if region is None:
            following = [start for start, _, _ in self.machine.uc.mem_regions() if start > page]
            size = (min(following) if following else 0x80000000) - page
            record = (page, 0, 0, size, 0x10000, 0x01, 0)  # MEM_FREE, PAGE_NOACCESS
        else:
            start, stop, perms = region
            base = module.base if module else start
            kind = 0x1000000 if module else 0x20000  # MEM_IMAGE or MEM_PRIVATE
            record = (page, base, 0x80 if module else 0x04, stop - page, 0x1000, _PERMS_TO_PAGE[perms], kind)
        self._put(c, 1, struct.pack("<7I", *record))
        return 28
