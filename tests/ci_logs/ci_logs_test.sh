#!/usr/bin/env bash
# orba's SARIF logs pass the SARIF 2.1.0 JSON schema (every format checked),
# for models under paths with a space, "#", "%" and letters outside ASCII: the
# example as its JSON document, as a model file imported from it, and a real
# XMI model. Two runs on the same document give the same log, and every
# finding of the JSON document points at the line of its item's "key". The
# JUnit report of the same runs passes the JUnit schema. Each finding's rule
# index points at its rule.
# Usage: ci_logs_test.sh ORBA SOURCE_ROOT SCHEMA JUNIT_SCHEMA XMI_MODEL
set -euo pipefail
orba=$1 source_root=$2 schema=$3 junit_schema=$4 xmi=$5
checker="$source_root/tests/ci_logs/check_sarif.mjs"
if [[ ! -d "$source_root/tests/ci_logs/node_modules/ajv-formats" ]]; then
  echo "the schema checker is not installed: run scripts/setup.sh" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
repo="$work/team repo #1 %20"
mkdir -p "$repo/models ü"
json="$repo/models ü/car #2 %é.json"
cp "$source_root/examples/sysml_example.json" "$json"
cp "$xmi" "$repo/models ü/logistics #3.xml"
cd "$repo"

# Exit 1: the example breaks rules on purpose.
validate() { "$orba" --ui none validate "$1" --format "${3:-sarif}" -o "$2" || [[ $? == 1 ]]; }
validate "models ü/car #2 %é.json" "$work/json.sarif"
validate "models ü/car #2 %é.json" "$work/again.sarif"
cmp "$work/json.sarif" "$work/again.sarif"
# Two imports of the same document give the same model file's log.
"$orba" --ui none import "models ü/car #2 %é.json" -o "models ü/car #2 %é.obx" > /dev/null
validate "models ü/car #2 %é.obx" "$work/obx.sarif"
"$orba" --ui none import "models ü/car #2 %é.json" -o "models ü/car #2 %é.obx" > /dev/null
validate "models ü/car #2 %é.obx" "$work/obx-again.sarif"
cmp "$work/obx.sarif" "$work/obx-again.sarif"
validate "models ü/logistics #3.xml" "$work/xmi.sarif"
node "$checker" "$schema" "$work/json.sarif" "$work/obx.sarif" "$work/xmi.sarif"
validate "models ü/car #2 %é.json" "$work/json.junit.xml" junit
validate "models ü/logistics #3.xml" "$work/xmi.junit.xml" junit
xmllint --noout --schema "$junit_schema" "$work/json.junit.xml" "$work/xmi.junit.xml"

python3 - "$work/json.sarif" "$json" <<'PYTHON'
import json, sys
log = json.load(open(sys.argv[1]))
lines = open(sys.argv[2], encoding="utf-8").read().split("\n")
run = log["runs"][0]
assert run["artifacts"][0]["location"]["uri"] == "models%20%C3%BC/car%20%232%20%25%C3%A9.json", run["artifacts"]
assert run["results"], "the example has findings"
for result in run["results"]:
    region = result["locations"][0]["physicalLocation"]["region"]
    line = lines[region["startLine"] - 1]
    column = region["startColumn"]
    assert line[column - 1:].startswith('"key"'), (region, line)
print(f"{len(run['results'])} findings at the lines of their keys")
# Every message of the SysML rules has help of its own, not the message again.
rules = run["tool"]["driver"]["rules"]
generic = [rule["id"] for rule in rules
           if rule["help"]["text"].startswith(rule["shortDescription"]["text"] + ".")]
assert not generic, generic
print(f"{len(rules)} rules, each with its own help")
wrong = [r["ruleId"] for r in run["results"] if rules[r["ruleIndex"]]["id"] != r["ruleId"]]
assert len(rules) > 1 and not wrong, wrong
PYTHON
