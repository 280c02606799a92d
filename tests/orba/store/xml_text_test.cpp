#include "orba/store/xml_text.h"

#include <gtest/gtest.h>

#include <string>

namespace orba::store {
namespace {

using namespace std::string_literals;

// Parsers turn raw CR into LF and, in attribute values, TAB, LF and CR into
// spaces; XML 1.0 allows no other C0 control, neither raw nor as a reference,
// nor U+FFFE and U+FFFF, and a byte outside UTF-8 is no character at all. DEL
// and C1 controls are allowed, but a terminal must not see them raw.
TEST(XmlText, EscapesWhatXmlCarriesAndReplacesWhatItForbids) {
  struct Case {
    std::string text;
    const char* as_text;
    const char* as_attribute;
  };
  const Case cases[] = {
      {"a & <b> \"c\"", "a &amp; &lt;b&gt; \"c\"", "a &amp; &lt;b&gt; &quot;c&quot;"},
      {"Ünïcode", "Ünïcode", "Ünïcode"},
      {"a\tb", "a\tb", "a&#x9;b"},
      {"a\nb", "a\nb", "a&#xA;b"},
      {"a\rb", "a&#xD;b", "a&#xD;b"},
      {std::string("a\0b", 3), "a\uFFFDb", "a\uFFFDb"},
      {"\x01\x1B[2J ~\x7F\u009B", "\uFFFD\uFFFD[2J ~&#x7F;&#x9B;", "\uFFFD\uFFFD[2J ~&#x7F;&#x9B;"},
      {"\uFFFE\uFFFF \U0010FFFF", "\uFFFD\uFFFD \U0010FFFF", "\uFFFD\uFFFD \U0010FFFF"},
      {"bad \xC3 \xED\xA0\x80", "bad \uFFFD \uFFFD", "bad \uFFFD \uFFFD"}};
  for (const Case& c : cases) {
    EXPECT_EQ(EscapeXmlText(c.text), c.as_text) << c.as_text;
    EXPECT_EQ(EscapeXmlAttribute(c.text), c.as_attribute) << c.as_attribute;
  }
}

TEST(XmlText, DocumentsKeepOnlyCharactersXmlAllows) {
  const std::pair<std::string, const char*> cases[] = {
      {"<a v=\"&#x9;&#10;&#xD;&#xE9;\">&#65;&amp;</a>",
       "<a v=\"&#x9;&#10;&#xD;&#xE9;\">&#65;&amp;</a>"},
      {"<a v=\"x\0y\x1B\">\x01</a>\0\0"s, "<a v=\"x\uFFFDy\uFFFD\">\uFFFD</a>"},
      {"<a v=\"&#x1B;&#0;&#27;\">&#xFFFE;&#xD800;&#x110000;&#99999999999;</a>",
       "<a v=\"\uFFFD\uFFFD\uFFFD\">\uFFFD\uFFFD\uFFFD\uFFFD</a>"},
      {"<a>&#x1B &#; &#x; &#-1;</a>", "<a>&#x1B &#; &#x; &#-1;</a>"},
      {"<a v=\"\x7F&#x7F;\">\u0085&#x85;</a>", "<a v=\"&#x7F;&#x7F;\">&#x85;&#x85;</a>"},
      {"<a><![CDATA[&#x1B;\x02\x7F]]><!-- &#0; --><?pi &#1;?></a>",
       "<a><![CDATA[&#x1B;\uFFFD\uFFFD]]><!-- &#0; --><?pi &#1;?></a>"},
      {"<a>\xFF\xC0\xAF \xF0\x9F\x98\x80</a>", "<a>\uFFFD\uFFFD\uFFFD \xF0\x9F\x98\x80</a>"}};
  for (const auto& [document, repaired] : cases) {
    EXPECT_EQ(WithXmlCharactersOnly(document), repaired) << repaired;
  }
}

TEST(XmlText, MakesValidElementNames) {
  // clang-format off
  const std::pair<const char*, const char*> cases[] = {
      {"CLASSTYPE", "CLASSTYPE"}, {"From_Type", "From_Type"}, {"two words", "two_words"},
      {"3d", "_3d"}, {"", "_"}, {"a:b", "a_b"}, {"x-y.z", "x-y.z"}, {"-lead", "_-lead"},
      {"count(*)", "count___"}};
  // clang-format on
  for (const auto& [name, valid] : cases) EXPECT_EQ(ToXmlName(name), valid) << name;
}

TEST(XmlText, LoadIgnoresTrailingNulCharactersAndRefusesMalformedText) {
  pugi::xml_document document;
  EXPECT_TRUE(LoadXml(document, std::string("<a x=\"1\"/>\r\n") + std::string(3, '\0')));
  EXPECT_STREQ(document.child("a").attribute("x").value(), "1");
  EXPECT_FALSE(LoadXml(document, "<a><b></a>"));
  EXPECT_FALSE(LoadXml(document, "plain text"));
  EXPECT_FALSE(LoadXml(document, std::string("<a/>") + '\0' + "<b/>"));
}

}  // namespace
}  // namespace orba::store
