#include "platform/platform.h"

#include <unistd.h>

#include <iostream>
#include <string>

#include "base/environment.h"
#include "platform/qt_ui_module.h"

namespace platform {
namespace {

// "qt": windows when a display is there, else as "console". "console": forms
// on a terminal. "none" (or anything else): boxes printed, dialogs cancelled.
// Qt windows that were asked for must be there: without the Qt module the
// choice fails; when they were only the default, the console stands in.
std::shared_ptr<Ui> MakeUi(const std::filesystem::path& module_folder, const std::string& ui_name,
                           bool required) {
  const bool wants_forms = ui_name == "console" || ui_name == "qt";
  const bool interactive = wants_forms && isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
  auto console = std::make_shared<ConsoleUi>(std::cin, std::cerr, interactive);
  if (ui_name != "qt" || !(required || base::DisplayNamed())) return console;
  try {
    return LoadQtUi(module_folder, console);
  } catch (const std::exception&) {
    if (required) throw;
    return console;
  }
}

}  // namespace

std::shared_ptr<Platform> MakeDefaultPlatform(std::filesystem::path module_folder,
                                              const std::string& user_interface,
                                              bool user_interface_required) {
  auto ui = MakeUi(module_folder, user_interface, user_interface_required);
  return std::make_shared<FixedPlatform>(
      std::make_shared<IniSettingsStore>(IniSettingsStore::DefaultFolder()), std::move(ui),
      std::make_shared<DesktopHelpViewer>(), std::move(module_folder));
}

}  // namespace platform
