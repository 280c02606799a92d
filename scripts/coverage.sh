#!/usr/bin/env bash
# Builds the project with clang's source-based coverage, runs the whole test
# suite and exports per-line and per-branch coverage of src/ as an lcov trace:
# build-coverage/coverage.lcov, with a per-file summary in
# build-coverage/coverage.txt.
#   scripts/coverage.sh [--compare BASELINE]   also list what BASELINE covered
#                                              and this run does not (exit 1)
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-coverage
cmake --preset coverage >/dev/null
cmake --build --preset coverage

# Every process (test programs and the orba runs they start) merges its
# counts into a small pool of files, so thousands of runs stay a few files.
rm -rf "$build/profiles"
mkdir -p "$build/profiles"
LLVM_PROFILE_FILE="$PWD/$build/profiles/%4m.profraw" ctest --preset coverage -j2 >"$build/ctest.log" ||
  { tail -40 "$build/ctest.log"; exit 1; }
llvm-profdata merge -sparse "$build"/profiles/*.profraw -o "$build/coverage.profdata"

objects=()
for program in "$build"/bin/orba "$build"/bin/*_test "$build"/bin/*.so; do
  objects+=(-object "$program")
done
llvm-cov export -format=lcov -instr-profile="$build/coverage.profdata" \
  "${objects[@]}" -ignore-filename-regex='(/usr/|/tests/|/build-coverage/)' >"$build/coverage.lcov"
scripts/coverage.py summary "$build/coverage.lcov" >"$build/coverage.txt"
tail -1 "$build/coverage.txt"

if [[ "${1:-}" == "--compare" ]]; then
  scripts/coverage.py compare "$build/coverage.lcov" "$2"
fi
