#include "platform/platform.h"

#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>

namespace platform {

std::shared_ptr<Platform> MakeDefaultPlatform(std::filesystem::path module_folder) {
  const char* choice = std::getenv("ORBA_UI");
  const std::string ui_name = choice ? choice : "console";
  // "none": boxes printed, dialogs cancelled. "console": forms on a terminal.
  const bool interactive = ui_name == "console" && isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
  auto ui = std::make_shared<ConsoleUi>(std::cin, std::cerr, interactive);
  return std::make_shared<FixedPlatform>(
      std::make_shared<IniSettingsStore>(IniSettingsStore::DefaultFolder()), std::move(ui),
      std::make_shared<DesktopHelpViewer>(), std::move(module_folder));
}

}  // namespace platform
