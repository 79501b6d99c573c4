#!/usr/bin/env bash
# Runs the benchmarks: the map core against its peer natively and under Wine
# (64-bit build), then the uninstaller's removal under Wine. Extra arguments
# go to the map benchmark (e.g. --benchmark_filter=Lookup).
#
# Google Benchmark for the Windows build is compiled from Debian's source
# package, fetched once into build/deps (needs the Debian mirror; the native
# build uses the installed libbenchmark-dev).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"

deps="$root/build/deps"
shopt -s nullglob
found=("$deps"/benchmark-*/CMakeLists.txt)
if [ ${#found[@]} -eq 0 ]; then
    mkdir -p "$deps/lists/partial"
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
        "http://deb.debian.org/debian bookworm main" >"$deps/sources.list"
    apt_opts=(-o Dir::Etc::SourceList="$deps/sources.list" -o Dir::Etc::SourceParts=/dev/null
              -o Dir::State::Lists="$deps/lists" -o APT::Sandbox::User=root)
    apt-get "${apt_opts[@]}" update -qq
    (cd "$deps" && apt-get "${apt_opts[@]}" source --download-only -qq benchmark)
    tar xzf "$deps"/benchmark_*.orig.tar.gz -C "$deps"
    found=("$deps"/benchmark-*/CMakeLists.txt)
fi
source_dir=$(dirname "${found[0]}")

cmake -S . -B build/bench-native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench-native --target collections_bench -j "$(nproc)" >/dev/null
cmake -S . -B build/bench-win64 -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake" \
    -DCHIMORA_WINEPREFIX="$root/build/wineprefix-bench" -DCHIMORA_BENCHMARK_SOURCE="$source_dir" >/dev/null
cmake --build build/bench-win64 --target collections_bench uninstall_removal_bench -j "$(nproc)" >/dev/null

run() { "$root/scripts/wine-run" --prefix "$root/build/wineprefix-bench" "$@"; }
trap 'run --stop' EXIT

echo "=== map core, native"
build/bench-native/bin/collections_bench --benchmark_color=false "$@"
echo "=== map core, Windows x86-64 under Wine"
run build/bench-win64/bin/collections_bench.exe --benchmark_color=false "$@"
echo "=== uninstaller removal, Windows x86-64 under Wine"
run build/bench-win64/bin/uninstall_removal_bench.exe
