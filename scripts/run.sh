#!/usr/bin/env bash
# The product's main job: installs what is missing, builds the Windows
# deliverables for both architectures, records three sample applications in
# a Wine prefix of the project's own (build/wineprefix-demo) and starts
# Uninstall.exe. With a DISPLAY the dialog opens there. Without one it all
# runs on a private Xvfb: the German dialog is saved as a PNG screenshot;
# then one sample application is removed through UninstallDriver.exe, with
# screenshots of the dialog, the confirmation and the dialog afterwards, and
# the script prints which files were removed, which stayed and what the
# family key holds after Close.
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
    . "$root/scripts/lib/xvfb.sh"
    start_xvfb "$shots/.display"
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

# The id of the top-level window with that caption, polled for up to 30 s.
window_id() {
    local caption=$1 id=""
    for _ in $(seq 300); do
        id=$(xwininfo -root -tree 2>/dev/null | awk -v c="\"$caption\":" '$2 " " $3 == c || $2 == c {print $1; exit}')
        [ -n "$id" ] && break
        sleep 0.1
    done
    [ -n "$id" ] || { echo "the window \"$caption\" did not appear" >&2; exit 1; }
    echo "$id"
}

shot() {
    sleep 0.5 # let the first paint finish
    import -window "$1" "$2"
    echo "Screenshot: $2"
}

drive() { run "$bin/UninstallDriver.exe" "$@" | tr -d '\r'; }

# The German dialog: recorded, shown, saved, and ended by stopping the
# prefix's wineserver.
record D
run "$uninstaller" &
pid=$!
shot "$(window_id "Vintora Entfernen")" "$shots/uninstall-de.png"
run --stop
wait "$pid" || true

# The whole flow in English, from a clean state: remove one application
# through the driver.
run reg delete 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Vintora Version 10.0' /f >/dev/null 2>&1 || true
rm -rf "$prefix/drive_c/Program Files/Vintora" "$prefix/drive_c/users/Public/Desktop/"Vintora*.lnk
record E
tpl="$prefix/drive_c/Program Files/Vintora/Web Studio/Templates"
mkdir -p "$tpl" && touch "$tpl/Letter.tpl" "$tpl/Invoice.tpl"
files() { (cd "$prefix/drive_c" && find "Program Files/Vintora" "users/Public/Desktop" -type f | sort); }
before=$(files)

run "$uninstaller" &
pid=$!
shot "$(window_id "Vintora Uninstall")" "$shots/uninstall-en.png"
drive select "Vintora Web Studio"
echo "Question: $(drive remove)"
shot "$(window_id "Vintora")" "$shots/uninstall-confirm.png"
echo "Answering yes; the messages shown:"
drive answer yes | sed 's/^/  /'
echo "Still listed:"
drive list | sed 's/^/  /'
shot "$(window_id "Vintora Uninstall")" "$shots/uninstall-after.png"
drive close
wait "$pid" || true

after=$(files)
echo "Removed (C:\\...):"
comm -23 <(echo "$before") <(echo "$after") | sed 's/^/  /'
echo "Stayed:"
comm -12 <(echo "$before") <(echo "$after") | sed 's/^/  /'
echo "Registry after Close:"
run reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Vintora Version 10.0' /s |
    tr -d '\r' | grep -E 'App[0-9]+$|AppName|UninstallString' | sed 's/^/  /'
