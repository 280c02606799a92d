#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with. Idempotent:
# packages already installed are skipped, so a second run installs nothing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  libpugixml-dev libxml2-dev libxml2-utils libsqlite3-dev zlib1g-dev libzip-dev uuid-dev
  libcli11-dev nlohmann-json3-dev libfmt-dev
  libgtest-dev libgmock-dev libbenchmark-dev valgrind
  qt6-base-dev qt6-qpa-plugins fonts-liberation2 xvfb xauth
  clang-format-14 llvm python3 nodejs groff-base
  dpkg-dev lintian xdotool
  libcairo2-dev libpango1.0-dev libgraphviz-dev
  libpq-dev postgresql-15
  chromium
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]} == 0)); then
  echo "setup: all ${#packages[@]} packages are installed"
else
  echo "setup: installing ${missing[*]}"
  sudo=""
  if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  if ! $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"; then
    $sudo apt-get update -q
    $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
fi

# The test tools from npm, as each folder's package-lock.json pins them: the
# SARIF schema checker (Ajv) and the browser driver of the report test
# (playwright-core, which drives Debian's chromium and downloads no browser).
for tool in ci_logs report; do
  folder="$(cd "$(dirname "$0")/.." && pwd)/tests/$tool"
  if [[ ! -f "$folder/node_modules/.package-lock.json" ||
        "$folder/package-lock.json" -nt "$folder/node_modules/.package-lock.json" ]]; then
    echo "setup: installing the npm packages of tests/$tool"
    npm ci --prefix "$folder" --no-audit --no-fund --loglevel=error
  fi
done
