#!/usr/bin/env bash
# Builds the project with clang's source-based coverage (and AddressSanitizer +
# UndefinedBehaviorSanitizer: CI's one sanitized run), runs the whole test
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

# As in test.sh --sanitize: known leaks of system libraries are not reported.
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0"
# Every process (test programs and the orba runs they start) merges its
# counts into a small pool of files, so thousands of runs stay a few files
# (one file per process id would be overwritten when ids wrap around).
rm -rf "$build/profiles"
mkdir -p "$build/profiles"
LLVM_PROFILE_FILE="$PWD/$build/profiles/%4m.profraw" ctest --preset coverage -j2 >"$build/ctest.log" ||
  { tail -40 "$build/ctest.log"; exit 1; }
# A process the tests kill on purpose (an interrupted write) may leave a torn
# file: it is skipped, and said so.
find "$build/profiles" -name '*.profraw' >"$build/profiles.txt"
llvm-profdata merge -sparse --failure-mode=all -f "$build/profiles.txt" \
  -o "$build/coverage.profdata"

# (Compiled through ccache with a base folder, sources read "build-coverage/../src/...".)
# One export per program, joined: exported together, a function compiled into
# several programs with different hashes would count in none of them.
# Only the programs ctest runs today: the folder may still hold programs of
# removed tests, whose stale line tables would map today's counts wrongly.
# (Tests that are scripts in the source tree run orba, which is exported anyway.)
programs=$(ctest --test-dir "$build" --show-only=json-v1 | python3 -c '
import json, os, sys
bin = os.path.realpath(sys.argv[1])
print(*sorted({os.path.basename(t["command"][0]) for t in json.load(sys.stdin)["tests"]
               if os.path.dirname(os.path.realpath(t["command"][0])) == bin}))' "$build/bin")
for program in "$build"/bin/orba "$build"/bin/*.so $(printf "$build/bin/%s " $programs); do
  llvm-cov export -format=lcov -instr-profile="$build/coverage.profdata" "$program" \
    -ignore-filename-regex='(/usr/|/tests/|build-coverage/[^.])' 2>/dev/null
done >"$build/coverage.lcov"
scripts/coverage.py summary "$build/coverage.lcov" >"$build/coverage.txt"
tail -1 "$build/coverage.txt"

if [[ "${1:-}" == "--compare" ]]; then
  scripts/coverage.py compare "$build/coverage.lcov" "$2"
fi
