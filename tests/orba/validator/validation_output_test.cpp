#include "orba/validator/validation_output.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace orba::validator {
namespace {

using nlohmann::ordered_json;
using store::ItemKind;
using store::ItemRef;

// The engine came from an XMI file and keeps its xmi:id.
const ItemRef kEngine{ItemKind::kElement, "{E}", "Engine", "Class", "_engine"};
const ItemRef kViews{ItemKind::kPackage, "{P}", "Views", "Package", ""};
const ItemRef kLink{ItemKind::kConnector, "{C}", "", "Association", ""};

ValidationResult SampleResult() {
  ValidationResult result;
  result.rules = {{"rule-1", "category-1", 0, "View rules"},
                  {"rule-2", "category-1", 0, "Flow Port rules"}};
  result.items_checked = 5;
  result.violations = {{"SysML", "Flow Port rules", 0, "ports differ", kEngine},
                       {"SysML", "View rules", 0, "a view owns elements", kViews},
                       {"SysML", "Flow Port rules", 1, "types differ", kEngine}};
  result.failures = {{"Flow Port rules", kLink, "no such connector", "Orba_OnRunConnectorRule"},
                     {"", std::nullopt, "registration failed", "Orba_OnInitializeUserRules"}};
  return result;
}

TEST(ValidationTextTest, GroupsTheViolationsByItemListsTheFailuresAndShowsControlCharacters) {
  std::ostringstream text;
  WriteValidationText(SampleResult(), text);
  EXPECT_EQ(text.str(),
            "element \"Engine\" {E} (Class) xmi:id _engine\n"
            "  warning: Flow Port rules: ports differ\n"
            "  error: Flow Port rules: types differ\n"
            "\n"
            "package \"Views\" {P} (Package)\n"
            "  warning: View rules: a view owns elements\n"
            "\n"
            "failures:\n"
            "  Flow Port rules on connector {C} (Association): no such connector\n"
            "  Orba_OnInitializeUserRules: registration failed\n"
            "\n"
            "3 violations on 2 items (2 rules run on 5 items), 2 failures\n");
  // An error type other than 0 or 1 is a note; a run without failures succeeds.
  ValidationResult result;
  result.rules = {{"rule-1", "category-1", 2, "View rules"}};
  result.items_checked = 1;
  result.violations = {{"SysML",
                        "View rules",
                        2,
                        "bad\x1b[2J",
                        {ItemKind::kElement, "{E}", "two\nlines", "Class", ""}}};
  text.str("");
  WriteValidationText(result, text);
  EXPECT_EQ(text.str(),
            "element \"two\\x0Alines\" {E} (Class)\n"
            "  note: View rules: bad\\x1B[2J\n"
            "\n"
            "1 violation on 1 item (1 rule run on 1 item)\n");
  const ordered_json run = ValidationSarif("m.obx", result)["runs"][0];
  EXPECT_EQ(run["invocations"][0]["executionSuccessful"], true);
  EXPECT_EQ(run["results"][0]["level"], "note");
}

// The rest of the document is checked on real runs in tests/orba/cli (validate.txt,
// example_model.txt).
TEST(ValidationJsonTest, HoldsTheViolationsInReportOrderAndAFailureWithItsItem) {
  const ordered_json json = ValidationJson("cars.obx", SampleResult());
  EXPECT_EQ(json["violations"][2], ordered_json::parse(R"({"category": "SysML",
      "rule": "Flow Port rules", "errorType": 1, "message": "types differ",
      "item": {"kind": "element", "guid": "{E}", "name": "Engine", "type": "Class",
               "xmiId": "_engine"}})"));
  EXPECT_EQ(json["failures"][0], ordered_json::parse(R"({"rule": "Flow Port rules",
      "item": {"kind": "connector", "guid": "{C}", "name": "", "type": "Association"},
      "error": "no such connector", "operation": "Orba_OnRunConnectorRule"})"));
}

// One run of SARIF 2.1.0 declaring the registered rules by their texts, a
// result at the item for each violation; failures make the invocation
// unsuccessful and are notified.
TEST(ValidationSarifTest, IsOneRunWithTheRulesAResultPerViolationAndTheFailures) {
  const ordered_json sarif = ValidationSarif("cars.obx", SampleResult());
  EXPECT_EQ(sarif["version"], "2.1.0");
  EXPECT_EQ(sarif["$schema"], "https://json.schemastore.org/sarif-2.1.0.json");
  ASSERT_EQ(sarif["runs"].size(), 1u);
  const ordered_json& run = sarif["runs"][0];
  EXPECT_EQ(run["tool"]["driver"]["name"], "orba");
  EXPECT_EQ(run["artifacts"][0]["location"]["uri"], "cars.obx");
  const ordered_json& rules = run["tool"]["driver"]["rules"];
  ASSERT_EQ(rules.size(), 2u);
  EXPECT_EQ(rules[0]["id"], "View rules");
  EXPECT_EQ(rules[0]["shortDescription"]["text"], "View rules");
  EXPECT_EQ(rules[1]["id"], "Flow Port rules");
  const ordered_json& results = run["results"];
  ASSERT_EQ(results.size(), 3u);
  EXPECT_EQ(results[1]["level"], "warning");
  EXPECT_EQ(results[2], ordered_json::parse(R"({"ruleId": "Flow Port rules", "ruleIndex": 1,
      "level": "error", "message": {"text": "types differ"}, "locations": [{
        "physicalLocation": {"artifactLocation": {"index": 0}},
        "logicalLocations": [{"name": "Engine", "fullyQualifiedName": "{E}", "kind": "element",
                              "properties": {"type": "Class"}}]}],
      "properties": {"category": "SysML", "errorType": 1}})"));
  const ordered_json& invocation = run["invocations"][0];
  EXPECT_EQ(invocation["executionSuccessful"], false);
  const ordered_json& notifications = invocation["toolExecutionNotifications"];
  ASSERT_EQ(notifications.size(), 2u);
  EXPECT_EQ(notifications[0]["message"]["text"], "no such connector");
  EXPECT_EQ(notifications[0]["associatedRule"]["id"], "Flow Port rules");
  EXPECT_EQ(notifications[0]["locations"][0]["logicalLocations"][0]["fullyQualifiedName"], "{C}");
  EXPECT_FALSE(notifications[1].contains("locations"));
}

}  // namespace
}  // namespace orba::validator
