#!/usr/bin/env bash
# Every program and library we build must run under Wine with nothing beside
# it: the right machine type, and imports only from system DLLs and our own.
#   check-pe-deps.sh OBJDUMP BINDIR MACHINE   (MACHINE: i386 or x86-64)
set -euo pipefail
objdump=$1 bindir=$2 machine=$3

system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|msvcrt|winmm|shlwapi|version|uuid|ws2_32|api-ms-win-.*)\.dll$'
status=0
shopt -s nullglob nocaseglob
own=$(cd "$bindir" && ls *.dll 2>/dev/null | tr 'A-Z' 'a-z' || true)
for f in "$bindir"/*.exe "$bindir"/*.dll; do
    info=$("$objdump" -p "$f")
    fmt=$(grep -m1 -o 'file format [a-z0-9-]*' <<<"$info" | awk '{print $3}')
    case "$machine:$fmt" in
    i386:pei-i386 | x86-64:pei-x86-64) ;;
    *)
        echo "$(basename "$f"): file format $fmt, expected $machine"
        status=1
        ;;
    esac
    while read -r dll; do
        low=$(tr 'A-Z' 'a-z' <<<"$dll")
        if ! [[ $low =~ $system_dlls ]] && ! grep -qxF "$low" <<<"$own"; then
            echo "$(basename "$f"): imports $dll"
            status=1
        fi
    done < <(sed -n 's/^\s*DLL Name: //p' <<<"$info")
done
exit $status
