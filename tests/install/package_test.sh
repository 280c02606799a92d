#!/usr/bin/env bash
# The Debian packages of this build: cpack makes orba, orba-qt and orba-dev;
# lintian finds no error in them; unpacked into a temporary root, the orba
# found there validates the example model found there as the build's own
# orba does, and loads the Qt module only from orba-qt.
# Usage: package_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*" >&2; exit 1; }
for tool in cpack dpkg-deb dpkg-shlibdeps lintian; do
  command -v "$tool" > /dev/null || fail "$tool is not installed (scripts/setup.sh installs it)"
done

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/debs" > cpack.log 2>&1) ||
  fail "cpack failed: $(tail -5 "$work/cpack.log")"
debs=("$work"/debs/*.deb)
((${#debs[@]} == 3)) || fail "expected three packages, cpack made: ${debs[*]}"

lintian --fail-on error --tag-display-limit 0 "${debs[@]}" > "$work/lintian.log" 2>&1 ||
  fail "lintian: $(grep '^E:' "$work/lintian.log" || cat "$work/lintian.log")"
grep '^W:' "$work/lintian.log" || true

unpack() { dpkg-deb -x "$work/debs/$1"_*.deb "$work/$2"; }
unpack orba root
root="$work/root"
model="$root/usr/lib/tessary/SysML Example.obx"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" ORBA_UI=none
unset ORBA_REGISTRY DISPLAY WAYLAND_DISPLAY

version=$("$root/usr/bin/orba" --version)
grep -q "add-in SysML (Tessary.CTessary): $root/usr/lib/tessary/libtessary.so, " <<<"$version" ||
  fail "the unpacked orba does not find the unpacked add-in: $version"
"$root/usr/bin/orba" validate "$model" --format json > "$work/unpacked.json" || [[ $? == 1 ]]
"$build/bin/orba" validate "$build/bin/SysML Example.obx" --format json > "$work/built.json" ||
  [[ $? == 1 ]]
python3 "$source/scripts/same_findings.py" "$work/built.json" "$work/unpacked.json" > /dev/null ||
  fail "the unpacked orba's findings differ from the build's"

# orba alone cannot show Qt windows; with orba-qt unpacked beside it, it loads Qt.
status=0
"$root/usr/bin/orba" --ui qt menu > /dev/null 2>&1 || status=$?
((status == 2)) || fail "--ui qt without orba-qt exited $status"
unpack orba-qt root
LD_DEBUG=libs "$root/usr/bin/orba" --ui qt menu > /dev/null 2> "$work/loaded"
grep -q "libQt6Widgets" "$work/loaded" || fail "--ui qt with orba-qt did not load Qt"
echo "packages: $(cd "$work/debs" && echo *.deb); lintian: no errors"
