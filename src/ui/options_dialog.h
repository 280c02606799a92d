// frmOptions: the add-in's options (which compartments show, and whether the
// SysML toolboxes show always or only with the SysML perspective), loaded from
// and stored to the settings store (application "SysML", section "Options").
#pragma once

#include "platform/settings_store.h"
#include "ui/form.h"

namespace ui {

class OptionsDialog : public Form {
 public:
  explicit OptionsDialog(platform::SettingsStore& settings);

  // Reads the seven keys into the check boxes. A stored value that is not a
  // whole number, or not 0, 1 or 2, fails the load.
  void Load() override;
  void Click(const std::string& control) override;
  void CloseBox() override { Unload(); }

  // True when OK stored a "Show Always" value other than the one loaded.
  bool IsShowAlwaysChanged() const { return bShowAlwaysChanged; }
  int Value(const std::string& check_box) const { return Get(check_box).value; }

 private:
  // Sets a check box; a change runs the box's click reaction, as a change of value does.
  void SetValue(const std::string& check_box, int value);
  void React(const std::string& check_box);
  void StoreAndClose();

  platform::SettingsStore& settings_;
  int vShowAlwaysAtLoad = 0;
  bool bShowAlwaysChanged = false;
};

}  // namespace ui
