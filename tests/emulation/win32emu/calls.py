"""Calling into emulated code under the i686 Windows conventions, and checking
on return that the callee kept them: it popped exactly its arguments (cdecl
pops none; stdcall and __thiscall pop all), restored ebx, esi, edi and ebp,
left the direction flag clear, the x87 stack empty and the FPU and SSE control
words as it found them. A host built with Microsoft's compiler relies on all
of these; breaking one corrupts the host long after the call."""
import struct

from unicorn import x86_const as x86

from .faults import EmulationFault
from .machine import CALLEE_SAVED

DIRECTION_FLAG = 1 << 10
SCRATCH_FILL = 0xC1C1C1C1  # eax, ecx, edx on entry: nothing may be read from them
DEFAULT_TIMEOUT = 120


class Convention:
    def __init__(self, name, callee_pops):
        self.name, self.callee_pops = name, callee_pops


CDECL = Convention("cdecl", False)
STDCALL = Convention("stdcall", True)
THISCALL = Convention("__thiscall", True)


def call(process, address, args, convention, name, this=None, timeout=DEFAULT_TIMEOUT):
    """Calls address with 32-bit args; returns eax. this goes in ecx (thiscall)."""
    machine, uc = process.machine, process.machine.uc
    saved_esp = machine.reg("esp")
    entry_esp = saved_esp - 4 * len(args) - 4
    machine.write(entry_esp, struct.pack(f"<{len(args) + 1}I", process.stubs.return_halt,
                                         *(a & 0xFFFFFFFF for a in args)))
    machine.set_reg("esp", entry_esp)
    for register, value in CALLEE_SAVED.items():
        machine.set_reg(register, value)
    for register in ("eax", "ecx", "edx"):
        machine.set_reg(register, SCRATCH_FILL)
    if convention is THISCALL:
        machine.set_reg("ecx", this)
    machine.set_reg("eflags", machine.reg("eflags") & ~DIRECTION_FLAG)
    control = (uc.reg_read(x86.UC_X86_REG_FPCW), uc.reg_read(x86.UC_X86_REG_MXCSR) & ~0x3F)

    try:
        machine.run(address, process.stubs.return_halt, timeout)
    except EmulationFault as fault:
        raise EmulationFault(f"in {name}: {fault}") from None
    finally:
        exit_esp = machine.reg("esp")
        machine.set_reg("esp", saved_esp)

    problems = []
    popped = exit_esp - (entry_esp + 4)
    expected = 4 * len(args) if convention.callee_pops else 0
    if popped != expected:
        problems.append(f"popped {popped} bytes of arguments on return; a {convention.name} caller passing "
                        f"{len(args)} arguments expects {expected}")
    for register, value in CALLEE_SAVED.items():
        if machine.reg(register) != value:
            problems.append(f"did not preserve {register} ({value:#x} became {machine.reg(register):#x})")
    if machine.reg("eflags") & DIRECTION_FLAG:
        problems.append("returned with the direction flag set")
    if _x87_depth(uc):
        problems.append(f"left {_x87_depth(uc)} values on the x87 register stack")
    now = (uc.reg_read(x86.UC_X86_REG_FPCW), uc.reg_read(x86.UC_X86_REG_MXCSR) & ~0x3F)
    if now != control:
        problems.append(f"changed the FPU/SSE control words {control[0]:#x}/{control[1]:#x} "
                        f"to {now[0]:#x}/{now[1]:#x}")
    if problems:
        raise EmulationFault(f"{name} ({convention.name}) broke the calling convention: " + "; ".join(problems))
    return machine.reg("eax")


def _x87_depth(uc):
    tags = uc.reg_read(x86.UC_X86_REG_FPTAG)
    return sum(1 for slot in range(8) if (tags >> (2 * slot)) & 3 != 3)
