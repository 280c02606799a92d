#!/usr/bin/env bash
# An installed tree works where it is put and after it is moved: orba finds
# the add-in through the registry installed beside it (which names the module
# relative to itself), the add-in opens the example model installed beside
# it, and every installed file is in the install manifest.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/first" > /dev/null
mv "$work/first" "$work/moved tree"
root="$work/moved tree"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
unset ORBA_REGISTRY

version=$("$root/bin/orba" --version)
grep -q "add-in SysML (Tessary.CTessary): $root/lib/tessary/libtessary.so, " <<<"$version" ||
  { echo "the moved tree's module is not the one found: $version" >&2; exit 1; }
opened=$("$root/bin/orba" --ui none click "Open SysML &Example Model")
grep -q "opened model $root/lib/tessary/SysML Example.obx" <<<"$opened" ||
  { echo "the example model was not opened from the moved tree: $opened" >&2; exit 1; }

# Every file installed is listed, so that an uninstall removes it.
manifest="$build/install_manifest.txt"
(cd "$work" && find "moved tree" -type f -o -type l) | sed "s|^moved tree|$work/first|" | sort > "$work/installed"
sort "$manifest" > "$work/listed"
missing=$(comm -23 "$work/installed" "$work/listed")
[[ -z $missing ]] || { echo "installed but not in the manifest: $missing" >&2; exit 1; }
echo "the moved install works; $(wc -l < "$work/listed") files, all in the manifest"
