#!/usr/bin/env bash
# Measures line coverage of src/ by the whole test suite and prints it per folder.
#
#   scripts/coverage.sh [BUILD_DIR]          build with --coverage, run every test, print the table
#   scripts/coverage.sh --compare OLD NEW    lines covered in OLD's run but not in NEW's
#
# Each run leaves BUILD_DIR/coverage.json (gcovr's per-line data) and BUILD_DIR/coverage.tsv (the
# table); --compare takes two such coverage.json files. Not part of CI: a run takes as long as a
# clean build plus the suite.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

if [[ ${1:-} == --compare ]]; then
    [[ $# -eq 3 ]] || { echo "usage: $0 --compare OLD.json NEW.json" >&2; exit 2; }
    exec python3 "$root/scripts/coverage_table.py" --compare "$2" "$3"
fi

command -v gcovr >/dev/null || { echo "coverage.sh: gcovr is missing (apt-get install gcovr)" >&2; exit 1; }
build=${1:-$root/build/coverage}
flags=--coverage
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWRENPAD_SANITIZE=OFF \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
    -DCMAKE_SHARED_LINKER_FLAGS="$flags" -DCMAKE_MODULE_LINKER_FLAGS="$flags"
cmake --build "$build" -j "$(nproc)"
find "$build" -name '*.gcda' -delete
export QT_QPA_PLATFORM=offscreen
# headers_compile_alone only compiles headers: it runs nothing of src and takes minutes.
ctest --test-dir "$build" -j "$(nproc)" --output-on-failure -E headers_compile_alone || echo "coverage.sh: some tests failed; coverage still counted" >&2
gcovr --root "$root" --filter "$root/src/" --object-directory "$build" --gcov-ignore-parse-errors \
    --exclude-directories '.*/CMakeFiles/[0-9.]+/.*' \
    --json "$build/coverage.json" -j "$(nproc)"
python3 "$root/scripts/coverage_table.py" "$build/coverage.json" | tee "$build/coverage.tsv"
