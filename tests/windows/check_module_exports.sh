#!/bin/sh
# The module as the host finds it: exactly the two entry points exported, and
# nothing imported but Windows system libraries (the GCC runtimes are linked in).
# Usage: check_module_exports.sh OBJDUMP MODULE EXPECTED_FORMAT
set -u
objdump=$1 module=$2 format=$3
dump=$("$objdump" -p "$module") || { echo "cannot read $module"; exit 1; }
status=0

actual_format=$("$objdump" -f "$module" | sed -n 's/.*file format \(.*\)/\1/p')
if [ "$actual_format" != "$format" ]; then
  echo "FAIL: file format is '$actual_format', expected '$format'"; status=1
fi

exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^[[:space:]]*\[ *[0-9]*\] \(.*\)$/\1/p' | sort | tr '\n' ' ')
if [ "$exports" != "_ZENTH_KIRO_RetrFunc _ZENTH_KIRO_SetExtInfo " ]; then
  echo "FAIL: exports are '$exports', expected exactly _ZENTH_KIRO_RetrFunc and _ZENTH_KIRO_SetExtInfo"; status=1
fi

imports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
for dll in $imports; do
  case "$dll" in
    kernel32.dll|user32.dll|gdi32.dll|msvcrt.dll|advapi32.dll) ;;
    *) echo "FAIL: imports from non-system library $dll"; status=1 ;;
  esac
done
[ -n "$imports" ] || { echo "FAIL: no import table found"; status=1; }

[ $status = 0 ] && echo "module ok: format $actual_format, exports $exports, imports $(echo $imports)"
exit $status
