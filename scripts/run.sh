#!/usr/bin/env bash
# The product's main job: installs what is missing, builds the Windows
# deliverables for both architectures and says what it built.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"

for preset in win32 win64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)" >/dev/null
done

echo "Built:"
shopt -s nullglob
for f in build/win32/bin/*.exe build/win32/bin/*.dll build/win64/bin/*.exe build/win64/bin/*.dll \
    build/win32/lib/*.a build/win64/lib/*.a; do
    case "$(basename "$f")" in
    *test* | libg* | *gmock*) continue ;;
    esac
    printf '  %-40s %s\n' "$f" "$(file -b "$f" | cut -d, -f1)"
done
