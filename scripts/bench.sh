#!/usr/bin/env bash
# Builds the benchmarks (optimised) and runs them: all, or the subjects named
# as arguments (bash scripts/bench.sh textbuffer regex).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh"

build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
if [ $# -eq 0 ]; then
    cmake --build "$build" -j "$(nproc)" --target run-bench
else
    for subject in "$@"; do
        cmake --build "$build" -j "$(nproc)" --target "run-bench-$subject"
    done
fi
