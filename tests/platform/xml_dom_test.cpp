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

TEST(XmlDomTest, TheDeclarationIsTheFirstNodeAndTheDocumentElementItsNextSibling) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML("<?xml version=\"1.0\"?><OrbaData><Data/></OrbaData>"));
  const XmlNode declaration = document.firstChild();
  ASSERT_TRUE(declaration);
  EXPECT_EQ(declaration.nodeName(), "xml");
  EXPECT_EQ(declaration.nextSibling().nodeName(), "OrbaData");
  EXPECT_EQ(declaration.nextSibling().firstChild().nodeName(), "Data");
  EXPECT_FALSE(declaration.nextSibling().nextSibling());
}

TEST(XmlDomTest, WithoutADeclarationTheDocumentElementComesFirst) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML("<OrbaData/>"));
  EXPECT_EQ(document.firstChild().nodeName(), "OrbaData");
  EXPECT_FALSE(document.firstChild().nextSibling());
}

TEST(XmlDomTest, WalkingFromANullNodeGivesNullNodes) {
  const XmlNode nothing;
  EXPECT_FALSE(nothing.firstChild());
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

TEST(XmlDomTest, ChildNodesAreInDocumentOrderWithoutIndentation) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML("<r>\n  <one/>\n  <!-- note -->\n  <two/>\n</r>"));
  const XmlNode root = document.selectSingleNode("/r");
  EXPECT_THAT(Names(root.childNodes()), ElementsAre("one", "", "two"));
}

TEST(XmlDomTest, TextJoinsEveryTextBelowTheNodeAsWritten) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML(
      "<r><a>Fish &amp; &quot;Chips&quot;</a><b>x<i>y</i><![CDATA[<z>]]></b><c>  </c>"
      "<d/><e>Größe ✓</e></r>"));
  const std::vector<XmlNode> values = document.selectSingleNode("/r").childNodes();
  ASSERT_EQ(values.size(), 5u);
  EXPECT_EQ(values[0].text(), "Fish & \"Chips\"");
  EXPECT_EQ(values[1].text(), "xy<z>");
  EXPECT_EQ(values[2].text(), "  ");
  EXPECT_EQ(values[3].text(), "");
  EXPECT_EQ(values[4].text(), "Größe ✓");
}

TEST(XmlDomTest, SelectNodesIsRelativeToTheNodeAndInDocumentOrder) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML(
      "<M N=\"top\"><M N=\"a\" K=\"x\"><M N=\"deep\" K=\"x\"/></M><M N=\"b\" K=\"y\"/>"
      "<M N=\"c\" K=\"x\"/></M>"));
  const XmlNode top = document.selectSingleNode("//M");
  ASSERT_TRUE(top);
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
  EXPECT_TRUE(attributes.getNamedItem("GUID"));
  EXPECT_EQ(attributes.getNamedItem("GUID").nodeValue(), "");
  EXPECT_FALSE(attributes.getNamedItem("name"));
}

TEST(XmlDomTest, ReadingAMissingAttributeThrows) {
  const XmlAttribute missing;
  EXPECT_THROW(missing.text(), XmlError);
  EXPECT_THROW(missing.nodeValue(), XmlError);
}

}  // namespace
}  // namespace platform
