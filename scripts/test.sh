#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every suite.
# Ends with one line "N passed, N failed" summed over all suites and exits
# non-zero when anything failed (a preset that does not build counts as one
# failure). Starts its own Xvfb and stops only its own prefix's wineserver.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh" || exit 1

presets=(${CHIMORA_PRESETS:-native native-asan native-tsan fuzz win64 win32})
prefix="$root/build/wineprefix"
logdir="$root/build/logs"
mkdir -p "$logdir"

xvfb_pid=""
cleanup() {
    "$root/scripts/wine-run" --prefix "$prefix" --stop
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -f "$logdir/display"
}
trap cleanup EXIT

# GUI tests need an X server; Wine must see DISPLAY from its first command.
. "$root/scripts/lib/xvfb.sh"
start_xvfb "$logdir/display" || exit 1

passed=0
failed=0
summary=()
for preset in "${presets[@]}"; do
    log="$logdir/$preset.log"
    echo "=== $preset"
    if ! { cmake --preset "$preset" && cmake --build --preset "$preset" -j "$(nproc)"; } >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "$preset: build failed (log: $log)"
        failed=$((failed + 1))
        summary+=("$preset: build failed")
        continue
    fi
    ctest --preset "$preset" -j "$(nproc)" 2>&1 | tee -a "$log" | grep -E -v '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed' || true
    line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)
    if [ -z "$line" ]; then
        echo "$preset: no test result (log: $log)"
        failed=$((failed + 1))
        summary+=("$preset: no test result")
        continue
    fi
    f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    t=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + t - f))
    failed=$((failed + f))
    summary+=("$preset: $((t - f)) passed, $f failed")
done

echo
printf '%s\n' "${summary[@]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
