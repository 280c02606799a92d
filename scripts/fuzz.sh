#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for a bounded time (default 60 s,
# or $1) on its corpus in fuzz/corpus/NAME. New inputs go to a scratch folder;
# a crash leaves its input in build-fuzz/ and fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

cmake --preset fuzz >/dev/null
targets=(ini_file_fuzz compartment_data_fuzz model_item_attribute_fuzz allocation_search_fuzz json_import_fuzz)
cmake --build build-fuzz --target "${targets[@]}"

for target in "${targets[@]}"; do
  corpus="fuzz/corpus/${target%_fuzz}"
  scratch="build-fuzz/corpus/${target%_fuzz}"
  mkdir -p "$scratch"
  echo "== $target for ${seconds}s"
  (cd build-fuzz && "./bin/$target" -max_total_time="$seconds" -print_final_stats=1 \
      "../$scratch" "../$corpus" 2>&1 | tail -n 12)
done
