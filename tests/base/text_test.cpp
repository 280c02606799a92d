#include "base/text.h"

#include <gtest/gtest.h>

namespace base {
namespace {

TEST(TextTest, ControlCharactersAreShownAsEscapes) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain \xC3\xA4 text", "plain \xC3\xA4 text"},
      {"title\x1B]0;owned\x07", "title\\x1B]0;owned\\x07"},
      {"two\nlines\r\tend\x7F", "two\\x0Alines\\x0D\\x09end\\x7F"},
      {std::string("zero\0", 5), "zero\\x00"},
      {"csi \xC2\x9B"
       "2J and nbsp \xC2\xA0",
       "csi \\u009B2J and nbsp \xC2\xA0"},
      {"cut \xC2", "cut \xC2"},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(EscapeControlCharacters(text), shown);
}

}  // namespace
}  // namespace base
