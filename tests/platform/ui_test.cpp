#include "platform/ui.h"

#include <gtest/gtest.h>

#include <sstream>

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

}  // namespace
}  // namespace platform
