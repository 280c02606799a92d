#!/usr/bin/env bash
# Installs what the tests need, builds the project and runs the whole test
# suite. With --sanitize, builds and runs it under AddressSanitizer +
# UndefinedBehaviorSanitizer instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh  # idempotent: the packages and npm tools the tests need

preset=default
if [[ "${1:-}" == "--sanitize" ]]; then
  preset=sanitize
  # print_suppressions=0: a suppressed leak prints nothing, so checks of what
  # a run wrote on stderr hold under the sanitizers too.
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0"
fi

# Tests register the module and write settings only into their own temporary
# folders; the build's own registration goes to a registry inside the build tree.
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" -j2
