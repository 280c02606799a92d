#!/usr/bin/env bash
# An installed tree works where it is put and after it is moved: orba finds
# the add-in through the registry installed with it (which names the module
# relative to itself), the add-in opens the example model installed beside
# it, and every installed file is in the install manifest. Without the Qt
# module the headless commands load no Qt library and `--ui qt` fails with
# exit 2 and the reason; with it, on a virtual X display, the options dialog
# is a window that Enter closes, storing the options.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "$*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/first" > /dev/null
mv "$work/first" "$work/moved tree"
root="$work/moved tree"
model="$root/lib/tessary/SysML Example.obx"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
unset ORBA_REGISTRY ORBA_UI

moved_tree_finds_its_module_and_example() {
  local version opened
  version=$("$root/bin/orba" --version)
  grep -q "add-in SysML (Tessary.CTessary): $root/lib/tessary/libtessary.so, " <<<"$version" ||
    fail "the moved tree's module is not the one found: $version"
  opened=$("$root/bin/orba" --ui none click "Open SysML &Example Model")
  grep -q "opened model $model" <<<"$opened" ||
    fail "the example model was not opened from the moved tree: $opened"
}

every_installed_file_is_in_the_manifest() {
  local missing
  (cd "$work" && find "moved tree" -type f -o -type l) | sed "s|^moved tree|$work/first|" |
    sort > "$work/installed"
  sort "$build/install_manifest.txt" > "$work/listed"
  missing=$(comm -23 "$work/installed" "$work/listed")
  [[ -z $missing ]] || fail "installed but not in the manifest: $missing"
}

# A display is set, so Qt would be the default: without the module the
# console stands in, and the dynamic loader never opens a Qt library.
headless_commands_load_no_qt() {
  local copy="$work/headless" status
  cp -a "$root" "$copy"
  rm "$copy/lib/tessary/libtessary_qt.so"
  local copied_model="$copy/lib/tessary/SysML Example.obx"
  local commands=("validate|$copied_model" "search|$copied_model|SysML Allocations"
                  "compartments|$copied_model|HybridElectricVehicle" "menu|$copied_model" "export|$copied_model")
  for command in "${commands[@]}"; do
    IFS='|' read -r -a arguments <<<"$command"
    status=0
    DISPLAY=:99 LD_DEBUG=libs "$copy/bin/orba" "${arguments[@]}" > /dev/null 2> "$work/loaded" ||
      status=$?
    ((status <= 1)) || fail "orba ${arguments[0]} failed without Qt: $(tail -3 "$work/loaded")"
    ! grep -q "libQt6" "$work/loaded" || fail "orba ${arguments[0]} loaded Qt: $(grep -m1 libQt6 "$work/loaded")"
  done
  status=0
  "$copy/bin/orba" --ui qt menu > /dev/null 2> "$work/refused" || status=$?
  ((status == 2)) || fail "--ui qt without the Qt module exited $status"
  grep -q "cannot show Qt windows: .*libtessary_qt.so: cannot open shared object file" "$work/refused" ||
    fail "--ui qt without the Qt module gave no reason: $(cat "$work/refused")"
}

options_dialog_is_a_window_on_a_virtual_display() {
  if ! command -v Xvfb > /dev/null || ! command -v xdotool > /dev/null; then
    echo "skipped the window check: Xvfb and xdotool are not installed"
    return
  fi
  local window settings="$XDG_CONFIG_HOME/orba/SysML.ini"
  Xvfb -displayfd 3 -noreset 3> "$work/display" 2> /dev/null &
  timeout 20 bash -c "until [[ -s '$work/display' ]]; do sleep 0.1; done" ||
    fail "Xvfb did not start"
  export DISPLAY=":$(cat "$work/display")"
  "$root/bin/orba" --ui qt options 2> "$work/options.err" &
  local orba=$!
  window=$(timeout 30 xdotool search --sync --name "^Quindle Technology for SysML - Options$") ||
    fail "the options window was not shown: $(cat "$work/options.err")"
  xdotool windowfocus --sync "$window" key Return
  wait "$orba" || fail "orba options failed: $(cat "$work/options.err")"
  grep -q "^ShowAlways=" "$settings" || fail "OK did not store the options in $settings"
  unset DISPLAY
}

moved_tree_finds_its_module_and_example
every_installed_file_is_in_the_manifest
headless_commands_load_no_qt
options_dialog_is_a_window_on_a_virtual_display
echo "the moved install works ($(wc -l < "$work/listed") files, all in the manifest)," \
     "runs headless without Qt and shows its options window"
