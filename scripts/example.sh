#!/usr/bin/env bash
# The main job: installs what the project needs, builds it, and runs the
# reference host with the SysML add-in: creating the add-in by its ProgID,
# connecting it and showing its menu.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default

orba=build/bin/orba
echo
echo "== The SysML menu with no model open =="
"$orba" menu
