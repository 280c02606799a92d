// The technology generator's parts on what the document itself never holds:
// the encoders' edge cases, refused input and characters that need escaping.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "base64.h"
#include "shape_script_archive.h"
#include "xml_writer.h"

namespace technology {
namespace {

TEST(Base64Test, EncodesAndDecodesTheStandardVectors) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
      {std::string("\xFF\x00\xFB", 3), "/wD7"},
  };
  for (const auto& [bytes, text] : cases) {
    EXPECT_EQ(Base64Encode(bytes), text) << text;
    EXPECT_EQ(Base64Decode(text), bytes) << text;
  }
  EXPECT_EQ(Base64Decode("Zm9v\r\nYmFy"), "foobar");
  for (const char* text : {"Zm9", "Zm9v!A==", "Z=9v", "Zm 9v"}) {
    EXPECT_THROW(Base64Decode(text), std::runtime_error) << text;
  }
}

TEST(Utf16LeTest, WritesEachCodePointAsLittleEndianUnitsAndRefusesInvalidUtf8) {
  EXPECT_EQ(Utf16LeOf("Sh"), std::string("S\0h\0", 4));
  EXPECT_EQ(Utf16LeOf("\xC2\xAB"
                      "a\xC2\xBB"),
            std::string("\xAB\0a\0\xBB\0", 6));                                  // guillemets
  EXPECT_EQ(Utf16LeOf("\xE2\x84\xA2"), std::string("\x22\x21", 2));              // U+2122
  EXPECT_EQ(Utf16LeOf("\xF0\x9F\x98\x80"), std::string("\x3D\xD8\x00\xDE", 4));  // a surrogate pair
  for (const std::string invalid :
       {"\x80", "\xC0\xAF", "\xE2\x82", "\xED\xA0\x80", "\xF4\x90\x80\x80", "a\xFF"}) {
    EXPECT_THROW(Utf16LeOf(invalid), std::runtime_error);
  }
}

TEST(EscapeAttributeTest, WritesMarkupControlAndNonAsciiAsReferences) {
  const std::pair<std::string, std::string> cases[] = {
      {"a<b & \"c\"", "a&lt;b &amp; &quot;c&quot;"},
      {"tab\there", "tab&#x9;here"},
      {"caf\xC3\xA9", "caf&#xE9;"},
      {"SysML\xE2\x84\xA2", "SysML&#x2122;"}};
  for (const auto& [value, escaped] : cases) EXPECT_EQ(EscapeAttribute(value), escaped) << value;
}

TEST(XmlWriterTest, RefusesUnbalancedElements) {
  XmlWriter xml;
  EXPECT_THROW(xml.Close(), std::logic_error);
  xml.Open("Root");
  EXPECT_THROW(xml.Text(), std::logic_error);
}

}  // namespace
}  // namespace technology
