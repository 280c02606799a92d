#include "orba/store/model_item_xml.h"

#include <gtest/gtest.h>

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

TEST_F(ModelItemXmlTest, ElementWithNestedOwnedElementsInOrder) {
  EXPECT_EQ(
      repository_->GetModelItemXml("{B}"),
      "<ModelItem Name=\"A &quot;quoted&quot; &amp; &lt;b&gt;\" GUID=\"{B}\" Metatype=\"Block\">"
      "<ModelItem Name=\"front\" GUID=\"{P1}\" Metatype=\"BlockProperty\">"
      "<ModelItem Name=\"inner\" GUID=\"{P1.1}\" Metatype=\"\"/>"
      "</ModelItem>"
      "<ModelItem Name=\"fp\" GUID=\"{P2}\" Metatype=\"FlowPort\"/>"
      "</ModelItem>");
}

TEST_F(ModelItemXmlTest, ElementWithoutOwnedElementsIsOneEmptyItem) {
  EXPECT_EQ(repository_->GetModelItemXml("{L}"),
            "<ModelItem Name=\"Lonely\" GUID=\"{L}\" Metatype=\"\"/>");
}

TEST_F(ModelItemXmlTest, UnknownGuidFails) {
  EXPECT_THROW(repository_->GetModelItemXml("{NOPE}"), host::Error);
  EXPECT_THROW(repository_->GetModelItemXml(""), host::Error);
}

}  // namespace
}  // namespace orba::store::testing
