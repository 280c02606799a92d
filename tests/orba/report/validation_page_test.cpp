// validation.html: each finding under its rule family and its package,
// linked to where its item is shown: an element's page, a connector's row
// on its client's page, an operation on its owner's page; the add-in calls
// that failed listed apart.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "orba/report/pages.h"
#include "support/test_model.h"

namespace orba::report {
namespace {

using ::testing::ElementsAre;

constexpr char kModel[] = R"({"packages": [{"key": "root", "name": "Model"},
    {"key": "structure", "name": "Structure", "parent": "root"}],
  "elements": [
    {"key": "car", "package": "structure", "type": "Class", "name": "Car", "guid": "{CAR}",
     "operations": [{"name": "drive", "guid": "{DRIVE}"}]},
    {"key": "wheel", "package": "root", "type": "Class", "name": "Wheel", "guid": "{WHEEL}"}],
  "connectors": [{"key": "link", "type": "Association", "client": "car", "supplier": "wheel",
                  "guid": "{LINK}"}]})";

validator::Violation Finding(store::ItemKind kind, const std::string& guid,
                             const std::string& family) {
  return {"SysML", family, 0, "broken", {kind, guid, "item " + guid, "", ""}, {}, {}};
}

class ValidationPageTest : public ::testing::Test {
 protected:
  ValidationPageTest() {
    content_.validation.violations = {
        Finding(store::ItemKind::kElement, "{CAR}", "Block rules"),
        Finding(store::ItemKind::kConnector, "{LINK}", "Block rules"),
        Finding(store::ItemKind::kOperation, "{DRIVE}", "Control rules"),
        Finding(store::ItemKind::kConnector, "{GONE}", "Control rules")};
    content_.validation.failures = {
        {"Block rules", std::nullopt, "<boom>", "Orba_OnRunElementRule", {}}};
    LinkContent(content_);
    EXPECT_TRUE(page_.load_string(ValidationPage(content_).c_str()));
  }

  // The links of the findings' items in the table with `id`.
  std::vector<std::string> ItemLinks(const std::string& id) const {
    std::vector<std::string> links;
    for (const pugi::xpath_node& cell :
         page_.select_nodes(("//table[@id='" + id + "']/tbody/tr/td[2]").c_str()))
      links.push_back(cell.node().child("a").attribute("href").value());
    return links;
  }

  std::string PageOf(const std::string& key) const {
    return content_.element_pages.at(model_.ElementId(key));
  }

  testing_support::TestModel model_{kModel};
  ModelIndex index_{dynamic_cast<store::ModelRepository&>(*model_.Repository()).Session()};
  SiteContent content_{index_};
  pugi::xml_document page_;
};

TEST_F(ValidationPageTest, FindingsLinkToWhereTheirItemsAreShown) {
  const std::string connector = std::to_string(model_.ConnectorId("link"));
  EXPECT_THAT(ItemLinks("family-1"), ElementsAre(PageOf("car"), PageOf("car") + "#c" + connector));
  const std::string operation_anchor =
      std::string(page_.select_node("//table[@id='family-2']//a").node().attribute("href").value());
  EXPECT_TRUE(operation_anchor.starts_with(PageOf("car") + "#o")) << operation_anchor;
  EXPECT_THAT(ItemLinks("family-2"), ElementsAre(operation_anchor, ""));
}

TEST_F(ValidationPageTest, FindingsAreGroupedByRuleFamilyAndByPackage) {
  std::vector<std::string> headings;
  for (const pugi::xpath_node& heading : page_.select_nodes("//h3"))
    headings.push_back(heading.node().text().get());
  EXPECT_THAT(headings, ElementsAre("Block rules (2)", "Control rules (2)",
                                    "(not in a package) (1)", "Model::Structure (3)"));
  EXPECT_STREQ(
      page_.select_node("//section[h2='Add-in calls that failed']/ul/li").node().text().get(),
      "Orba_OnRunElementRule Block rules: <boom>");
}

}  // namespace
}  // namespace orba::report
