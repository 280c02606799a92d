#!/usr/bin/env bash
# Runs a validation and a search of the example model under valgrind and fails
# on any leak or memory error. Needs a built tree (scripts/test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
orba=build/bin/orba
model="build/bin/SysML Example.obx"
export ORBA_UI=none
run() {
  local status=0
  valgrind --quiet --leak-check=full --show-leak-kinds=definite,indirect \
    --errors-for-leak-kinds=definite,indirect --error-exitcode=99 "$orba" "$@" >/dev/null || status=$?
  if [[ $status -eq 99 ]]; then echo "leak-check: valgrind found errors in: orba $*"; exit 1; fi
  echo "leak-check: orba $* is clean (exit $status)"
}
run validate "$model"
run search "$model" "SysML Allocations"
