#include "platform/xml_dom.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace platform {
namespace {

using testing::ElementsAre;

std::vector<std::string> Names(const std::vector<XmlNode>& nodes) {
  std::vector<std::string> names;
  for (const XmlNode& node : nodes) names.push_back(node.nodeName());
  return names;
}

// Texts given as copies and given up (parsed in place) load alike.
TEST(XmlDomTest, AFailedLoadLeavesTheDocumentEmpty) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML("<a><b/></a>"));
  for (const std::string text : {"", "not xml", "<a><b></a>", "<a>", "<a/><b/>", "<a/>junk",
                                 "junk<a/>", "<a/><![CDATA[x]]>", "<?xml version=\"1.0\"?>"}) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(document.loadXML(text));
    EXPECT_FALSE(document.firstChild());
    EXPECT_FALSE(document.selectSingleNode("//b"));
    ASSERT_TRUE(document.loadXML("<a><b/></a>"));  // a text given up: parsed where it is
    EXPECT_FALSE(document.loadXML(std::string(text)));
    EXPECT_FALSE(document.selectSingleNode("//b"));
  }
}

// Child nodes leave out the indentation; a node's text joins every text below it as written.
TEST(XmlDomTest, ChildNodesAndTextsAreInDocumentOrder) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML("<r>\n  <one/>\n  <!-- note -->\n  <two/>\n</r>"));
  EXPECT_THAT(Names(document.selectSingleNode("/r").childNodes()), ElementsAre("one", "", "two"));
  ASSERT_TRUE(document.loadXML(
      "<r><a>Fish &amp; &quot;Chips&quot;</a><b>x<i>y</i><![CDATA[<z>]]></b><c>  </c>"
      "<d/><e>Größe ✓</e></r>"));
  std::vector<std::string> texts;
  for (const XmlNode& node : document.selectSingleNode("/r").childNodes())
    texts.push_back(node.text());
  EXPECT_THAT(texts, ElementsAre("Fish & \"Chips\"", "xy<z>", "  ", "", "Größe ✓"));
}

TEST(XmlDomTest, AttributesAreFoundByExactName) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML("<M Name=\"a &amp; &lt;b&gt;\" GUID=\"\"/>"));
  const XmlAttributeMap attributes = document.selectSingleNode("/M").attributes();
  EXPECT_EQ(attributes.getNamedItem("Name").text(), "a & <b>");
  EXPECT_EQ(attributes.getNamedItem("GUID").nodeValue(), "");
  EXPECT_FALSE(attributes.getNamedItem("name"));
  EXPECT_THROW(XmlAttribute().text(), XmlError);
  EXPECT_THROW(XmlAttribute().nodeValue(), XmlError);
}

}  // namespace
}  // namespace platform
