// orba validate, end to end with the SysML add-in.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "orba/cli/cli_fixtures.h"

namespace orba::cli::testing {
namespace {

using nlohmann::json;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// A viewpoint that is not abstract breaks one of the viewpoint rules.
constexpr char kViewpointModel[] = R"json({
  "format": "orba-model", "version": 1, "technologies": ["SysML"],
  "packages": [{"key": "root", "name": "Model"}],
  "elements": [{"key": "vp", "package": "root", "type": "Class", "name": "Maintenance",
                "stereotype": "viewpoint", "metatype": "Viewpoint"}]
})json";

TEST_F(OrbaCommandTest, ACleanModelExitsZero) {
  const OrbaRun run = sandbox_.Run({"validate", Import(kCarModel)});
  EXPECT_EQ(run.exit_code, 0) << run.out << run.err;
  EXPECT_THAT(run.out, HasSubstr("0 violations on 0 items (26 rules run on 7 items)"));
}

TEST_F(OrbaCommandTest, ACleanModelAsJsonHasNoViolationsAndNoFailures) {
  const std::string model = Import(kCarModel);
  const OrbaRun run = sandbox_.Run({"validate", model, "--format", "json"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(json::parse(run.out),
            json({{"model", model}, {"violations", json::array()}, {"failures", json::array()}}));
}

TEST_F(OrbaCommandTest, ViolationsExitOneAndAreShownUnderTheirItem) {
  const OrbaRun run = sandbox_.Run({"validate", Import(kViewpointModel)});
  EXPECT_EQ(run.exit_code, 1) << run.err;
  EXPECT_THAT(run.out, HasSubstr("element \"Maintenance\" {"));
  EXPECT_THAT(run.out, HasSubstr("  warning: Viewpoint rules: A viewpoint must be abstract\n"));
}

TEST_F(OrbaCommandTest, ViolationsAsJsonNameRuleCategoryAndItem) {
  const OrbaRun run = sandbox_.Run({"validate", Import(kViewpointModel), "--format", "json"});
  EXPECT_EQ(run.exit_code, 1) << run.err;
  const json result = json::parse(run.out);
  const json& violation = result["violations"].at(0);
  EXPECT_EQ(violation["category"], "Systems Modelling Language (SysML) Rules");
  EXPECT_EQ(violation["rule"], "Viewpoint rules");
  EXPECT_EQ(violation["errorType"], 0);
  EXPECT_EQ(violation["message"], "A viewpoint must be abstract");
  EXPECT_EQ(violation["item"]["kind"], "element");
  EXPECT_EQ(violation["item"]["name"], "Maintenance");
  EXPECT_EQ(violation["item"]["type"], "Class");
}

TEST_F(OrbaCommandTest, SarifDeclaresTheRegisteredRulesAndTheResults) {
  const OrbaRun run = sandbox_.Run({"validate", Import(kViewpointModel), "--format", "sarif"});
  EXPECT_EQ(run.exit_code, 1) << run.err;
  const json sarif = json::parse(run.out);
  EXPECT_EQ(sarif["version"], "2.1.0");
  const json& run_log = sarif["runs"][0];
  EXPECT_EQ(run_log["tool"]["driver"]["rules"].size(), 26u);
  EXPECT_EQ(run_log["tool"]["driver"]["rules"][1]["id"], "Viewpoint rules");
  EXPECT_EQ(run_log["results"][0]["ruleId"], "Viewpoint rules");
  EXPECT_EQ(run_log["results"][0]["ruleIndex"], 1);
  EXPECT_EQ(run_log["results"][0]["locations"][0]["logicalLocations"][0]["name"], "Maintenance");
}

TEST_F(OrbaCommandTest, AnAddinThatRefusesTheHostRegistersNoRulesAndNothingPasses) {
  const std::string model = Import(kViewpointModel);
  const OrbaRun run = sandbox_.Run({"validate", model, "--host-build", "796"});
  EXPECT_EQ(run.exit_code, 2) << run.err;
  EXPECT_THAT(run.out, HasSubstr("(0 rules run on 2 items)"));
  EXPECT_THAT(run.err, HasSubstr("registered no validation rules; nothing was checked"));
}

TEST_F(OrbaCommandTest, AnAddinFailingAtStartIsListedUnderFailuresAndExitsTwo) {
  sandbox_.SetAddinOption("Parts", "yes");  // not a number: connecting the add-in fails
  const OrbaRun run = sandbox_.Run({"validate", Import(kCarModel), "--format", "json"});
  EXPECT_EQ(run.exit_code, 2) << run.err;
  const json result = json::parse(run.out);
  const json& failure = result["failures"].at(0);
  EXPECT_EQ(failure["operation"], "Orba_Connect");
  EXPECT_EQ(failure["item"], json::object());
  EXPECT_THAT(failure["error"].get<std::string>(), HasSubstr("yes"));
}

}  // namespace
}  // namespace orba::cli::testing
