"""msvcrt.dll: the C runtime functions MinGW modules import. All cdecl.
Memory functions check their ranges like the real ones would fault; heap
functions go through the tracked Heap; anything that would print or abort
stops the run with what the module was about to say."""
import math
import re
import struct

from . import x86_code
from .faults import EmulationFault
from .stubs import NativeCode, Variable, cdecl, cdecl_double

DLL = "msvcrt.dll"
MAX_STRING = 1 << 20


class CRuntime:
    def __init__(self, process):
        self.process = process
        self.machine = process.machine
        self.heap = process.heap
        self.errno_address = None

    def table(self):
        math_functions = {name: cdecl_double(self._math(getattr(math, name)))
                          for name in ("acos", "asin", "atan", "tan", "sin", "cos", "sqrt", "exp",
                                       "sinh", "cosh", "tanh")}
        math_functions["_hypot"] = cdecl_double(self._math2(math.hypot))
        math_functions["log"] = cdecl_double(self._math(lambda x: -math.inf if x == 0 else math.log(x)))
        math_functions["log10"] = cdecl_double(self._math(lambda x: -math.inf if x == 0 else math.log10(x)))
        return {
            "malloc": cdecl(lambda c: self.heap.allocate(c.arg(0), c.caller)),
            "calloc": cdecl(self.calloc),
            "realloc": cdecl(self.realloc),
            "free": cdecl(self.free),
            "memcpy": cdecl(self.memcpy),
            "memmove": cdecl(self.memmove),
            "memset": cdecl(self.memset),
            "memcmp": cdecl(self.memcmp),
            "memchr": cdecl(self.memchr),
            "strlen": cdecl(lambda c: len(self._string(c, c.arg(0)))),
            "wcslen": cdecl(lambda c: len(self.machine.wide_string(c.arg(0)))),
            "strcmp": cdecl(lambda c: self._compare(self._string(c, c.arg(0)), self._string(c, c.arg(1)))),
            "strncmp": cdecl(self.strncmp),
            "strchr": cdecl(self.strchr),
            "atoi": cdecl(self.atoi),
            "getenv": cdecl(lambda c: 0),  # an empty environment
            "_errno": cdecl(self.errno),
            "_initterm": NativeCode(x86_code.initterm()),
            # One thread: the runtime's locks have nothing to exclude.
            "_lock": cdecl(lambda c: None),
            "_unlock": cdecl(lambda c: None),
            "__setusermatherr": cdecl(lambda c: None),
            "_amsg_exit": cdecl(self._fatal("_amsg_exit (C runtime start-up or lock failure)")),
            "abort": cdecl(self._fatal("abort")),
            "fputs": cdecl(lambda c: self._printed(c, self._string(c, c.arg(0)))),
            "fputc": cdecl(lambda c: self._printed(c, bytes([c.arg(0) & 0xFF]))),
            "fwrite": cdecl(lambda c: self._printed(c, self._bytes(c, c.arg(0), c.arg(1) * c.arg(2)))),
            "vfprintf": cdecl(lambda c: self._printed(c, b"(format) " + self._string(c, c.arg(1)))),
            "__mb_cur_max": Variable(struct.pack("<i", 1)),  # single-byte code page
            "_iob": Variable(bytes(3 * 32)),                  # stdin, stdout, stderr FILE records
            **math_functions,
        }

    # --- heap ----------------------------------------------------------------

    def calloc(self, c):
        count, size = c.arg(0), c.arg(1)
        if count and size > 0xFFFFFFFF // count:
            return 0
        return self.heap.allocate(count * size, c.caller, fill=0)

    def realloc(self, c):
        address, size = c.arg(0), c.arg(1)
        if address == 0:
            return self.heap.allocate(size, c.caller)
        if size == 0:
            self.heap.release(address, c.caller)
            return 0
        return self.heap.resize(address, size, c.caller)

    def free(self, c):
        if c.arg(0):
            self.heap.release(c.arg(0), c.caller)

    # --- memory and strings ----------------------------------------------------

    def _bytes(self, c, address, size):
        self.machine.require(address, size, False, f"{c.name} from {c.caller}")
        return self.machine.read(address, size) if size else b""

    def _put(self, c, address, data):
        self.machine.require(address, len(data), True, f"{c.name} from {c.caller}")
        if data:
            self.machine.write(address, data)

    def _string(self, c, address):
        self.machine.require(address, 1, False, f"{c.name} from {c.caller}")
        return self.machine.cstring(address, MAX_STRING)

    def memcpy(self, c):
        destination, source, size = c.arg(0), c.arg(1), c.arg(2)
        if size and source < destination + size and destination < source + size and source != destination:
            raise EmulationFault(f"memcpy from {c.caller} with overlapping ranges "
                                 f"{self.machine.describe(destination)} and {self.machine.describe(source)}")
        self._put(c, destination, self._bytes(c, source, size))
        return destination

    def memmove(self, c):
        self._put(c, c.arg(0), self._bytes(c, c.arg(1), c.arg(2)))
        return c.arg(0)

    def memset(self, c):
        self._put(c, c.arg(0), bytes([c.arg(1) & 0xFF]) * c.arg(2))
        return c.arg(0)

    def memcmp(self, c):
        size = c.arg(2)
        return self._compare(self._bytes(c, c.arg(0), size), self._bytes(c, c.arg(1), size))

    def memchr(self, c):
        data = self._bytes(c, c.arg(0), c.arg(2))
        found = data.find(bytes([c.arg(1) & 0xFF]))
        return 0 if found < 0 else c.arg(0) + found

    def strncmp(self, c):
        limit = c.arg(2)
        return self._compare(self._string(c, c.arg(0))[:limit], self._string(c, c.arg(1))[:limit])

    def strchr(self, c):
        text = self._string(c, c.arg(0)) + b"\0"
        found = text.find(bytes([c.arg(1) & 0xFF]))
        return 0 if found < 0 else c.arg(0) + found

    def atoi(self, c):
        number = re.match(rb"[ \t\n\r\f\v]*([+-]?[0-9]+)", self._string(c, c.arg(0)))
        return int(number.group(1)) & 0xFFFFFFFF if number else 0

    @staticmethod
    def _compare(left, right):
        return 0 if left == right else (1 if left > right else 0xFFFFFFFF)

    def errno(self, c):
        if self.errno_address is None:
            self.errno_address = self.machine.host_block(4, "errno")
        return self.errno_address

    # --- what a module should never do in a host --------------------------------

    def _fatal(self, name):
        def stop(c):
            raise EmulationFault(f"{c.caller} called {name} (from {self.machine.describe(c.return_address)})")
        return stop

    def _printed(self, c, text):
        raise EmulationFault(f"{c.caller} wrote to a C stream through {c.name} "
                             f"(from {self.machine.describe(c.return_address)}): {text[:300]!r}")

    @staticmethod
    def _math2(function):
        def run(c):
            try:
                return function(c.double_arg(0), c.double_arg(8))
            except (ValueError, OverflowError):
                return math.nan
        return run

    @staticmethod
    def _math(function):
        def run(c):
            try:
                return function(c.double_arg())
            except (ValueError, OverflowError):
                return math.nan
        return run
