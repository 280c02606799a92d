#include "platform/ui.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/platform.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"

namespace platform {
namespace {

// One line per box: control characters in either text are shown as escapes.
TEST(ConsoleUiTest, MessageBoxesArePrintedAsTitleColonTextOnOneLine) {
  std::istringstream in;
  std::ostringstream out;
  ConsoleUi ui(in, out, false);
  ui.MessageBox("No Model Open!", "Quindle Technology for SysML", MessageIcon::kExclamation);
  ui.MessageBox("Block \"\x1B]0;owned\x07\"\nis bad", "Title\r", MessageIcon::kCriticalStop);
  EXPECT_EQ(out.str(),
            "Quindle Technology for SysML: No Model Open!\n"
            "Title\\x0D: Block \"\\x1B]0;owned\\x07\"\\x0Ais bad\n");
}

// The Qt windows come from a module beside the add-in. When it is missing or
// broken, Qt that the user asked for fails with the loader's reason; Qt that
// was only the default for a display leaves the console to it.
TEST(DefaultPlatformTest, QtWindowsThatCannotBeLoadedFailOnlyWhenAskedFor) {
  struct Case {
    const char* module_text;  // null: no module file; "*": a module of another kind
    const char* reason;
  };
  const Case cases[] = {{nullptr, "libtessary_qt.so: cannot open shared object file"},
                        {"not a module", "libtessary_qt.so: file too short"},
                        {"*", "libtessary_qt.so does not export TessaryCreateQtUi"}};
  testing_support::ScopedEnvironment environment;
  environment.Set("DISPLAY", ":99");
  for (const Case& c : cases) {
    testing_support::TempFolder folder;
    const auto module = folder.path() / "libtessary_qt.so";
    if (c.module_text && std::string(c.module_text) == "*") {
      std::filesystem::copy_file(OTHER_MODULE, module);
    } else if (c.module_text) {
      std::ofstream(module) << c.module_text;
    }
    try {
      MakeDefaultPlatform(folder.path(), "qt", true);
      ADD_FAILURE() << "Qt asked for was not refused";
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << error.what();
    }
    const auto by_default = MakeDefaultPlatform(folder.path(), "qt", false);
    EXPECT_NE(dynamic_cast<ConsoleUi*>(&by_default->UserInterface()), nullptr);
  }
}

}  // namespace
}  // namespace platform
