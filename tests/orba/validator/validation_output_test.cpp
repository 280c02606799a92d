#include "orba/validator/validation_output.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <sstream>

#include "orba/validator/junit_output.h"

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
  const ItemPlace engine_place{"Model::Engine", 12, 5};
  result.violations = {{"SysML", "Flow Port rules", 0, "ports differ", kEngine, engine_place, {}},
                       {"SysML", "View rules", 0, "a view owns elements", kViews, {}, {}},
                       {"SysML", "Flow Port rules", 1, "types differ", kEngine, engine_place, {}}};
  result.failures = {
      {"Flow Port rules", kLink, "no such connector", "Orba_OnRunConnectorRule", {"A -> B", 0, 0}},
      {"", std::nullopt, "registration failed", "Orba_OnInitializeUserRules", {}}};
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
                        {ItemKind::kElement, "{E}", "two\nlines", "Class", ""},
                        {},
                        {}}};
  text.str("");
  WriteValidationText(result, text);
  EXPECT_EQ(text.str(),
            "element \"two\\x0Alines\" {E} (Class)\n"
            "  note: View rules: bad\\x1B[2J\n"
            "\n"
            "1 violation on 1 item (1 rule run on 1 item)\n");
  const ordered_json run = ValidationSarif({"m.obx", ".", "1.0", ""}, result)["runs"][0];
  EXPECT_EQ(run["invocations"][0]["executionSuccessful"], true);
  EXPECT_EQ(run["results"][0]["level"], "note");
}

