#!/bin/sh
# check-module-linkage.sh OBJDUMP MODULE EXPORT...
# Fails unless MODULE exports exactly the EXPORT names and imports nothing but DLLs every
# Windows system carries (so it loads on a machine with no compiler runtime installed).
set -eu
objdump=$1
module=$2
shift 2

dump=$("$objdump" -p "$module")

imports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
[ -n "$imports" ] || { echo "$module: no import table found"; exit 1; }
status=0
for dll in $imports; do
    case "$dll" in
        kernel32.dll | user32.dll | gdi32.dll | msvcrt.dll | advapi32.dll | shell32.dll | \
        ole32.dll | oleaut32.dll | comdlg32.dll | comctl32.dll | msimg32.dll | shlwapi.dll | \
        winmm.dll | imm32.dll | uxtheme.dll | dwmapi.dll | wininet.dll) ;;
        api-ms-win-*) ;;
        *) echo "$module imports a non-system DLL: $dll"; status=1 ;;
    esac
done

# The name table lines look like "	[   0] GetPluginFactory".
exports=$(printf '%s\n' "$dump" |
    sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort)
wanted=$(printf '%s\n' "$@" | sort)
if [ "$exports" != "$wanted" ]; then
    echo "$module exports:"; printf '  %s\n' $exports
    echo "expected:"; printf '  %s\n' $wanted
    status=1
fi
exit $status
