// TestPlatform: the platform services of an add-in under test — settings in
// memory (with a switch that makes writes fail), a ScriptedUi that records
// message boxes and scripts dialogs, and a help viewer that records.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace testing_support {

class MemorySettingsStore : public platform::SettingsStore {
 public:
  std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                         const std::string& default_value) override {
    auto found = values_.find(app + "/" + section + "/" + key);
    return found == values_.end() ? default_value : found->second;
  }
  void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& value) override {
    if (fail_writes) throw platform::SettingsError("cannot write settings: the store is read-only");
    values_[app + "/" + section + "/" + key] = value;
    writes_.push_back(key + "=" + value);
  }

  // The SysML options, as the add-in stores them.
  void SetOption(const std::string& key, const std::string& value) {
    values_["SysML/Options/" + key] = value;
  }
  // Several options at once: "Parts=1;ShowAlways=0".
  void SetOptions(const std::string& assignments) {
    std::istringstream list(assignments);
    for (std::string assignment; std::getline(list, assignment, ';');) {
      const size_t equals = assignment.find('=');
      SetOption(assignment.substr(0, equals), assignment.substr(equals + 1));
    }
  }
  std::string Option(const std::string& key) const {
    auto found = values_.find("SysML/Options/" + key);
    return found == values_.end() ? "" : found->second;
  }

  // Every SaveSetting so far, as "Key=Value", in order.
  const std::vector<std::string>& Writes() const { return writes_; }
  bool fail_writes = false;

 private:
  std::map<std::string, std::string> values_;
  std::vector<std::string> writes_;
};

struct RecordedMessageBox {
  std::string text;
  std::string title;
  platform::MessageIcon icon;
  friend bool operator==(const RecordedMessageBox&, const RecordedMessageBox&) = default;
};

class ScriptedUi : public platform::Ui {
 public:
  // A dialog script: the actions to run on the loaded dialog, in order.
  using DialogScript = std::function<void(platform::Dialog&)>;

  void MessageBox(const std::string& text, const std::string& title,
                  platform::MessageIcon icon) override {
    boxes_.push_back({text, title, icon});
  }
  // Runs the next script on the loaded dialog; without one it is closed by its close box.
  void ShowModal(platform::Dialog& dialog) override {
    dialog.Load();
    dialogs_.push_back(dialog.Caption());
    if (!scripts_.empty()) {
      DialogScript script = std::move(scripts_.front());
      scripts_.pop_front();
      script(dialog);
    }
    if (!dialog.Closed()) dialog.CloseBox();
  }

  void ExpectDialog(DialogScript script) { scripts_.push_back(std::move(script)); }
  const std::vector<RecordedMessageBox>& MessageBoxes() const { return boxes_; }
  const std::vector<std::string>& DialogsShown() const { return dialogs_; }

 private:
  std::vector<RecordedMessageBox> boxes_;
  std::vector<std::string> dialogs_;
  std::deque<DialogScript> scripts_;
};

class RecordingHelpViewer : public platform::HelpViewer {
 public:
  void ShowContext(const std::string& help_file, uint32_t context) override {
    shown.push_back(help_file + "#" + std::to_string(context));
  }
  std::vector<std::string> shown;
};

struct TestPlatform {
  std::shared_ptr<MemorySettingsStore> settings = std::make_shared<MemorySettingsStore>();
  std::shared_ptr<ScriptedUi> ui = std::make_shared<ScriptedUi>();
  std::shared_ptr<RecordingHelpViewer> help = std::make_shared<RecordingHelpViewer>();
  std::shared_ptr<platform::Platform> platform =
      std::make_shared<platform::FixedPlatform>(settings, ui, help, "/opt/sysml");
};

}  // namespace testing_support
