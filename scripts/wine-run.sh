#!/bin/sh
# Runs a 64-bit Windows program headless under wine64, in the project's own
# Wine prefix with Wine's null graphics driver (no display needed).
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${RT_WINEPREFIX:-$here/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# A crashing test program must end, not wait in the debugger.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
if [ ! -f "$WINEPREFIX/.rt-null-driver" ]; then
  mkdir -p "$WINEPREFIX"
  "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  "$(dirname "$wine")/wineserver" -w 2>/dev/null || wineserver -w 2>/dev/null || true
  touch "$WINEPREFIX/.rt-null-driver"
fi
exec "$wine" "$@"
