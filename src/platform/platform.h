// Platform: every platform service the add-in uses, as one injected object
// (settings store, user interface, help viewer, module folder). The module's
// factory passes the default platform; tests pass their own.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/help_viewer.h"
#include "platform/settings_store.h"
#include "platform/ui.h"

namespace platform {

class Platform {
 public:
  virtual ~Platform() = default;
  virtual SettingsStore& Settings() = 0;
  virtual Ui& UserInterface() = 0;
  virtual HelpViewer& Help() = 0;
  virtual std::filesystem::path ModuleFolder() = 0;
};

// The services of this process: the INI settings store in the user's config
// folder, the help viewer of the desktop, and the user interface named
// `user_interface`: "qt" (windows when a display is there, else as
// "console"), "console" (forms when stdin and stderr are terminals) or
// "none" (boxes printed, dialogs cancelled). The Qt windows come from the
// module beside the add-in (qt_ui_module.h); when it cannot be loaded, a
// `user_interface_required` "qt" throws std::runtime_error with the reason,
// and one that was only the default leaves the console to it.
std::shared_ptr<Platform> MakeDefaultPlatform(std::filesystem::path module_folder,
                                              const std::string& user_interface,
                                              bool user_interface_required);

// A platform whose members are given (tests, embedding hosts).
class FixedPlatform : public Platform {
 public:
  FixedPlatform(std::shared_ptr<SettingsStore> settings, std::shared_ptr<Ui> ui,
                std::shared_ptr<HelpViewer> help, std::filesystem::path module_folder)
      : settings_(std::move(settings)),
        ui_(std::move(ui)),
        help_(std::move(help)),
        module_folder_(std::move(module_folder)) {}
  SettingsStore& Settings() override { return *settings_; }
  Ui& UserInterface() override { return *ui_; }
  HelpViewer& Help() override { return *help_; }
  std::filesystem::path ModuleFolder() override { return module_folder_; }

 private:
  std::shared_ptr<SettingsStore> settings_;
  std::shared_ptr<Ui> ui_;
  std::shared_ptr<HelpViewer> help_;
  std::filesystem::path module_folder_;
};

}  // namespace platform
