#!/usr/bin/env python3
"""Soak: the previewer renders a busy preset for many frames with steady memory.

Runs triangle-render twice on the same presets, for a short and a long number
of frames, and compares the peak resident memory of the two runs. Anything
the renderer, the effect or the stand-in host keeps per frame or per triangle
shows up as growth; fails when the long run's peak exceeds the short run's by
more than the margin. The peaks come from GNU time, whose own process is
small before it starts the renderer (a child forked from Python would carry
Python's memory into its peak).

usage: soak_memory.py TRIANGLE_RENDER PRESET... [--size WxH] [--beat-every K]
                      [--short N] [--long N] [--margin-kb KB]
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

GNU_TIME = "/usr/bin/time"


def peak_kb(command):
    """Runs command; returns (exit status, peak resident set in KiB, seconds)."""
    with tempfile.NamedTemporaryFile(mode="r", suffix=".peak") as peak:
        started = time.monotonic()
        result = subprocess.run([GNU_TIME, "-f", "%M", "-o", peak.name] + command,
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, check=False)
        seconds = time.monotonic() - started
        if result.returncode != 0:
            sys.stderr.write(result.stderr.decode(errors="replace"))
            return result.returncode, 0, seconds
        return 0, int(peak.read().split()[-1]), seconds


def main():
    if not os.path.exists(GNU_TIME):
        print(f"{GNU_TIME} is missing (Debian package 'time', see scripts/install-deps.sh)")
        return 1
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("renderer")
    parser.add_argument("presets", nargs="+")
    parser.add_argument("--size", default="64x36")
    parser.add_argument("--beat-every", default="15")
    parser.add_argument("--short", type=int, default=100)
    parser.add_argument("--long", type=int, default=10000)
    parser.add_argument("--margin-kb", type=int, default=512)
    args = parser.parse_args()

    peaks = {}
    for frames in (args.short, args.long):
        command = [args.renderer, "--quiet", "--size", args.size, "--beat-every", args.beat_every,
                   "--frames", str(frames)] + args.presets
        status, peak, seconds = peak_kb(command)
        if status != 0:
            print(f"failed with status {status}: {' '.join(command)}")
            return 1
        print(f"{frames:6d} frames: peak resident memory {peak} KiB ({seconds:.1f} s)")
        peaks[frames] = peak

    growth = peaks[args.long] - peaks[args.short]
    print(f"growth from {args.short} to {args.long} frames: {growth} KiB (allowed: {args.margin_kb} KiB)")
    return 0 if growth <= args.margin_kb else 1


if __name__ == "__main__":
    sys.exit(main())
