#include "platform/ansi_text.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(AnsiTextTest, AsciiAndZeroBytesStayAsTheyAre) {
  const std::string bytes("<a/>\r\n\0\0\0", 9);
  EXPECT_EQ(AnsiToText(bytes), bytes);
}

TEST(AnsiTextTest, HighBytesBecomeTheirCodePageCharacters) {
  EXPECT_EQ(AnsiToText("\xAB" "import\xBB"), "\u00ABimport\u00BB");
  EXPECT_EQ(AnsiToText("\x80"), "\u20AC");  // euro sign
  EXPECT_EQ(AnsiToText("\x93x\x94"), "\u201Cx\u201D");
  EXPECT_EQ(AnsiToText("\xFF"), "\u00FF");
  EXPECT_EQ(AnsiToText("\x81"), "\u0081");  // undefined in the code page: kept as the C1 control
}

}  // namespace
}  // namespace platform
