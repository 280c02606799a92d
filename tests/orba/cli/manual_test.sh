#!/usr/bin/env bash
# `orba man` is a manual page groff reads without a warning, and it has a
# section for every command `orba --help` lists, with that command's options.
# Usage: manual_test.sh ORBA
set -euo pipefail
orba=$1
page=$("$orba" man)
warnings=$(groff -man -Tutf8 -ww -z <<<"$page" 2>&1)
[[ -z $warnings ]] || { echo "groff: $warnings" >&2; exit 1; }
rendered=$(groff -man -Tutf8 -P-cbou <<<"$page")
commands=$("$orba" --help | awk '/^Subcommands:/ { listed = 1; next } listed && NF { print $1 }')
for command in $commands; do
  grep -q "^   $command$" <<<"$rendered" || { echo "no section for $command" >&2; exit 1; }
done
grep -q -- "--fail-on TEXT:{warning,error,never}" <<<"$rendered" ||
  { echo "validate's --fail-on is missing" >&2; exit 1; }
echo "$(wc -w <<<"$commands") commands in the manual page"
