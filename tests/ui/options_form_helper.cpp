// Shows the options dialog with the process's default platform (the user
// interface named by the first argument, default "console"; settings under
// $XDG_CONFIG_HOME), as the Options command does, then prints whether the
// toolbox choice changed.
#include <iostream>

#include "platform/platform.h"
#include "ui/options_dialog.h"

int main(int argc, char** argv) {
  try {
    auto platform = platform::MakeDefaultPlatform(".", argc > 1 ? argv[1] : "console");
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
