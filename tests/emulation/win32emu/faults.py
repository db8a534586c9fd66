"""The one error every part of the emulator raises."""


class EmulationFault(Exception):
    """The emulated code did something Windows or its caller would not accept:
    touched memory it may not, called an import nobody provides, broke a
    calling convention. The message names the function or address."""
