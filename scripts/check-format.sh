#!/usr/bin/env bash
# Checks that every C++ file the repository tracks is formatted as
# .clang-format says (clang-format 14). With --fix, formats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [[ "${1:-}" == "--fix" ]]; then
  clang-format-14 -i "${files[@]}"
else
  clang-format-14 --dry-run --Werror "${files[@]}"
  echo "check-format: ${#files[@]} files are formatted"
fi
