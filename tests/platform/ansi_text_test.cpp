#include "platform/ansi_text.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

// ASCII and zero bytes stay as they are; high bytes become their code page's
// characters, the ones it leaves undefined the C1 controls of the same number.
TEST(AnsiTextTest, BytesBecomeTheirCodePageCharacters) {
  const std::pair<std::string, std::string> cases[] = {
      {std::string("<a/>\r\n\0\0\0", 9), std::string("<a/>\r\n\0\0\0", 9)},
      {"\xAB"
       "import\xBB",
       "\u00ABimport\u00BB"},
      {"\x80", "\u20AC"},  // euro sign
      {"\x93x\x94", "\u201Cx\u201D"},
      {"\xFF", "\u00FF"},
      {"\x81", "\u0081"}};
  for (const auto& [bytes, text] : cases) EXPECT_EQ(AnsiToText(bytes), text);
}

}  // namespace
}  // namespace platform
