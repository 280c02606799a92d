#!/usr/bin/env bash
# The script `orba completion bash` prints completes commands, then each
# command's options and the global ones, skipping the values of global options.
# Usage: completion_test.sh ORBA
set -euo pipefail
eval "$("$1" completion bash)"
complete_words() {  # the completions of the last word of "$@"
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMPREPLY=()
  _orba
  echo "${COMPREPLY[*]}"
}
expect() {
  local got
  got=$(complete_words "${@:2}")
  [[ $got == "$1" ]] || { echo "completing \"${*:2}\": expected \"$1\", got \"$got\"" >&2; exit 1; }
}
expect "validate" orba val
expect "--format --fail-on" orba --ui none validate --f
expect "--format" orba search car.obx --fo
expect "--quiet" orba validate --qu
expect "" orba --ui ""
expect "compartments completion" orba comp
echo "completion works"