// Levels are coloured on a terminal, unless NO_COLOR says otherwise or the
// terminal cannot show colours.
TEST(ValidationTextTest, ColoursLevelsOnlyWhereColourIsWanted) {
  const struct {
    bool terminal;
    const char* no_color;
    const char* term;
    bool colour;
  } cases[] = {{true, nullptr, "xterm", true},
               {true, "", nullptr, true},
               {true, "1", "xterm", false},
               {true, nullptr, "dumb", false},
               {false, nullptr, "xterm", false}};
  for (const auto& c : cases) EXPECT_EQ(UseColour(c.terminal, c.no_color, c.term), c.colour);
  std::ostringstream text;
  WriteValidationText(SampleResult(), text, true);
  EXPECT_THAT(text.str(),
              testing::HasSubstr("  \033[31merror\033[0m: Flow Port rules: types differ\n"));
  EXPECT_THAT(text.str(), testing::HasSubstr("  \033[33mwarning\033[0m: View rules"));
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

// One run of SARIF 2.1.0 with a reporting descriptor per message (the family
// as its tag), a result at the item for each violation, the model named
// relative to the source root; failures make the invocation unsuccessful
// and are notified.
TEST(ValidationSarifTest, IsOneRunWithARulePerMessageAResultPerViolationAndTheFailures) {
  const SarifRun where{"/work/repo/models/a b#%\xC3\xA9.json", "/work/repo", "1.0", ""};
  const ordered_json sarif = ValidationSarif(where, SampleResult());
  EXPECT_EQ(sarif["version"], "2.1.0");
  ASSERT_EQ(sarif["runs"].size(), 1u);
  const ordered_json& run = sarif["runs"][0];
  EXPECT_EQ(run["tool"]["driver"]["name"], "orba");
  EXPECT_EQ(run["tool"]["driver"]["version"], "1.0");
  EXPECT_FALSE(run["tool"]["driver"].contains("informationUri"));  // none given
  EXPECT_FALSE(run.contains("originalUriBaseIds"));  // the same log from every checkout
  const ordered_json artifact = {{"uri", "models/a%20b%23%25%C3%A9.json"},
                                 {"uriBaseId", "SRCROOT"}};
  EXPECT_EQ(run["artifacts"][0]["location"], artifact);

  const ordered_json& rules = run["tool"]["driver"]["rules"];
  ASSERT_EQ(rules.size(), 3u);  // three messages, two of one family
  EXPECT_THAT(rules[0]["id"].get<std::string>(),
              testing::MatchesRegex("FlowPortRules/[0-9A-F]{8}"));
  EXPECT_THAT(rules[1]["id"].get<std::string>(), testing::StartsWith("ViewRules/"));
  EXPECT_NE(rules[0]["id"], rules[2]["id"]);
  EXPECT_EQ(rules[2]["shortDescription"]["text"], "types differ");
  EXPECT_EQ(rules[2]["fullDescription"]["text"], "types differ (Flow Port rules)");
  EXPECT_EQ(rules[2]["properties"]["tags"], ordered_json::array({"Flow Port rules"}));
  EXPECT_EQ(rules[2]["defaultConfiguration"]["level"], "error");
  EXPECT_THAT(rules[2]["help"]["text"].get<std::string>(), testing::StartsWith("types differ."));

  const ordered_json& results = run["results"];
  ASSERT_EQ(results.size(), 3u);
  EXPECT_EQ(results[2]["ruleId"], rules[2]["id"]);
  EXPECT_EQ(results[2]["ruleIndex"], 2);
  EXPECT_EQ(results[2]["level"], "error");
  const ordered_json& location = results[2]["locations"][0];
  EXPECT_EQ(location["physicalLocation"]["region"], ordered_json::parse(R"({"startLine": 12,
      "startColumn": 5})"));
  EXPECT_EQ(location["physicalLocation"]["artifactLocation"]["uriBaseId"], "SRCROOT");
  EXPECT_EQ(location["logicalLocations"][0]["fullyQualifiedName"], "Model::Engine");
  EXPECT_EQ(location["logicalLocations"][0]["properties"]["guid"], "{E}");
  EXPECT_FALSE(results[1]["locations"][0]["physicalLocation"].contains("region"));
  EXPECT_EQ(results[1]["locations"][0]["logicalLocations"][0]["fullyQualifiedName"], "Views");

  const ordered_json& invocation = run["invocations"][0];
  EXPECT_EQ(invocation["executionSuccessful"], false);
  const ordered_json& notifications = invocation["toolExecutionNotifications"];
  ASSERT_EQ(notifications.size(), 2u);
  EXPECT_EQ(notifications[0]["message"]["text"], "no such connector");
  EXPECT_EQ(notifications[0]["associatedRule"]["id"], "FlowPortRules");
  EXPECT_EQ(notifications[0]["locations"][0]["logicalLocations"][0]["fullyQualifiedName"],
            "A -> B");
  EXPECT_FALSE(notifications[1].contains("locations"));
}

// Fingerprints come from the rule, the item's GUID and the message: a line
// that moves or a file named elsewhere keeps them; another message does not.
TEST(ValidationSarifTest, FingerprintsFollowTheFindingNotItsPlace) {
  const auto fingerprints = [](const SarifRun& where, ValidationResult result) {
    std::vector<std::string> prints;
    const ordered_json sarif = ValidationSarif(where, result);
    for (const ordered_json& entry : sarif["runs"][0]["results"])
      prints.push_back(entry["partialFingerprints"]["orbaFinding/v1"]);
    return prints;
  };
  const std::vector<std::string> before =
      fingerprints({"m.json", ".", "1.0", "https://example.org/orba"}, SampleResult());
  ValidationResult moved = SampleResult();
  moved.violations[0].place.line = 40;
  EXPECT_EQ(fingerprints({"/elsewhere/m.json", "/", "1.1", ""}, moved), before);
  EXPECT_THAT(before[0], testing::MatchesRegex("[0-9A-F]{32}"));
  EXPECT_EQ(ValidationSarif({"m.json", ".", "1.0", "https://example.org/orba"},
                            SampleResult())["runs"][0]["tool"]["driver"]["informationUri"],
            "https://example.org/orba");
  EXPECT_NE(before[0], before[2]);  // same item, another message
  // Outside the source root the model is named by an absolute URI.
  const ordered_json outside =
      ValidationSarif({"/data/m.json", "/work", "1.0", ""}, SampleResult())["runs"][0];
  EXPECT_EQ(outside["artifacts"][0]["location"], ordered_json::parse(R"({"uri":
      "file:///data/m.json"})"));
}

// A suite per registered family and one for the host, a test case per family
// and item kind; violations are failures and failed operations errors, each
// naming its item and place, and texts from the model stay readable XML.
TEST(ValidationJunitTest, HasASuitePerFamilyACasePerItemKindAndAFailurePerViolation) {
  ValidationResult result = SampleResult();
  result.violations[1].message = "a view \x1b[2J owns <elements>";
  std::ostringstream out;
  WriteValidationJunit("m.json", result, out);
  pugi::xml_document document;
  ASSERT_TRUE(document.load_string(out.str().c_str())) << out.str();
  const pugi::xml_node suites = document.child("testsuites");
  EXPECT_STREQ(suites.attribute("tests").value(), "9");
  EXPECT_STREQ(suites.attribute("failures").value(), "2");
  EXPECT_STREQ(suites.attribute("errors").value(), "2");
  std::vector<std::string> names;
  for (const pugi::xml_node suite : suites.children("testsuite"))
    names.push_back(suite.attribute("name").value());
  EXPECT_THAT(names, testing::ElementsAre("View rules", "Flow Port rules", "orba"));

  const pugi::xml_node ports =
      suites.find_child_by_attribute("testsuite", "name", "Flow Port rules");
  EXPECT_STREQ(ports.attribute("failures").value(), "1");
  const pugi::xml_node elements = ports.find_child_by_attribute("testcase", "name", "elements");
  EXPECT_STREQ(elements.attribute("classname").value(), "orba.FlowPortRules");
  const pugi::xml_node types = elements.last_child();
  EXPECT_STREQ(types.attribute("message").value(), "types differ");
  EXPECT_STREQ(types.attribute("type").value(), "error");
  EXPECT_STREQ(types.text().get(), "element \"Engine\" {E} at m.json:12:5 (Model::Engine)");
  const pugi::xml_node link = ports.find_child_by_attribute("testcase", "name", "connectors");
  EXPECT_STREQ(link.child("error").attribute("type").value(), "Orba_OnRunConnectorRule");
  const pugi::xml_node views =
      suites.first_child().find_child_by_attribute("testcase", "name", "packages");
  EXPECT_STREQ(views.child("failure").attribute("message").value(),
               "a view \\x1B[2J owns <elements>");
  EXPECT_STREQ(suites.last_child().child("testcase").child("error").attribute("message").value(),
               "registration failed");
}

}  // namespace
}  // namespace orba::validator
