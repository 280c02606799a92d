#include "orba/store/model_item_xml.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "orba/store/model_session.h"
#include "platform/xml_dom.h"
#include "store_fixtures.h"

namespace orba::store::testing {
namespace {

constexpr std::string_view kNestedModel = R"json({
  "packages": [{"key": "p", "name": "P"}],
  "elements": [
    {"key": "block", "package": "p", "type": "Class", "name": "A \"quoted\" & <b>", "guid": "{B}", "metatype": "Block"},
    {"key": "part", "parent": "block", "type": "Part", "name": "front", "guid": "{P1}", "metatype": "BlockProperty"},
    {"key": "pin", "parent": "part", "type": "Port", "name": "inner", "guid": "{P1.1}"},
    {"key": "port", "parent": "block", "type": "Port", "name": "fp", "guid": "{P2}", "metatype": "FlowPort"},
    {"key": "lonely", "package": "p", "type": "Class", "name": "Lonely", "guid": "{L}"}
  ]
})json";

class ModelItemXmlTest : public ::testing::Test {
 protected:
  std::shared_ptr<ModelRepository> repository_ = ImportedModel(kNestedModel);
};

TEST_F(ModelItemXmlTest, AnElementIsItsItemWithItsOwnedElementsNestedInOrder) {
  EXPECT_EQ(
      repository_->GetModelItemXml("{B}"),
      "<ModelItem Name=\"A &quot;quoted&quot; &amp; &lt;b&gt;\" GUID=\"{B}\" Metatype=\"Block\">"
      "<ModelItem Name=\"front\" GUID=\"{P1}\" Metatype=\"BlockProperty\">"
      "<ModelItem Name=\"inner\" GUID=\"{P1.1}\" Metatype=\"\"/>"
      "</ModelItem>"
      "<ModelItem Name=\"fp\" GUID=\"{P2}\" Metatype=\"FlowPort\"/>"
      "</ModelItem>");
  EXPECT_EQ(repository_->GetModelItemXml("{L}"),
            "<ModelItem Name=\"Lonely\" GUID=\"{L}\" Metatype=\"\"/>");
  EXPECT_THROW(repository_->GetModelItemXml("{NOPE}"), host::Error);
  EXPECT_THROW(repository_->GetModelItemXml(""), host::Error);
}

// The add-in reads the document with the platform's XML reader.
// TAB, LF and CR read back exactly; other C0 controls, which only a model
// changed behind the host's back can hold, read back as U+FFFD.
TEST(ModelItemXml, NamesWithControlCharactersReadBackAsXmlAllows) {
  const std::string name = "line1\nline2\ttab\r\nend";
  nlohmann::json document = {{"packages", {{{"key", "p"}, {"name", "P"}}}},
                             {"elements",
                              {{{"key", "a"},
                                {"package", "p"},
                                {"type", "Class"},
                                {"name", name},
                                {"guid", "{A}"},
                                {"metatype", name}}}}};
  auto repository = ImportedModel(document.dump());
  repository->Session().Db().Execute(
      "UPDATE t_object SET Name = Name || char(1, 31), Metatype = Metatype || char(1, 31)");
  platform::XmlDocument xml;
  ASSERT_TRUE(xml.loadXML(repository->GetModelItemXml("{A}")));
  platform::XmlAttributeMap item = xml.selectSingleNode("/ModelItem").attributes();
  EXPECT_EQ(item.getNamedItem("Name").text(), name + "\uFFFD\uFFFD");
  EXPECT_EQ(item.getNamedItem("Metatype").text(), name + "\uFFFD\uFFFD");
}

// Damaged model files: ParentIDs that come back to an element they started from.
TEST(ModelItemXml, AParentCycleIsAnErrorNamingTheElement) {
  struct Case {
    const char* damage;  // SQL run on the model
    const char* guid;
    const char* message;
  };
  const Case cases[] = {{"UPDATE t_object SET ParentID = Object_ID WHERE orba_guid = '{L}'", "{L}",
                         "element 6 (\"Lonely\") refers to parent 6, which it owns itself"},
                        {"UPDATE t_object SET ParentID = 3 WHERE orba_guid = '{B}'", "{P1}",
                         "element 3 (\"front\") refers to parent 2, which it owns itself"}};
  for (const Case& c : cases) {
    auto repository = ImportedModel(kNestedModel);
    repository->Session().Db().Execute(c.damage);
    try {
      repository->GetModelItemXml(c.guid);
      ADD_FAILURE() << c.damage;
    } catch (const host::Error& error) {
      EXPECT_EQ(std::string(error.what()), c.message);
    }
  }
}

}  // namespace
}  // namespace orba::store::testing
