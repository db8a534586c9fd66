"""The few pieces of x86 code the emulator places itself, assembled by hand
(no assembler is needed at test time). Each is used where Python cannot stand
in: code that must call back into the module, or return a value in an x87
register."""
import struct

HALT = b"\xF4"  # where a call from the test returns to; never executed


def ret(pop_bytes=0):
    """ret / ret imm16: the end of a stub that pops pop_bytes of arguments."""
    return b"\xC3" if pop_bytes == 0 else b"\xC2" + struct.pack("<H", pop_bytes)


def load_double_and_return(value_address):
    """fld qword [value_address]; ret -- a cdecl function returning a double
    in st(0), the value having been put at value_address by the stub."""
    return b"\xDD\x05" + struct.pack("<I", value_address) + b"\xC3"


def initterm():
    """void _initterm(fn* begin, fn* end): calls each non-null pointer in
    [begin, end) in order. It calls into the module, so it must be real code."""
    return bytes([
        0x56,                    # push esi
        0x57,                    # push edi
        0x8B, 0x74, 0x24, 0x0C,  # mov esi, [esp+12]   begin
        0x8B, 0x7C, 0x24, 0x10,  # mov edi, [esp+16]   end
        # loop:
        0x39, 0xFE,              # cmp esi, edi
        0x73, 0x0D,              # jae done
        0x8B, 0x06,              # mov eax, [esi]
        0x85, 0xC0,              # test eax, eax
        0x74, 0x02,              # jz next
        0xFF, 0xD0,              # call eax
        # next:
        0x83, 0xC6, 0x04,        # add esi, 4
        0xEB, 0xEF,              # jmp loop
        # done:
        0x5F,                    # pop edi
        0x5E,                    # pop esi
        0xC3,                    # ret
    ])


def forwarding_thunk(arg_count, target_pointer_address):
    """A cdecl function that calls *target_pointer_address with its own
    arguments and returns its result. Returns (code, offset of the final ret),
    so that hooks can see both the arguments (at offset 0) and the result
    (at the ret, in eax)."""
    code = bytearray()
    for _ in range(arg_count):
        # push dword [esp + 4 * arg_count]: after each push the next argument
        # down sits at the same offset.
        code += bytes([0xFF, 0x74, 0x24, 4 * arg_count])
    code += b"\xFF\x15" + struct.pack("<I", target_pointer_address)  # call [target]
    if arg_count:
        code += bytes([0x83, 0xC4, 4 * arg_count])                   # add esp, 4n
    result_offset = len(code)
    code += b"\xC3"
    return bytes(code), result_offset
