#include "ui/options_dialog.h"

#include "automation/variant.h"

namespace ui {
namespace {

using platform::Control;
using platform::ControlKind;

constexpr char kApp[] = "SysML";
constexpr char kSection[] = "Options";

Control Frame(const char* name, const char* caption, platform::TwipsRect rect, int tab) {
  return platform::MakeControl(name, ControlKind::kFrame, caption, rect, tab);
}

Control CheckBox(const char* name, const char* caption, const char* frame, platform::TwipsRect rect,
                 int tab) {
  Control control = platform::MakeControl(name, ControlKind::kCheckBox, caption, rect, tab);
  control.parent = frame;
  return control;
}

Control Button(const char* name, const char* caption, platform::TwipsRect rect, int tab) {
  return platform::MakeControl(name, ControlKind::kButton, caption, rect, tab);
}

std::vector<Control> OptionsControls() {
  std::vector<Control> controls = {
      Frame("Frame2", "SysML Toolbox Visibility", {120, 120, 3495, 1095}, 8),
      CheckBox("chkShowAlways", "Show Always", "Frame2", {240, 240, 2295, 375}, 9),
      CheckBox("chkOnlyWithPerspective", "Only Show with SysML Perspective", "Frame2",
               {240, 600, 3015, 375}, 10),
      Frame("Frame1", "Element Compartment Visibility", {120, 1320, 3495, 1455}, 2),
      CheckBox("chkParts", "Parts", "Frame1", {240, 360, 1815, 195}, 3),
      CheckBox("chkFlowPorts", "Flow Ports", "Frame1", {240, 720, 1815, 195}, 4),
      CheckBox("chkParameters", "Parameters", "Frame1", {240, 1080, 1815, 195}, 5),
      CheckBox("chkRequirements", "Requirements", "Frame1", {1800, 360, 1455, 255}, 11),
      CheckBox("chkAllocatedTo", "Allocated To", "Frame1", {1800, 720, 1455, 195}, 6),
      CheckBox("chkAllocatedFrom", "Allocated From", "Frame1", {1800, 1080, 1575, 195}, 7),
      Button("cmdOK", "&OK", {1200, 2880, 1095, 375}, 0),
      Button("cmdCancel", "&Cancel", {2505, 2880, 1095, 375}, 1),
  };
  return controls;
}

struct StoredBox {
  const char* key;
  const char* check_box;
};

// The order in which OK writes the keys.
constexpr StoredBox kStored[] = {
    {"Parts", "chkParts"},
    {"FlowPorts", "chkFlowPorts"},
    {"Parameters", "chkParameters"},
    {"AllocatedTo", "chkAllocatedTo"},
    {"AllocatedFrom", "chkAllocatedFrom"},
    {"ShowAlways", "chkShowAlways"},
    {"ShowCompartmentRequirements", "chkRequirements"},
};

}  // namespace

OptionsDialog::OptionsDialog(platform::SettingsStore& settings)
    : Form("Quindle Technology for SysML - Options", 3765, 3390, OptionsControls()),
      settings_(settings) {}

void OptionsDialog::Load() {
  for (const StoredBox& box : kStored) {
    const std::string stored = settings_.GetSetting(kApp, kSection, box.key, "0");
    const int16_t value = automation::ConvertFrom(std::string("SysML option ") + box.key, [&] {
      return automation::Variant(stored).ToInt16();
    });
    if (value < 0 || value > 2) {
      throw automation::Error("Invalid property value: the stored setting " + std::string(box.key) +
                              " is " + stored + "; a check box takes 0, 1 or 2");
    }
    Mutable(box.check_box).value = value;
    if (std::string(box.key) == "ShowAlways") {
      Mutable("chkOnlyWithPerspective").value = value == 0 ? 1 : 0;
    }
  }
  vShowAlwaysAtLoad = Get("chkShowAlways").value;
  Mutable("chkAllocatedTo").enabled = false;
  Mutable("chkAllocatedFrom").enabled = false;
}

void OptionsDialog::Click(const std::string& control) {
  if (control == "cmdOK") return StoreAndClose();
  if (control == "cmdCancel") return Unload();
  const Control& box = Get(control);
  if (box.kind != ControlKind::kCheckBox || !box.enabled) return;
  SetValue(control, box.value == 0 ? 1 : 0);
}

void OptionsDialog::SetValue(const std::string& check_box, int value) {
  if (Get(check_box).value == value) return;
  Mutable(check_box).value = value;
  React(check_box);
}

void OptionsDialog::React(const std::string& check_box) {
  if (check_box == "chkShowAlways") {
    SetValue("chkOnlyWithPerspective", Get("chkShowAlways").value == 0 ? 1 : 0);
  } else if (check_box == "chkOnlyWithPerspective") {
    SetValue("chkShowAlways", Get("chkOnlyWithPerspective").value == 0 ? 1 : 0);
  }
}

void OptionsDialog::StoreAndClose() {
  for (const StoredBox& box : kStored) {
    settings_.SaveSetting(kApp, kSection, box.key, std::to_string(Get(box.check_box).value));
  }
  bShowAlwaysChanged = Get("chkShowAlways").value != vShowAlwaysAtLoad;
  Unload();
}

}  // namespace ui
