#!/usr/bin/env bash
# The mutation run of the whole suite, as docs/quality/ records it: builds
# build-mutants/ (lightly optimised, no debug information: each mutant
# rebuilds one file and relinks what uses it), runs every mutant of
# scripts/mutants.py into build-mutants/mutants.txt and lists the mutants
# the recorded run killed and this one did not (exit 1 if any). About an
# hour on two cores; a stopped run resumes where it stopped.
#   scripts/mutants.sh [ID...]     only the mutants named
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-mutants
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS="-O1 -g0" \
  "${launcher[@]}" >/dev/null
cmake --build "$build" >/dev/null
only=()
[[ $# -gt 0 ]] && only=(--only "$@")
python3 scripts/mutants.py run "$build" "${only[@]}" --out "$build/mutants.txt"
python3 scripts/mutants.py compare docs/quality/mutants-before.txt "$build/mutants.txt" \
  --moved docs/quality/mutants-moved.txt
