"""An effect object inside the emulated module, called the way the host calls
it: through its vtable, every slot __thiscall. The calling-convention check
then verifies that each slot pops exactly its own arguments."""
from win32emu.faults import EmulationFault

# name: (slot, argument count)
SLOTS = {"destroy": (0, 1), "renderFrame": (1, 6), "openEditor": (2, 2),
         "getDescription": (3, 0), "loadConfig": (4, 2), "saveConfig": (5, 1)}
FREE_MEMORY = 1


class Effect:
    def __init__(self, process, module, this, label):
        self.process, self.module, self.this, self.label = process, module, this, label
        self.context = None
        self.handles = None  # (init, frame, beat, triangle) as last compiled
        self.renders = 0
        self.sections = ["", "", "", ""]  # as last loaded

    def slot_address(self, name):
        index, _ = SLOTS[name]
        vtable = self.process.machine.u32(self.this)
        target = self.process.machine.u32(vtable + 4 * index)
        if not self.module.contains(target):
            raise EmulationFault(f"{self.label}: vtable slot {index} ({name}) points to "
                                 f"{self.process.describe(target)}, outside the module")
        return target

    def call(self, name, *args):
        index, arg_count = SLOTS[name]
        if len(args) != arg_count:
            raise ValueError(f"{name} takes {arg_count} arguments")
        return self.process.thiscall(self.slot_address(name), self.this, *args,
                                     name=f"{self.label} {name} (vtable slot {index})")

    def render(self, vis_data, is_beat, pixels, alt_pixels, width, height):
        self.renders += 1
        return self.call("renderFrame", vis_data, is_beat, pixels, alt_pixels, width, height)

    def load(self, data_address, length):
        self.call("loadConfig", data_address, length)

    def save(self, buffer):
        return self.call("saveConfig", buffer)

    def description(self):
        return self.process.machine.cstring(self.call("getDescription")).decode("latin-1")

    def open_editor(self, module_instance, parent_window):
        return self.call("openEditor", module_instance, parent_window)

    def destroy(self, flags=FREE_MEMORY):
        return self.call("destroy", flags)
