// The building blocks of the technology generator: Base64, UTF-16LE, the
// shape-script archive, attribute escaping, the XML layout and the property sets.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "base64.h"
#include "property_sets.h"
#include "shape_script_archive.h"
#include "xml_writer.h"
#include "zip_members.h"

namespace technology {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Base64Case {
  std::string bytes;
  std::string text;
};

TEST(Base64Test, EncodesAndDecodesTheStandardVectors) {
  const Base64Case cases[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
      {std::string("\xFF\x00\xFB", 3), "/wD7"},
  };
  for (const Base64Case& c : cases) {
    EXPECT_EQ(Base64Encode(c.bytes), c.text) << c.text;
    EXPECT_EQ(Base64Decode(c.text), c.bytes) << c.text;
  }
}

TEST(Base64Test, DecodingSkipsLineBreaks) { EXPECT_EQ(Base64Decode("Zm9v\r\nYmFy"), "foobar"); }

TEST(Base64Test, DecodingRejectsWhatIsNotBase64) {
  for (const char* text : {"Zm9", "Zm9v!A==", "Z=9v", "Zm 9v"}) {
    EXPECT_THROW(Base64Decode(text), std::runtime_error) << text;
  }
}

TEST(Utf16LeTest, WritesEachCodePointAsLittleEndianUnits) {
  EXPECT_EQ(Utf16LeOf("Sh"), std::string("S\0h\0", 4));
  EXPECT_EQ(Utf16LeOf("\xC2\xAB" "a\xC2\xBB"), std::string("\xAB\0a\0\xBB\0", 6));  // guillemets
  EXPECT_EQ(Utf16LeOf("\xE2\x84\xA2"), std::string("\x22\x21", 2));  // U+2122
  EXPECT_EQ(Utf16LeOf("\xF0\x9F\x98\x80"), std::string("\x3D\xD8\x00\xDE", 4));  // U+1F600: a surrogate pair
}

TEST(Utf16LeTest, RejectsInvalidUtf8) {
  const std::string invalid[] = {"\x80", "\xC0\xAF", "\xE2\x82", "\xED\xA0\x80", "\xF4\x90\x80\x80", "a\xFF"};
  for (const std::string& text : invalid) EXPECT_THROW(Utf16LeOf(text), std::runtime_error);
}

using testing_support::ReadZipMembers;
using testing_support::ZipMember;

TEST(ShapeScriptArchiveTest, HoldsOneDeflatedMemberWithTheContent) {
  const std::string content = Utf16LeOf("Shape main\r\n{\r\n\tnoshadow = \"true\";\r\n}\r\n");
  const std::vector<ZipMember> members = ReadZipMembers(ZipWithOneMember("str.dat", content));
  ASSERT_EQ(members.size(), 1u);
  EXPECT_EQ(members[0].name, "str.dat");
  EXPECT_EQ(members[0].method, ZIP_CM_DEFLATE);
  EXPECT_EQ(members[0].content, content);
}

TEST(ShapeScriptArchiveTest, TheSameScriptGivesTheSameBytes) {
  const std::string script = "shape main\r\n{\r\n\tmoveto(0,0);\r\n}\r\n";
  EXPECT_EQ(ZipWithOneMember("str.dat", script), ZipWithOneMember("str.dat", script));
  EXPECT_EQ(ShapeScriptImage(script), ShapeScriptImage(script));
}

TEST(ShapeScriptArchiveTest, ImageTextIsBase64InLinesOf72) {
  std::string script;
  for (int i = 0; i < 60; ++i) script += "lineto(" + std::to_string(i * 7919 % 1000) + ",0);\r\n";
  const std::string image = ShapeScriptImage(script);
  size_t start = 0;
  size_t lines = 0;
  for (size_t end = image.find("\r\n"); end != std::string::npos; end = image.find("\r\n", start)) {
    EXPECT_EQ(end - start, kImageLineWidth);
    start = end + 2;
    ++lines;
  }
  EXPECT_GT(lines, 0u);
  EXPECT_LE(image.size() - start, kImageLineWidth);
  const std::vector<ZipMember> members = ReadZipMembers(Base64Decode(image));
  ASSERT_EQ(members.size(), 1u);
  EXPECT_EQ(members[0].content, Utf16LeOf(script));
}

struct EscapeCase {
  std::string value;
  std::string escaped;
};

TEST(EscapeAttributeTest, WritesMarkupControlAndNonAsciiAsReferences) {
  const EscapeCase cases[] = {
      {"Source -> Destination", "Source -&gt; Destination"},
      {"views\n", "views&#xA;"},
      {"a<b & \"c\"", "a&lt;b &amp; &quot;c&quot;"},
      {"tab\there", "tab&#x9;here"},
      {"caf\xC3\xA9", "caf&#xE9;"},
      {"SysML\xE2\x84\xA2", "SysML&#x2122;"},
      {"#NAME# : #PROPERTYTYPE#", "#NAME# : #PROPERTYTYPE#"},
  };
  for (const EscapeCase& c : cases) EXPECT_EQ(EscapeAttribute(c.value), c.escaped) << c.value;
}

TEST(XmlWriterTest, WritesOneTagPerLineIndentedByTabsWithCrLf) {
  XmlWriter xml;
  xml.Open("Root", {{"version", "1.0"}});
  xml.Comment(" note ");
  xml.Open("List");
  xml.Empty("Item", {{"name", "a"}, {"value", ""}});
  xml.TextElement("Image", {{"type", "t"}}, "AAAA\r\nBB==");
  xml.Close();
  xml.Empty("Empty");
  xml.Close();
  EXPECT_EQ(xml.Text(),
            "<Root version=\"1.0\">\r\n"
            "\t<!-- note -->\r\n"
            "\t<List>\r\n"
            "\t\t<Item name=\"a\" value=\"\"/>\r\n"
            "\t\t<Image type=\"t\">AAAA\r\nBB==</Image>\r\n"
            "\t</List>\r\n"
            "\t<Empty/>\r\n"
            "</Root>\r\n");
}

TEST(XmlWriterTest, RefusesUnbalancedElements) {
  XmlWriter xml;
  EXPECT_THROW(xml.Close(), std::logic_error);
  xml.Open("Root");
  EXPECT_THROW(xml.Text(), std::logic_error);
}

std::vector<std::string> NamesOf(const std::vector<Property>& properties) {
  std::vector<std::string> names;
  for (const Property& property : properties) names.push_back(property.name);
  return names;
}

TEST(PropertySetTest, ClassPropertiesDependOnTheStereotype) {
  EXPECT_THAT(NamesOf(PropertySetOf("Class", "block")),
              ElementsAre("_AttPkg", "_AttPri", "_AttPro", "_AttPub", "_Constraint", "_defaultDiagramType",
                          "isActive"));
  EXPECT_THAT(NamesOf(PropertySetOf("Class", "viewpoint")), ElementsAre("_Tag", "isActive"));
  EXPECT_THAT(NamesOf(PropertySetOf("Class", "constraintBlock")), ElementsAre("isActive"));
  EXPECT_THAT(PropertySetOf("Class", "somethingElse"), IsEmpty());
}

struct ValueCase {
  std::string base_type;
  std::string stereotype;
  std::string property;
  std::string value;
};

TEST(PropertySetTest, ValuesFollowTheBaseTypeAndStereotype) {
  const ValueCase cases[] = {
      {"Association", "ReferenceAssociation", "direction", "Unspecified"},
      {"Association", "Associate", "direction", "Source -> Destination"},
      {"Realisation", "satisfy", "direction", "Source -> Destination"},
      {"Action", "CallBehaviorAction", "kind", "CallBehavior"},
      {"Action", "TimeEvent", "kind", "AcceptEventTimer"},
      {"Action", "controlOperator", "kind", ""},
      {"Port", "flowPort", "isService", "true"},
      {"ObjectNode", "noBuffer", "ordering", "FIFO"},
      {"Requirement", "requirement", "_Tag", "0"},
      {"UseCase", "Use Case", "_defaultDiagramType", "UseCase"},
  };
  for (const ValueCase& c : cases) {
    const std::vector<Property> properties = PropertySetOf(c.base_type, c.stereotype);
    const auto found = std::find_if(properties.begin(), properties.end(),
                                    [&c](const Property& property) { return property.name == c.property; });
    ASSERT_NE(found, properties.end()) << c.base_type << "/" << c.stereotype;
    EXPECT_EQ(found->value, c.value) << c.base_type << "/" << c.stereotype;
  }
}

TEST(PropertySetTest, UnlistedBaseTypesCarryNone) {
  for (const char* base_type : {"Package", "Note", "Actor", "Interface", "Sub-Activity", "n-ary Association"}) {
    EXPECT_THAT(PropertySetOf(base_type, ""), IsEmpty()) << base_type;
  }
}

}  // namespace
}  // namespace technology
