#!/usr/bin/env bash
# The plug-in's outward interface as the host's loader sees it: exactly the
# four sound exports and the map iteration entry point (stdcall-decorated in
# the 32-bit build) and exactly one import, Vintora90, from the host's core
# library.
#   check-plugin-pe.sh OBJDUMP BINDIR MACHINE   (MACHINE: i386 or x86-64)
set -euo pipefail
export LC_ALL=C # the expected lists are in byte order
objdump=$1 bindir=$2 machine=$3

if [ "$machine" = i386 ]; then
    plugin=Chimora32.dll core=Corvane32D.dll
    exports=$'_CMapPtrToPtrEx_GetStartPosition@4\n_ChimoraIsSupported@0\n_ChimoraIsTurnedOn@0\n_ChimoraSetup@0\n_ChimoraTurnOn@4'
    imports='_Vintora90@8'
else
    plugin=Chimora64.dll core=Corvane64D.dll
    exports=$'CMapPtrToPtrEx_GetStartPosition\nChimoraIsSupported\nChimoraIsTurnedOn\nChimoraSetup\nChimoraTurnOn'
    imports='Vintora90'
fi

info=$("$objdump" -p "$bindir/$plugin")
status=0
expect() {
    if [ "$2" != "$3" ]; then
        printf '%s: %s\n  expected: %s\n  found:    %s\n' "$plugin" "$1" "${2//$'\n'/ }" "${3//$'\n'/ }"
        status=1
    fi
}

got=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^\s*\[ *[0-9]*\] //p' <<<"$info" | sort)
expect "exports" "$exports" "$got"

got=$(sed -n 's/^\s*DLL Name: //p' <<<"$info" | grep -ix "$core" || true)
expect "import of the core library" "$core" "$got"

got=$(sed -n "/^\s*DLL Name: $core/,/^\$/p" <<<"$info" | awk 'NR > 2 && NF { print $NF }' | sort)
expect "functions imported from $core" "$imports" "$got"
exit $status
