#!/usr/bin/python3
"""Runs the real 32-bit product module under CPU emulation: loads it with the
32-bit stand-in host into one emulated process, checks its exports and
effect slots, renders the shared frame sequence (printing its "frame NN"
hash lines for comparison with the native build) and checks that every
effect is cleaned up.

Usage: run_product.py MODULE STANDIN_HOST_DLL [--relocate]
  --relocate  loads the module away from its preferred base, so that the
              run also proves its relocations (and its own code patching)
              hold at any address.
Exits 1 with a "FAIL:" line naming the fault."""
import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import product_checks  # noqa: E402
import scenario  # noqa: E402
from product_host import CheckFailed, EmulatedHost  # noqa: E402
from win32emu.faults import EmulationFault  # noqa: E402
from win32emu.process import DLL_PROCESS_DETACH  # noqa: E402

CHECKS = [
    ("exports hand out the identifier and the factory", product_checks.exports_hand_out_identifier_and_factory),
    ("factory fills a description buffer and returns null", product_checks.factory_fills_description_buffer),
    ("a fresh effect describes, saves, opens no editor and is destroyed cleanly", product_checks.fresh_effect_slots),
    ("destroy(0) keeps the object's memory", product_checks.destroy_without_freeing_keeps_the_object),
]


def run(module, standin, relocate):
    host = EmulatedHost(module, standin, relocate=relocate)
    where = f"at {host.module.base:#x}" + (" (relocated)" if host.module.relocated else "")
    print(f"emulating {host.module.name} {where} with {host.standin.name} at {host.standin.base:#x}")
    for description, check in CHECKS:
        check(host)
        print(f"ok: {description}")
    baseline = host.module_blocks()
    scenario.run_scenario(host)
    print("ok: frame sequence rendered with the expected host calls; every effect destroyed cleanly")
    product_checks.nothing_left_after_the_last_effect(host, baseline)
    print("ok: no module memory, script context or code handle left behind")
    host.process.notify(host.module, DLL_PROCESS_DETACH)
    host.process.notify(host.standin, DLL_PROCESS_DETACH)
    print("ok: both modules unload")
    user32 = sorted({name for name, caller in host.process.stubs.calls
                     if name.startswith("user32.dll!") and caller == host.module.name})
    if user32:
        print(f"window system calls answered as failed: {', '.join(user32)}")
    if host.process.protection_changes:
        print(f"code pages made writable by the module: {len(host.process.protection_changes)} times")
    print(f"heap: {host.process.heap.allocations} blocks allocated in all")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("module")
    parser.add_argument("standin")
    parser.add_argument("--relocate", action="store_true")
    options = parser.parse_args()
    try:
        run(options.module, options.standin, options.relocate)
    except (CheckFailed, EmulationFault) as failure:
        print(f"FAIL: {failure}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
