"""user32.dll (and the little of gdi32 a panel may touch) for a process with
no window system: every window handle is invalid and nothing is ever
created, so each call fails the way Windows fails for an invalid handle.
All stdcall; the argument counts are the documented ones."""
from .stubs import stdcall

ERROR_INVALID_WINDOW_HANDLE = 1400

# name: argument count. All answer 0 (NULL, FALSE or a zero length).
_FAILING = {
    "CreateDialogParamA": 5, "CreateDialogIndirectParamA": 5, "CreateWindowExA": 12,
    "GetDlgItem": 2, "SetWindowTextA": 2, "GetWindowTextLengthA": 1,
    "GetWindowPlacement": 2, "SetWindowPlacement": 2, "GetWindowLongA": 2, "SetWindowLongA": 3,
    "ShowWindow": 2, "DestroyWindow": 1, "IsWindow": 1, "GetParent": 1, "EnableWindow": 2,
    "SendMessageA": 4, "PostMessageA": 4, "SendDlgItemMessageA": 5, "SetDlgItemTextA": 3,
    "MoveWindow": 6, "SetWindowPos": 7, "GetClientRect": 2, "GetWindowRect": 2, "InvalidateRect": 3,
    "LoadBitmapA": 2, "LoadImageA": 6, "DefWindowProcA": 4, "ScreenToClient": 2, "MapWindowPoints": 4,
}
_GDI_FAILING = {"DeleteObject": 1, "GetObjectA": 3}


class WindowSystem:
    def __init__(self, process):
        self.machine = process.machine

    def _invalid_window(self, c):
        self.machine.set_teb_field(0x34, ERROR_INVALID_WINDOW_HANDLE)
        return 0

    def _text_into_buffer(self, buffer_index, size_index):
        def run(c):
            if c.arg(buffer_index) and c.signed_arg(size_index) > 0:
                self.machine.require(c.arg(buffer_index), 1, True, f"{c.name} from {c.caller}")
                self.machine.write(c.arg(buffer_index), b"\0")
            return self._invalid_window(c)
        return run

    def user32(self):
        table = {name: stdcall(count, self._invalid_window) for name, count in _FAILING.items()}
        table["GetWindowTextA"] = stdcall(3, self._text_into_buffer(1, 2))
        table["GetDlgItemTextA"] = stdcall(4, self._text_into_buffer(2, 3))
        return table

    def gdi32(self):
        return {name: stdcall(count, lambda c: 0) for name, count in _GDI_FAILING.items()}
