"""Runs 32-bit Windows DLLs under CPU emulation (unicorn), with just enough of
Windows around them: a loader, a thread, and stubs for the imports."""
