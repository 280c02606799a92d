#include "platform/platform.h"

#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>

#ifdef TESSARY_WITH_QT
#include "platform/qt_ui.h"
#endif

namespace platform {
namespace {

#ifdef TESSARY_WITH_QT
bool IsSet(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

bool DisplayAvailable() { return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY"); }
#endif

// "qt": windows when a display is there, else as "console". "console": forms
// on a terminal. "none" (or anything else): boxes printed, dialogs cancelled.
std::shared_ptr<Ui> MakeUi(const std::string& ui_name) {
  const bool wants_forms = ui_name == "console" || ui_name == "qt";
  const bool interactive = wants_forms && isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
  auto console = std::make_shared<ConsoleUi>(std::cin, std::cerr, interactive);
#ifdef TESSARY_WITH_QT
  // A display that cannot be reached after all leaves the console to it.
  if (ui_name == "qt" && DisplayAvailable()) return std::make_shared<QtUi>(console);
#endif
  return console;
}

}  // namespace

std::shared_ptr<Platform> MakeDefaultPlatform(std::filesystem::path module_folder,
                                              const std::string& user_interface) {
  auto ui = MakeUi(user_interface);
  return std::make_shared<FixedPlatform>(
      std::make_shared<IniSettingsStore>(IniSettingsStore::DefaultFolder()), std::move(ui),
      std::make_shared<DesktopHelpViewer>(), std::move(module_folder));
}

}  // namespace platform
