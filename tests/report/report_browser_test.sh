#!/usr/bin/env bash
# The report sites of the example model and of a real XMI model, each opened
# from file:// in Debian's headless chromium by browser_test.mjs. Their
# screenshots go to SHOTS (CI keeps build/artifacts).
# Usage: report_browser_test.sh ORBA SOURCE_ROOT SHOTS EXAMPLE_MODEL XMI_MODEL XMI_ELEMENT
set -euo pipefail
orba=$1 source_root=$2 shots=$3 example=$4 xmi=$5 xmi_element=$6
tests="$source_root/tests/report"
if [[ ! -d "$tests/node_modules/playwright-core" ]] || ! command -v chromium > /dev/null; then
  echo "the browser test needs chromium and playwright-core: run scripts/setup.sh" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" # the add-in's default options, not the user's
status=0
check() { # NAME MODEL ELEMENT
  "$orba" --ui none report "$2" -o "$work/$1" > /dev/null
  mkdir -p "$shots/$1"
  echo "== $1"
  node "$tests/browser_test.mjs" "$work/$1" "$shots/$1" "$3" || status=1
}
check example "$example" HybridElectricVehicle
check xmi "$xmi" "$xmi_element"
exit $status
