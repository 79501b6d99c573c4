#!/usr/bin/env bash
# The product's main job: installs what is missing, builds the Windows
# deliverables for both architectures, records three sample applications in
# a Wine prefix of the project's own (build/wineprefix-demo) and starts
# Uninstall.exe. With a DISPLAY the dialog opens there; without one the
# dialog is shown on a private Xvfb and saved as PNG screenshots, in English
# and in German, whose paths are printed.
#
# The 32-bit build is the product; on machines that cannot run 32-bit code
# (scripts/can-run-win32) the 64-bit build of the same sources is run.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"

for preset in win32 win64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)" >/dev/null
done

bin=build/win32/bin
"$root/scripts/can-run-win32" || bin=build/win64/bin
prefix="$root/build/wineprefix-demo"
shots="$root/build/screenshots"
run() { "$root/scripts/wine-run" --prefix "$prefix" "$@"; }
winpath() { printf 'Z:%s' "$(realpath "$1" | tr / '\\')"; }

xvfb_pid=""
cleanup() {
    run --stop
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    return 0
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
    mkdir -p "$shots"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$shots/.display" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$shots/.display" ] && break
        sleep 0.1
    done
    [ -s "$shots/.display" ] || { echo "Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$(head -n1 "$shots/.display")"
    headless=1
else
    headless=0
fi

# Records the samples (and a copy of Uninstall.exe in each application's
# folder, as the installer leaves one) with the given language.
record() {
    run "$bin/InstallerStandIn.exe" --language "$1" --uninstaller "$(winpath "$bin/Uninstall.exe")" \
        "$(winpath outside/samples/three-apps.ini)"
}
uninstaller="$prefix/drive_c/Program Files/Vintora/Designer/Uninstall.exe"

if [ "$headless" = 0 ]; then
    record E
    echo "Starting $uninstaller on $DISPLAY"
    run "$uninstaller"
    exit 0
fi

# Waits for the dialog, saves it, and ends the run by stopping the prefix's
# wineserver (there is no one to press Close).
screenshot() {
    local caption=$1 out=$2 id="" pid
    run "$uninstaller" &
    pid=$!
    for _ in $(seq 300); do
        id=$(xwininfo -root -tree 2>/dev/null | awk -v c="\"$caption\":" '$2 " " $3 == c {print $1; exit}')
        [ -n "$id" ] && break
        sleep 0.1
    done
    [ -n "$id" ] || { echo "the dialog \"$caption\" did not appear" >&2; exit 1; }
    sleep 1 # let the first paint finish
    import -window "$id" "$out"
    run --stop
    wait "$pid" || true
    echo "Screenshot: $out"
}

record E
screenshot "Vintora Uninstall" "$shots/uninstall-en.png"
record D
screenshot "Vintora Entfernen" "$shots/uninstall-de.png"
