#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for a bounded time (default 60 s,
# or $1) on its corpus in fuzz/corpus/NAME. New inputs go to a scratch folder;
# a crash leaves its input in build-fuzz/, prints the error and fails the run.
# The XMI reader also gets the real models of ../shared/realdata/xmi as seeds,
# read where they are, when that folder exists.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

cmake --preset fuzz >/dev/null
targets=(ini_file_fuzz compartment_data_fuzz model_item_attribute_fuzz allocation_search_fuzz json_import_fuzz
  xmi_import_fuzz)
cmake --build build-fuzz --target "${targets[@]}"

for target in "${targets[@]}"; do
  corpus="fuzz/corpus/${target%_fuzz}"
  scratch="build-fuzz/corpus/${target%_fuzz}"
  mkdir -p "$scratch"
  seeds=()
  if [[ $target == xmi_import_fuzz && -d ../shared/realdata/xmi ]]; then
    seeds=("$(cd ../shared/realdata/xmi && pwd)")
  fi
  echo "== $target for ${seconds}s"
  log="build-fuzz/$target.log"
  if (cd build-fuzz && "./bin/$target" -max_total_time="$seconds" -print_final_stats=1 \
      "../$scratch" "../$corpus" "${seeds[@]}" >"../$log" 2>&1); then
    tail -n 6 "$log"
  else
    # The finding: the error and its stack, without libFuzzer's progress lines.
    grep -v -e '^#[0-9]* *\(NEW\|REDUCE\|pulse\|INITED\|RELOAD\)' -e 'NEW_FUNC' "$log" | tail -n 60
    exit 1
  fi
done
