#!/usr/bin/env bash
# The main job: installs what the project needs, builds the add-in and the
# reference host, and runs the host with the SysML add-in on the bundled
# example model: the validation report, the allocation table, the
# compartments of a few elements, its diagrams drawn as SVG, the report
# sites of the example and of a real XMI model, and the model's round trip
# through XMI.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default

orba=build/bin/orba
model="build/bin/SysML Example.obx"
export ORBA_UI=none

echo
echo "== Validation of the example model (its \"Rule Violations\" package breaks every rule on purpose) =="
status=0
"$orba" validate "$model" || status=$?
echo "(orba validate exited with $status: 0 clean, 1 violations reported, 2 error)"

echo
echo "== SysML Allocations =="
"$orba" search "$model" "SysML Allocations"

echo
echo "== Compartments (all switched on, in a settings folder of this run only) =="
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
settings="$work/config"
mkdir -p "$settings/orba"
printf '[Options]\nParts=1\nFlowPorts=1\nParameters=1\nShowCompartmentRequirements=1\n' \
  >"$settings/orba/SysML.ini"
for element in "HybridElectricVehicle" "FuelConsumptionEquation" "Battery Safety"; do
  XDG_CONFIG_HOME="$settings" "$orba" compartments "$model" "$element"
  echo
done

echo "== The diagrams, drawn into build/diagrams =="
"$orba" render "$model" --all -o build/diagrams
ls build/diagrams

echo "== The report sites: build/report/index.html (the example, compartments switched on) and"
echo "   build/report-xmi/index.html (a real XMI model of another tool, read where it lies) =="
XDG_CONFIG_HOME="$settings" "$orba" report "$model" -o build/report
xmi=../shared/realdata/xmi/papyrus-unit-samples/SysML_Satisfy_TEST.uml
if [[ -f "$xmi" ]]; then "$orba" report "$xmi" -o build/report-xmi; fi

echo "== The example model through XMI: exported, imported back and validated =="
"$orba" export "$model" --format xmi -o "$work/example.xmi"
"$orba" import "$work/example.xmi" -o "$work/from-xmi.obx" >"$work/import-report.txt"
head -n 1 "$work/import-report.txt"
"$orba" validate "$model" --format json >"$work/before.json" || [[ $? == 1 ]]
"$orba" validate "$work/from-xmi.obx" --format json >"$work/after.json" || [[ $? == 1 ]]
python3 scripts/same_findings.py "$work/before.json" "$work/after.json"
