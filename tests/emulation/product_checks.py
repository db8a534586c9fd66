"""Checks of the emulated product beyond the frame sequence: what the exports
hand out, the factory's description mode, a fresh effect's slots, both forms
of destruction, and that nothing of the module's or the host's is left once
every effect is gone."""
from product_host import PARENT_WINDOW, CheckFailed

IDENTIFIER = "Render: Triangle"
DESCRIPTION = "Render / Triangle"


def _require(condition, message):
    if not condition:
        raise CheckFailed(message)


def exports_hand_out_identifier_and_factory(host):
    result, identifier, factory = host.retr_func()
    _require(result == 1, f"_ZENTH_KIRO_RetrFunc returned {result}, not 1")
    _require(identifier == IDENTIFIER, f"identifier is {identifier!r}, not {IDENTIFIER!r}")
    where = host.process.describe(factory)
    _require(host.module.contains(factory) and " .text+" in where, f"factory points to {where}, not module code")
    host.set_ext_info()


def factory_fills_description_buffer(host):
    machine = host.process.machine
    buffer = machine.host_block(32, "description buffer")
    machine.write(buffer, b"\xAA" * 32)
    result = host.describe_into(buffer)
    _require(result == 0, f"factory with a buffer returned {result:#x}, not null")
    written = machine.read(buffer, 32)
    _require(written[:18] == DESCRIPTION.encode() + b"\0", f"description buffer holds {written[:18]!r}")
    _require(written[18:] == b"\xAA" * 14, f"factory wrote past the 18 description bytes: {written[18:]!r}")


def fresh_effect_slots(host):
    baseline = host.module_blocks()
    effect = host.create("fresh effect")
    _require(effect is not None, "factory returned no effect")
    _require(effect.description() == DESCRIPTION, f"getDescription gave {effect.description()!r}")
    saved = host.save(effect)
    _require(saved == b"\0" * 4, f"saveConfig of a fresh effect wrote {saved!r}, not four NUL bytes")
    window = effect.open_editor(host.module.base, PARENT_WINDOW)
    _require(window == 0, f"openEditor returned {window:#x} although no window can exist")
    host.destroy(effect)  # checks: no host calls for an effect that never rendered
    _require(host.module_blocks() == baseline, "destroying a fresh effect leaked " + _blocks(host, baseline))


def destroy_without_freeing_keeps_the_object(host):
    baseline = host.module_blocks()
    effect = host.create("effect destroyed with flags 0")
    host.destroy(effect, flags=0)
    left = host.module_blocks() - baseline
    _require(left == {effect.this}, f"destroy(0) should leave only the object allocated; left {_blocks(host, baseline)}")
    host.process.heap.release(effect.this, "the host (cleaning up after destroy(0))")


def nothing_left_after_the_last_effect(host, baseline):
    contexts, codes = host.live_host_objects()
    _require((contexts, codes) == (0, 0), f"the stand-in host still holds {contexts} contexts and {codes} code handles")
    _require(host.module_blocks() == baseline, "module memory left after every effect was destroyed: "
             + _blocks(host, baseline))
    host.process.heap.check_all_guards()


def _blocks(host, baseline):
    extra = [host.process.heap.block_at(a) for a in sorted(host.module_blocks() - baseline)]
    return ", ".join(map(repr, extra)) or "nothing"
