#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time:
# bash scripts/fuzz.sh [SECONDS_PER_TARGET]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh"

build="$root/build/fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DWRENPAD_FUZZ=ON -DWRENPAD_BUILD_GUI=OFF -DWRENPAD_BUILD_TESTS=OFF \
    -DFUZZ_SECONDS="${1:-60}"
cmake --build "$build" -j "$(nproc)" --target run-fuzz
