// UTF-8, XML escaping and control characters shown as escapes: the one
// reader, writer and escapers every layer uses.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "base/text.h"
#include "base/utf8.h"
#include "base/xml_escape.h"

namespace base {
namespace {

TEST(Utf8Test, ReadsWellFormedSequencesAndOneByteOfAnythingElse) {
  const struct {
    std::string text;
    char32_t code_point;
    size_t size;
  } cases[] = {{"A", 'A', 1},
               {"\xC3\xA4", 0xE4, 2},
               {"\xE2\x84\xA2", 0x2122, 3},
               {"\xF4\x8F\xBF\xBF", 0x10FFFF, 4},
               {"\xBF", kNotACharacter, 1},               // a stray continuation
               {"\xE2\x84", kNotACharacter, 1},           // cut short
               {"\xC0\xAF", kNotACharacter, 1},           // overlong
               {"\xED\xA0\x80", kNotACharacter, 1},       // a surrogate
               {"\xF4\x90\x80\x80", kNotACharacter, 1},   // above U+10FFFF
               {"\xF5\x80\x80\x80", kNotACharacter, 1}};  // no lead byte
  for (const auto& c : cases) {
    const Utf8Character read = DecodeUtf8At(c.text, 0);
    EXPECT_EQ(read.code_point, c.code_point) << c.text;
    EXPECT_EQ(read.size, c.size) << c.text;
    if (c.code_point == kNotACharacter) {
      EXPECT_THROW(DecodeUtf8("ok " + c.text), std::runtime_error);
    } else {
      std::string written;
      AppendUtf8(written, c.code_point);
      EXPECT_EQ(written, c.text);
      EXPECT_EQ(DecodeUtf8("ok " + c.text), U"ok " + std::u32string(1, c.code_point));
    }
  }
}

// One text escaped each way: markup only, text content, attribute value,
// attribute of an ASCII document.
TEST(XmlEscapeTest, EachDocumentGetsTheEscapingItNeeds) {
  const struct {
    std::string text, markup_only, as_text, as_attribute, as_ascii;
  } cases[] = {
      {"a & <b> \"c\"", "a &amp; &lt;b> &quot;c&quot;", "a &amp; &lt;b&gt; \"c\"",
       "a &amp; &lt;b&gt; &quot;c&quot;", "a &amp; &lt;b&gt; &quot;c&quot;"},
      {"t\tl\nc\r", "t\tl\nc\r", "t\tl\nc&#xD;", "t&#x9;l&#xA;c&#xD;", "t&#x9;l&#xA;c&#xD;"},
      {"caf\xC3\xA9\xE2\x84\xA2", "caf\xC3\xA9\xE2\x84\xA2", "caf\xC3\xA9\xE2\x84\xA2",
       "caf\xC3\xA9\xE2\x84\xA2", "caf&#xE9;&#x2122;"},
      {std::string("\0\x1B[2J\x7F\xC2\x9B", 8), std::string("\0\x1B[2J\x7F\xC2\x9B", 8),
       "\uFFFD\uFFFD[2J&#x7F;&#x9B;", "\uFFFD\uFFFD[2J&#x7F;&#x9B;", "&#x0;&#x1B;[2J&#x7F;&#x9B;"},
      {"\uFFFE \U0010FFFF", "\uFFFE \U0010FFFF", "\uFFFD \U0010FFFF", "\uFFFD \U0010FFFF",
       "&#xFFFE; &#x10FFFF;"}};
  for (const auto& c : cases) {
    EXPECT_EQ(EscapeXml(c.text, XmlEscaping::kMarkupOnly), c.markup_only);
    EXPECT_EQ(EscapeXml(c.text, XmlEscaping::kText), c.as_text);
    EXPECT_EQ(EscapeXml(c.text, XmlEscaping::kAttribute), c.as_attribute);
    EXPECT_EQ(EscapeXml(c.text, XmlEscaping::kAsciiAttribute), c.as_ascii);
  }
  // Bytes that are no UTF-8: U+FFFD each where XML is kept valid, refused in an ASCII document.
  EXPECT_EQ(EscapeXml("bad \xC3 \xED\xA0\x80", XmlEscaping::kText),
            "bad \uFFFD \uFFFD\uFFFD\uFFFD");
  EXPECT_THROW(EscapeXml("bad \xC3", XmlEscaping::kAsciiAttribute), std::runtime_error);
}

TEST(TextTest, ControlCharactersAreShownAsEscapes) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain \xC3\xA4 text", "plain \xC3\xA4 text"},
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
