#!/usr/bin/env bash
# Builds the editor (optimised) and starts it; arguments are passed to the editor.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh"

build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j "$(nproc)"
exec "$build/src/wrenpad" "$@"
