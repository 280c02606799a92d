#include "platform/ui.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/test_platform.h"
#include "ui/options_dialog.h"

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

// The options form on the console: without a terminal it is shown and
// cancelled; on one, controls are toggled and pressed by number: 1) Show
// Always, 2) Only Show with..., 3) Parts, 4) Flow Ports, 5) Parameters,
// 6) Requirements, then the two greyed boxes are skipped: 7) OK, 8) Cancel.
// The end of the input closes it without storing.
TEST(ConsoleUiTest, TheOptionsFormIsAnsweredByNumber) {
  const struct {
    bool terminal;
    std::string input;
    std::string stored_parts;  // empty: nothing stored
  } cases[] = {{false, "1\n", ""}, {true, "1\n", ""}, {true, "1\n3\nbogus\n7\n", "1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    testing_support::MemorySettingsStore settings;
    ui::OptionsDialog dialog(settings);
    std::istringstream in(c.input);
    std::ostringstream out;
    ConsoleUi(in, out, c.terminal).ShowModal(dialog);
    EXPECT_TRUE(dialog.Closed());
    EXPECT_NE(out.str().find("== Quindle Technology for SysML - Options =="), std::string::npos);
    EXPECT_EQ(settings.Writes().empty(), c.stored_parts.empty());
    if (c.stored_parts.empty()) continue;
    EXPECT_EQ(settings.Option("ShowAlways"), "1");
    EXPECT_EQ(settings.Option("Parts"), c.stored_parts);
    EXPECT_TRUE(dialog.IsShowAlwaysChanged());
    EXPECT_NE(out.str().find("[ ] Allocated To (unavailable)"), std::string::npos) << out.str();
  }
}

}  // namespace
}  // namespace platform
