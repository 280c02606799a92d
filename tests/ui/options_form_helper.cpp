// Shows the options dialog with the process's default platform (user
// interface from $ORBA_UI, settings under $XDG_CONFIG_HOME), as the Options
// command does, then prints whether the toolbox choice changed.
#include <iostream>

#include "platform/platform.h"
#include "ui/options_dialog.h"

int main() {
  try {
    auto platform = platform::MakeDefaultPlatform(".");
    ui::OptionsDialog dialog(platform->Settings());
    platform->UserInterface().ShowModal(dialog);
    std::cout << (dialog.IsShowAlwaysChanged() ? "toolbox choice changed" : "toolbox choice kept")
              << std::endl;
    return 0;
  } catch (const std::exception& failure) {
    std::cerr << "options failed: " << failure.what() << std::endl;
    return 1;
  }
}
