#include "orba/store/xml_text.h"

#include <gtest/gtest.h>

namespace orba::store {
namespace {

TEST(XmlText, EscapesTextAndAttributes) {
  EXPECT_EQ(EscapeXmlText("a & <b> \"c\""), "a &amp; &lt;b&gt; \"c\"");
  EXPECT_EQ(EscapeXmlAttribute("a & <b> \"c\""), "a &amp; &lt;b&gt; &quot;c&quot;");
  EXPECT_EQ(EscapeXmlText("Ünïcode"), "Ünïcode");
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
