#include "orba/store/xml_text.h"

#include <gtest/gtest.h>

#include <string>

namespace orba::store {
namespace {

TEST(XmlText, EscapesTextAndAttributes) {
  EXPECT_EQ(EscapeXmlText("a & <b> \"c\""), "a &amp; &lt;b&gt; \"c\"");
  EXPECT_EQ(EscapeXmlAttribute("a & <b> \"c\""), "a &amp; &lt;b&gt; &quot;c&quot;");
  EXPECT_EQ(EscapeXmlText("Ünïcode"), "Ünïcode");
}

// Parsers turn raw CR into LF and, in attribute values, TAB, LF and CR into
// spaces; other control characters are not allowed raw at all.
TEST(XmlText, EscapesControlCharactersAsCharacterReferences) {
  struct Case {
    std::string text;
    const char* as_text;
    const char* as_attribute;
  };
  const Case cases[] = {{"a\tb", "a\tb", "a&#x9;b"},
                        {"a\nb", "a\nb", "a&#xA;b"},
                        {"a\rb", "a&#xD;b", "a&#xD;b"},
                        {std::string("a\0b", 3), "a&#x0;b", "a&#x0;b"},
                        {"\x01\x1F ~\x7F", "&#x1;&#x1F; ~\x7F", "&#x1;&#x1F; ~\x7F"}};
  for (const Case& c : cases) {
    EXPECT_EQ(EscapeXmlText(c.text), c.as_text) << c.as_text;
    EXPECT_EQ(EscapeXmlAttribute(c.text), c.as_attribute) << c.as_attribute;
  }
}

TEST(XmlText, MakesValidElementNames) {
  const std::pair<const char*, const char*> cases[] = {{"CLASSTYPE", "CLASSTYPE"},
                                                       {"From_Type", "From_Type"},
                                                       {"two words", "two_words"},
                                                       {"3d", "_3d"},
                                                       {"", "_"},
                                                       {"a:b", "a_b"},
                                                       {"x-y.z", "x-y.z"},
                                                       {"-lead", "_-lead"},
                                                       {"count(*)", "count___"}};
  for (const auto& [name, valid] : cases) EXPECT_EQ(ToXmlName(name), valid) << name;
}

TEST(XmlText, LoadIgnoresTrailingNulCharacters) {
  pugi::xml_document document;
  EXPECT_TRUE(LoadXml(document, std::string("<a x=\"1\"/>\r\n") + std::string(3, '\0')));
  EXPECT_STREQ(document.child("a").attribute("x").value(), "1");
}

TEST(XmlText, LoadRefusesMalformedText) {
  pugi::xml_document document;
  EXPECT_FALSE(LoadXml(document, "<a><b></a>"));
  EXPECT_FALSE(LoadXml(document, "plain text"));
  EXPECT_FALSE(LoadXml(document, std::string("<a/>") + '\0' + "<b/>"));
}

}  // namespace
}  // namespace orba::store
