// Runs every case of tests/rules/cases/*.txt (the format is in rule_cases.h).
#include "rules/rule_cases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "rules/rule_harness.h"

namespace rules_test {
namespace {

using Statement = std::vector<std::string>;

const std::filesystem::path kCaseFolder = TESSARY_SOURCE_ROOT "/tests/rules/cases";

// Values are text, but for the model's number fields and JSON lists.
nlohmann::json Value(const std::string& field, const std::string& text) {
  const bool number = field == "clientAggregation" || field == "supplierAggregation";
  return number || text.starts_with("[") ? nlohmann::json::parse(text) : nlohmann::json(text);
}

// The FIELD=VALUE tokens of a statement from `first` on, onto `item`.
nlohmann::json Fields(nlohmann::json item, const Statement& tokens, size_t first) {
  for (size_t i = first; i < tokens.size(); ++i) {
    const auto equals = tokens[i].find('=');
    if (equals == std::string::npos) throw std::runtime_error("not FIELD=VALUE: " + tokens[i]);
    const std::string field = tokens[i].substr(0, equals), value = tokens[i].substr(equals + 1);
    if (value == "~") continue;
    if (field.starts_with("tag.")) {
      item["tags"].push_back({{"name", field.substr(4)}, {"value", value}});
    } else {
      item[field] = Value(field, value);
    }
  }
  return item;
}

// The keys an item line names: KEY, KEY*N for N items KEY1 ... KEYN, or
// none for "~".
std::vector<std::string> Keys(const std::string& key) {
  const auto star = key.find('*');
  if (key == "~") return {};
  if (star == std::string::npos) return {key};
  std::vector<std::string> keys;
  for (int n = 1; n <= std::stoi(key.substr(star + 1)); ++n) {
    keys.push_back(key.substr(0, star) + std::to_string(n));
  }
  return keys;
}

// The JSON model document of the case's items. Items are named after their
// key; packages and elements without a place go into the root package.
std::string ModelOf(const RuleCase& rule_case) {
  nlohmann::json model = {{"format", "orba-model"},
                          {"version", 1},
                          {"packages", {{{"key", "root"}, {"name", "Model"}}}},
                          {"elements", nlohmann::json::array()},
                          {"connectors", nlohmann::json::array()}};
  for (const auto& s : rule_case.statements) {
    if (s[0] != "package" && s[0] != "element" && s[0] != "connector") continue;
    for (const std::string& key : Keys(s.at(1))) {
      if (s[0] == "package") {
        model["packages"].push_back(
            Fields({{"key", key}, {"name", key}, {"parent", "root"}}, s, 2));
      } else if (s[0] == "element") {
        auto element = Fields({{"key", key}, {"name", key}, {"type", s.at(2)}}, s, 3);
        if (!element.contains("parent")) element.emplace("package", "root");
        model["elements"].push_back(element);
      } else {
        model["connectors"].push_back(Fields(
            {{"key", key}, {"type", s.at(2)}, {"client", s.at(3)}, {"supplier", s.at(4)}}, s, 5));
      }
    }
  }
  return model.dump();
}

void RunEvent(RuleHarness& harness, const Statement& s) {
  const std::string& kind = s.at(2);
  if (kind == "element")
    harness.RunElement(s[1], s.at(3));
  else if (kind == "package")
    harness.RunPackage(s[1], s.at(3));
  else if (kind == "connector")
    harness.RunConnector(s[1], s.at(3));
  else if (kind == "method")
    harness.RunMethod(s[1], s.at(3), s.at(4));
  else
    throw std::runtime_error("no event kind " + kind);
}

// Does what a hide, fail or run statement says; with fail_at > 0 the
// fail_at-th host call of a run fails. Answers whether the statement's event failed.
bool Act(RuleHarness& harness, const Statement& s, int fail_at, bool threw) {
  auto& plan = harness.Host().Plan();
  if (s[0] == "hide" && s.at(1) != "~") {
    plan.HideElement(harness.Model().ElementId(s.at(1)));
    plan.HideElementGuid(harness.Model().ElementGuid(s[1]));
  } else if (s[0] == "fail") {
    plan.FailOn(s.at(1), s.size() > 2 ? std::stoi(s[2]) : 1);
  } else if (s[0] == "run") {
    if (fail_at > 0) plan.FailAtCall(fail_at);
    try {
      RunEvent(harness, s);
      return false;
    } catch (const host::Error&) {
      return true;
    }
  }
  return threw;
}

// A report written as MESSAGE, RULE:MESSAGE or RULE:MESSAGE/ERRORTYPE, like `form`.
std::string Written(const Report& report, const std::string& form) {
  if (form.find(':') == std::string::npos) return std::to_string(report.message);
  std::string text = report.rule + ":" + std::to_string(report.message);
  if (form.find('/') != std::string::npos) text += "/" + std::to_string(report.error_type);
  return text;
}

// The reports after "expect", each token split at commas; a first one
// "throws" says the last event failed.
void Expect(const RuleHarness& harness, const Statement& expected, bool threw) {
  std::vector<std::string> forms;
  for (size_t i = 1; i < expected.size(); ++i) {
    for (size_t at = 0; at <= expected[i].size();) {
      const size_t comma = std::min(expected[i].find(',', at), expected[i].size());
      if (comma > at && expected[i] != "none") forms.push_back(expected[i].substr(at, comma - at));
      at = comma + 1;
    }
  }
  const bool throws = !forms.empty() && forms[0] == "throws";
  if (throws) forms.erase(forms.begin());
  std::vector<std::string> reports;
  for (const Report& report : harness.Reports()) {
    reports.push_back(
        Written(report, reports.size() < forms.size() ? forms[reports.size()] : "r:m/e"));
  }
  EXPECT_EQ(reports, forms);
  EXPECT_EQ(threw, throws) << (threw ? "the event failed" : "the event did not fail");
}

// Plays the case's statements before `end` again once for each host call of
// the run at `run` (the calls from `first_call` on in `clean`), failing it.
void ExpectEachFailureKeepsEarlierReports(const RuleCase& rule_case, size_t end, size_t run,
                                          RuleHarness& clean, size_t first_call) {
  const std::vector<std::string>& calls = clean.Host().Plan().Calls();
  const std::vector<Report> reports = clean.Reports();
  for (size_t failing = first_call; failing < calls.size(); ++failing) {
    RuleHarness harness(ModelOf(rule_case));
    bool threw = false;
    for (size_t i = 0; i < end; ++i) {
      const int fail_at = i == run ? static_cast<int>(failing - first_call + 1) : 0;
      threw = Act(harness, rule_case.statements[i], fail_at, threw);
    }
    const auto made = std::count(calls.begin(), calls.begin() + static_cast<long>(failing),
                                 "ProjectServices.ReportViolation");
    const std::vector<Report> before(reports.begin(), reports.begin() + made);
    EXPECT_TRUE(threw) << "failing " << calls[failing];
    EXPECT_EQ(harness.Reports(), before) << "failing " << calls[failing];
  }
}

class RuleCaseTest : public testing::TestWithParam<RuleCase> {};

TEST_P(RuleCaseTest, ReportsWhatTheCaseExpects) {
  const RuleCase& rule_case = GetParam();
  if (rule_case.statements.empty()) FAIL() << rule_case.title;
  RuleHarness harness(ModelOf(rule_case));
  const auto& plan = harness.Host().Plan();
  bool threw = false;
  size_t last_run = 0, first_call = 0;
  for (size_t i = 0; i < rule_case.statements.size(); ++i) {
    const Statement& s = rule_case.statements[i];
    if (s[0] == "run") std::tie(last_run, first_call) = std::pair(i, plan.Calls().size());
    threw = Act(harness, s, 0, threw);
    if (s[0] == "expect") {
      Expect(harness, s, threw);
    } else if (s[0] == "calls") {
      const size_t count = s.at(1) == "*" ? plan.Calls().size() : plan.CountOf(s[1]);
      EXPECT_EQ(count, std::stoul(s.at(2))) << s[1];
    } else if (s[0] == "faults") {
      ExpectEachFailureKeepsEarlierReports(rule_case, i, last_run, harness, first_call);
    }
  }
}

std::vector<RuleCase> AllCases() {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(kCaseFolder)) {
    files.push_back(entry.path());
  }
  std::ranges::sort(files);
  std::vector<RuleCase> cases;
  for (const auto& file : files) {
    try {
      const auto read = ReadRuleCases(file);
      cases.insert(cases.end(), read.begin(), read.end());
    } catch (const std::exception& error) {
      // A case without statements fails, naming the problem.
      cases.push_back(RuleCase{file.filename().string(), 0, 0, error.what(), {}});
    }
  }
  return cases;
}

std::string CaseName(const testing::TestParamInfo<RuleCase>& info) {
  const RuleCase& c = info.param;
  const std::string name =
      std::filesystem::path(c.file).stem().string() + "_" + std::to_string(c.line);
  return c.row == 0 ? name : name + "_" + std::to_string(c.row);
}

INSTANTIATE_TEST_SUITE_P(Cases, RuleCaseTest, testing::ValuesIn(AllCases()), CaseName);

}  // namespace
}  // namespace rules_test
