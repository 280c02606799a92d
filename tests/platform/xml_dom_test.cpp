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

// The declaration, where there is one, is the first node and the document element its next sibling.
TEST(XmlDomTest, TheDocumentElementFollowsTheDeclaration) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML("<?xml version=\"1.0\"?><OrbaData><Data/></OrbaData>"));
  const XmlNode declaration = document.firstChild();
  EXPECT_EQ(declaration.nodeName(), "xml");
  EXPECT_EQ(declaration.nextSibling().nodeName(), "OrbaData");
  EXPECT_EQ(declaration.nextSibling().firstChild().nodeName(), "Data");
  EXPECT_FALSE(declaration.nextSibling().nextSibling());
  ASSERT_TRUE(document.loadXML("<OrbaData/>"));
  EXPECT_EQ(document.firstChild().nodeName(), "OrbaData");
  EXPECT_FALSE(document.firstChild().nextSibling());
  const XmlNode nothing;
  EXPECT_FALSE(nothing.nextSibling().firstChild());
  EXPECT_TRUE(nothing.childNodes().empty());
  EXPECT_EQ(nothing.text(), "");
}

TEST(XmlDomTest, AFailedLoadLeavesTheDocumentEmpty) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML("<a><b/></a>"));
  for (const std::string text : {"", "not xml", "<a><b></a>", "<a>", "<a/><b/>", "<a/>junk",
                                 "junk<a/>", "<a/><![CDATA[x]]>", "<?xml version=\"1.0\"?>"}) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(document.loadXML(text));
    EXPECT_FALSE(document.firstChild());
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

TEST(XmlDomTest, SelectNodesIsRelativeToTheNodeAndInDocumentOrder) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML(
      "<M N=\"top\"><M N=\"a\" K=\"x\"><M N=\"deep\" K=\"x\"/></M><M N=\"b\" K=\"y\"/>"
      "<M N=\"c\" K=\"x\"/></M>"));
  const XmlNode top = document.selectSingleNode("//M");
  EXPECT_EQ(top.attributes().getNamedItem("N").text(), "top");
  std::vector<std::string> selected;
  for (const XmlNode& node : top.selectNodes("M[@K=\"x\"]")) {
    selected.push_back(node.attributes().getNamedItem("N").nodeValue());
  }
  EXPECT_THAT(selected, ElementsAre("a", "c"));
  EXPECT_FALSE(top.selectSingleNode("M[@K=\"z\"]"));
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
