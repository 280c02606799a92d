// What a CI job gates on: a project's rule settings and a baseline of an
// earlier run.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orba/validator/baseline.h"
#include "orba/validator/project_rules.h"
#include "orba/validator/validation_output.h"

namespace orba::validator {
namespace {

using store::ItemKind;
using testing::ElementsAre;

ValidationResult Sample() {
  ValidationResult result;
  result.rules = {{"r1", "c1", 0, "View rules"}, {"r2", "c1", 0, "Flow Port rules"}};
  const store::ItemRef engine{ItemKind::kElement, "{E}", "Engine", "Class", ""};
  const store::ItemRef views{ItemKind::kPackage, "{P}", "Views", "Package", ""};
  result.violations = {{"SysML", "Flow Port rules", 0, "ports differ", engine, {}, {}},
                       {"SysML", "View rules", 0, "a view owns elements", views, {}, {}},
                       {"SysML", "Flow Port rules", 1, "types differ", engine, {}, {}}};
  return result;
}

std::vector<std::pair<std::string, int32_t>> Reported(const ValidationResult& result) {
  std::vector<std::pair<std::string, int32_t>> reported;
  for (const Violation& violation : result.violations)
    reported.emplace_back(violation.message, violation.error_type);
  return reported;
}

TEST(ProjectRulesTest, SwitchesOffAndRelevelsFamiliesAndMessagesAMessageFirst) {
  ValidationResult result = Sample();
  ProjectRules::Parse(
      "; decided in review\n[Families]\nFlow Port rules = note\n"
      "[messages]\ntypes differ=off\na view owns elements = error\n",
      "orba.ini")
      .Apply(result);
  EXPECT_THAT(Reported(result),
              ElementsAre(std::pair{"ports differ", 2}, std::pair{"a view owns elements", 1}));
}

TEST(ProjectRulesTest, RefusesWhatItCannotApplyNamingTheLine) {
  const std::pair<std::string, std::string> cases[] = {
      {"[families]\nView rules = silent\n",
       "p.ini:2: \"silent\" is not a level (error, warning, note or off)"},
      {"View rules = off\n", "p.ini:1: a setting outside [families] and [messages]"},
      {"[rules]\nView rules = off\n", "p.ini:2: a setting outside [families] and [messages]"},
      {"[families]\nView rulez = off\n", "p.ini:2: no rule family \"View rulez\" is registered"},
  };
  for (const auto& [text, message] : cases) {
    try {
      ValidationResult result = Sample();
      ProjectRules::Parse(text, "p.ini").Apply(result);
      ADD_FAILURE() << text;
    } catch (const std::exception& error) {
      EXPECT_EQ(error.what(), message);
    }
  }
  EXPECT_THROW(ProjectRules::Parse("[families\n", "p.ini"), std::exception);
}

// A finding is in the baseline when its rule, message and item's GUID are,
// read from SARIF or from the JSON of a run.
TEST(BaselineTest, MarksFindingsOfTheEarlierRunUnchangedAndTheOthersNew) {
  ValidationResult earlier = Sample();
  earlier.violations.pop_back();
  earlier.violations[0].place.line = 7;  // lines do not matter
  const std::string documents[] = {
      ValidationSarif({"m.json", ".", "1.0", ""}, earlier).dump(),
      ValidationJson("m.json", earlier).dump(),
  };
  for (const std::string& document : documents) {
    ValidationResult now = Sample();
    Baseline::Parse(document, "base").Mark(now);
    std::vector<BaselineState> states;
    for (const Violation& violation : now.violations) states.push_back(violation.baseline);
    EXPECT_THAT(states, ElementsAre(BaselineState::kUnchanged, BaselineState::kUnchanged,
                                    BaselineState::kNew));
  }
}

TEST(BaselineTest, RefusesWhatIsNeitherALogNorAResult) {
  const std::pair<std::string, std::string> cases[] = {
      {"{", "it is not JSON"},
      {"[]", "it is neither a SARIF log nor the JSON of orba validate"},
      {R"({"runs": [{"results": [{"ruleId": "x"}]}]})",
       "expected \"partialFingerprints\" of the right kind"},
      {R"({"violations": [{"rule": "r", "message": "m", "item": {"guid": 3}}]})",
       "expected \"guid\" of the right kind"},
  };
  for (const auto& [text, problem] : cases) {
    try {
      Baseline::Parse(text, "b.sarif");
      ADD_FAILURE() << text;
    } catch (const std::exception& error) {
      EXPECT_EQ(error.what(), "cannot read the baseline b.sarif: " + problem);
    }
  }
}

}  // namespace
}  // namespace orba::validator
