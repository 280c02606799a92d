// The SysML rules, on cases kept as data (tests/rules/cases/*.txt): each case
// builds a small model, runs rule events and states the reports it expects.
//
//   # a comment line
//   model NAME                  lines shared by cases, indented below
//   case TITLE                  one case, its lines indented below
//     use NAME                  the lines of a model (defined above)
//     package KEY [FIELD=VALUE ...]
//     element KEY TYPE [FIELD=VALUE ...]
//     connector KEY TYPE CLIENT SUPPLIER [FIELD=VALUE ...]
//     hide KEY                  the host finds no such element, by id or GUID
//     run RULE element|package|connector KEY
//     run RULE method GUID OWNER
//     expect [throws] REPORT .. the reports so far, in order ("none": none);
//                               "throws": the last event failed
//     calls NAME COUNT          the events so far made COUNT host calls of NAME
//                               ("*": of any name)
//     faults                    the case so far again once per host call of its
//                               last event, that call failing: the event fails
//                               and keeps the reports made before
//   where COLUMN ...            the case once per row below, with {COLUMN}
//     VALUE ...                 replaced by the row's value ("-": empty)
//
// A line with a word "~" is left out, and so is FIELD=~. RULE is a local rule
// id, or =ID for the host rule id ID. A KEY or OWNER "?" is an item the host
// cannot find; KEY*N stands for N items KEY1 to KEYN. A report is MESSAGE (its
// string id), RULE:MESSAGE or RULE:MESSAGE/ERRORTYPE; commas may join them.
// "..." is one word. tag.NAME=VALUE adds a tagged value. Values are text, JSON
// for *Aggregation and values starting with [. Elements are named after their
// key and go into the root package.
//
// golden/registered_rules.txt holds what the rules register: the category,
// then per rule its host id, category, error type, local id, the run events
// that read their item ("-": none) and text. After a deliberate change, rewrite
// it (UPDATE_GOLDEN=1 rules_test --gtest_filter=Registry.*) and review the diff.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <sstream>

#include "orba/store/model_repository.h"
#include "resources/resource_table.h"
#include "resources/string_table.h"
#include "rules/rule_lookups.h"
#include "rules/sysml_rules.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"
#include "support/test_model.h"

namespace rules_test {
namespace {

using Statement = std::vector<std::string>;

const std::string kFolder = TESSARY_SOURCE_ROOT "/tests/rules/";

struct RuleCase {
  std::string name, title;  // the test's name; FILE:LINE TITLE [ROW VALUES]
  std::vector<Statement> statements;
  friend void PrintTo(const RuleCase& c, std::ostream* out) { *out << c.title; }
};

// The words of a line, split at spaces; "..." is one word, without its quotes.
Statement Words(const std::string& text) {
  Statement words;
  std::istringstream in(text);
  for (std::string word; in >> std::quoted(word);) words.push_back(word);
  return words;
}

// Adds every case of a case file, once per row of its table.
void ReadRuleCases(const std::filesystem::path& path, std::vector<RuleCase>& cases) {
  const std::string file = path.filename().string();
  std::map<std::string, std::vector<std::string>> models;  // the lines of each
  std::vector<std::string>* lines = nullptr;               // those being read
  std::vector<std::string> case_lines;
  std::vector<Statement> table;  // the columns, then the rows
  std::string title, at;         // of the case being read
  const auto expand = [&] {
    const bool once = table.empty();  // nothing to replace
    if (once) table = {{}, {}};
    for (size_t row = 1; row < table.size(); ++row) {
      std::string values;
      for (const auto& value : table[row]) values += " " + value;
      RuleCase& c = cases.emplace_back(
          RuleCase{path.stem().string() + "_" + at + (once ? "" : "_" + std::to_string(row)),
                   file + ":" + at + " " + title + (once ? "" : " [" + values + " ]"),
                   {}});
      for (std::string line : case_lines) {
        for (size_t i = 0; i < table[0].size(); ++i) {
          const std::string value = table[row][i] == "-" ? "" : table[row][i];
          line = std::regex_replace(line, std::regex("\\{" + table[0][i] + "\\}"), value);
        }
        if (const Statement words = Words(line); std::ranges::count(words, "~") == 0) {
          c.statements.push_back(words);
        }
      }
    }
    case_lines.clear(), table.clear(), at.clear();
  };
  std::ifstream in(path);
  std::string text;
  for (int number = 1; std::getline(in, text); ++number) {
    const Statement words = Words(text);
    const auto fail = [&](const std::string& problem) {
      throw std::runtime_error(file + ":" + std::to_string(number) + ": " + problem);
    };
    if (words.empty() || text[0] == '#') continue;
    if (!std::isspace(static_cast<unsigned char>(text[0]))) {
      if (!at.empty() && words[0] != "where") expand();
      if (words[0] == "model") {
        lines = &models[words.at(1)];
      } else if (words[0] == "case") {
        title = text.substr(5), at = std::to_string(number), lines = &case_lines;
      } else if (words[0] == "where" && lines == &case_lines) {
        table.emplace_back(words.begin() + 1, words.end());
      } else {
        fail("expected model, case or where, not \"" + words[0] + "\"");
      }
    } else if (lines == nullptr) {
      fail("an indented line outside a case");
    } else if (!table.empty()) {
      if (words.size() != table[0].size()) fail("a row of wrong size");
      table.push_back(words);
    } else if (words[0] == "use") {
      if (!models.contains(words.at(1))) fail("no model named \"" + words[1] + "\"");
      lines->insert(lines->end(), models[words[1]].begin(), models[words[1]].end());
    } else {
      lines->push_back(text);
    }
  }
  if (!at.empty()) expand();
}

std::string ModelOf(const std::vector<Statement>& statements) {
  nlohmann::json model = {{"format", "orba-model"},
                          {"version", 1},
                          {"packages", {{{"key", "root"}, {"name", "Model"}}}},
                          {"elements", nlohmann::json::array()},
                          {"connectors", nlohmann::json::array()}};
  const std::map<std::string, Statement> kWords{
      {"package", {}}, {"element", {"type"}}, {"connector", {"type", "client", "supplier"}}};
  for (const auto& s : statements) {
    if (!kWords.contains(s[0])) continue;
    const Statement& words = kWords.at(s[0]);  // after KEY
    const auto star = s.at(1).find('*');       // KEY*N for KEY1 ... KEYN
    const int count = star == std::string::npos ? 1 : std::stoi(s[1].substr(star + 1));
    for (int n = 1; n <= count; ++n) {
      const std::string key =
          star == std::string::npos ? s[1] : s[1].substr(0, star) + std::to_string(n);
      nlohmann::json item{{"key", key}};
      if (s[0] != "connector") item["name"] = key;
      if (s[0] == "package") item["parent"] = "root";
      for (size_t i = 0; i < words.size(); ++i) item[words[i]] = s.at(i + 2);
      for (size_t i = words.size() + 2; i < s.size(); ++i) {  // FIELD=VALUE
        const auto equals = s[i].find('=');
        if (equals == std::string::npos) throw std::runtime_error("not FIELD=VALUE: " + s[i]);
        const std::string field = s[i].substr(0, equals), value = s[i].substr(equals + 1);
        const bool json = field.ends_with("Aggregation") || value.starts_with("[");
        if (value == "~") continue;
        if (field.starts_with("tag.")) {
          item["tags"].push_back({{"name", field.substr(4)}, {"value", value}});
        } else {
          item[field] = json ? nlohmann::json::parse(value) : nlohmann::json(value);
        }
      }
      if (s[0] == "element" && !item.contains("parent")) item.emplace("package", "root");
      model[s[0] + "s"].push_back(item);
    }
  }
  return model.dump();
}

// The id at the place of `id` in `from` (its first registration), in `to`; `none` if absent.
std::string Paired(const std::vector<std::string>& from, const std::vector<std::string>& to,
                   const std::string& id, const std::string& none) {
  const auto found = std::ranges::find(from, id);
  return found == from.end() ? none : to[static_cast<size_t>(found - from.begin())];
}

// A test model with the rule category and rules registered against it,
// through a host that records calls and can fail them or hide elements.
struct Harness {
  explicit Harness(const std::vector<Statement>& statements, bool registered = true)
      : model(ModelOf(statements)),
        host(std::make_shared<testing_support::ScriptedHost>(model.Repository())) {
    if (registered) Register();
    host->Plan().ClearCalls();
  }

  void Register() {
    rules.ConfigureCategories(host);
    rules.ConfigureRules(host);
  }

  std::string LocalId(const std::string& host_id) const {
    return Paired(rules.HostRuleIDs(), rules.LocalRuleIDs(), host_id, "?");
  }

  // The reports as RULE:MESSAGE/ERRORTYPE, MESSAGE the string id of the text
  // (the rule messages are 129 to 175; 0 for none of them).
  std::vector<std::string> Reports() const {
    std::vector<std::string> reports;
    for (const auto& reported : model.Reports()) {
      int message = 0;
      for (int id = 129; id <= 175 && message == 0; ++id) {
        try {
          if (resources::LoadResString(id) == reported.message) message = id;
        } catch (const resources::ResourceError&) {
          // 147 is not a rule message and may be absent.
        }
      }
      reports.push_back(LocalId(reported.rule_id) + ":" + std::to_string(message) + "/" +
                        std::to_string(reported.error_type));
    }
    return reports;
  }

  // run RULE KIND KEY [OWNER]; RULE a local id, or =ID for the host id ID.
  void Run(const Statement& s) {
    const std::string rule = s.at(1).starts_with("=")
                                 ? s[1].substr(1)
                                 : Paired(rules.LocalRuleIDs(), rules.HostRuleIDs(), s[1], "");
    const std::string &kind = s.at(2), &key = s.at(3);
    const bool missing = key == "?";
    if (kind == "element") {
      rules.RunElementRule(host, rule, missing ? nullptr : host->Wrap(model.Element(key)));
    } else if (kind == "package") {
      rules.RunPackageRule(host, rule, missing ? 9999 : model.PackageId(key));
    } else if (kind == "connector") {
      rules.RunConnectorRule(host, rule, missing ? 9999 : model.ConnectorId(key));
    } else if (kind == "method") {
      rules.RunMethodRule(host, rule, key, s.at(4) == "?" ? 9999 : model.ElementId(s[4]));
    } else {
      throw std::runtime_error("no event kind " + kind);
    }
  }

  // Does what a hide or run statement says, the fail_at-th host call of a run
  // failing (none for 0); `threw` says whether the last run failed.
  void Act(const Statement& s, int fail_at = 0) {
    if (s[0] == "hide") {
      host->Plan().HideElement(model.ElementId(s.at(1)));
      host->Plan().HideElementGuid(model.ElementGuid(s[1]));
    } else if (s[0] == "run") {
      if (fail_at > 0) host->Plan().FailAtCall(fail_at);
      try {
        threw = false;
        Run(s);
      } catch (const host::Error&) {
        threw = true;
      }
    }
  }

  testing_support::TestModel model;
  std::shared_ptr<testing_support::ScriptedHost> host;
  rules::CSysMLRules rules;
  bool threw = false;
};

// The reports after "expect" (commas split them too), each report made cut to
// the form it is written in; a first one "throws" says the last event failed.
void Expect(const Harness& harness, const Statement& expected) {
  std::string joined;
  for (size_t i = 1; i < expected.size(); ++i) joined += expected[i] + " ";
  std::ranges::replace(joined, ',', ' ');
  Statement forms = Words(joined), reports;
  std::erase(forms, "none");
  const bool throws = !forms.empty() && forms[0] == "throws";
  if (throws) forms.erase(forms.begin());
  for (std::string report : harness.Reports()) {
    const std::string form = reports.size() < forms.size() ? forms[reports.size()] : "r:m/e";
    if (form.find('/') == std::string::npos) report.erase(report.find('/'));
    if (form.find(':') == std::string::npos) report.erase(0, report.find(':') + 1);
    reports.push_back(report);
  }
  EXPECT_EQ(reports, forms);
  EXPECT_EQ(harness.threw, throws)
      << (harness.threw ? "the event failed" : "the event did not fail");
}

class RuleCaseTest : public testing::TestWithParam<RuleCase> {};

TEST_P(RuleCaseTest, ReportsWhatTheCaseExpects) {
  const std::vector<Statement>& statements = GetParam().statements;
  if (statements.empty()) FAIL() << GetParam().title;
  Harness harness(statements);
  const auto& plan = harness.host->Plan();
  size_t last_run = 0, first_call = 0;  // the last run statement, its first host call
  const auto faults = [&](size_t end) {
    const std::vector<std::string> calls = plan.Calls(), reports = harness.Reports();
    for (size_t failing = first_call; failing < calls.size(); ++failing) {
      Harness replay(statements);
      for (size_t i = 0; i < end; ++i) {
        replay.Act(statements[i], i == last_run ? static_cast<int>(failing - first_call + 1) : 0);
      }
      const auto made = std::count(calls.begin(), calls.begin() + static_cast<long>(failing),
                                   "ProjectServices.ReportViolation");
      EXPECT_TRUE(replay.threw) << "failing " << calls[failing];
      EXPECT_EQ(replay.Reports(), std::vector(reports.begin(), reports.begin() + made))
          << "failing " << calls[failing];
    }
  };
  for (size_t i = 0; i < statements.size(); ++i) {
    const Statement& s = statements[i];
    if (s[0] == "run") std::tie(last_run, first_call) = std::pair(i, plan.Calls().size());
    harness.Act(s);
    if (s[0] == "expect") Expect(harness, s);
    if (s[0] == "faults") faults(i);
    if (s[0] == "calls") {
      EXPECT_EQ(s.at(1) == "*" ? plan.Calls().size() : plan.CountOf(s[1]), std::stoul(s.at(2)))
          << s[1];
    }
  }
}

std::vector<RuleCase> AllCases() {
  const std::set<std::filesystem::path> files(
      std::filesystem::directory_iterator(kFolder + "cases"), {});
  std::vector<RuleCase> cases;
  for (const auto& file : files) {
    try {
      ReadRuleCases(file, cases);
    } catch (const std::exception& error) {  // a case without statements fails, naming the problem
      cases.push_back(RuleCase{file.stem().string() + "_0", error.what(), {}});
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, RuleCaseTest, testing::ValuesIn(AllCases()),
                         [](const auto& info) { return info.param.name; });

// The registry and the shared helpers. An item for every run event, and a
// flow port that Rule_09 reports (137).
const std::vector<Statement> kItems{
    {"element", "cls", "Class", R"(operations=[{"name": "op", "guid": "{OP}"}])"},
    {"element", "iface", "Interface", "metatype=Interface"},
    {"element", "port", "Port", "metatype=FlowPort", "propertyType=iface"},
    {"connector", "assoc", "Association", "cls", "cls"}};

// The run events after which the rule has made more than the lookup of the item.
std::string EventsReadingTheItem(Harness& harness, const std::string& local_id) {
  const Statement kinds{"element", "package", "connector", "method"};
  const Statement keys{"cls", "root", "assoc", "{OP}"};
  std::string reading;
  for (size_t i = 0; i < kinds.size(); ++i) {
    harness.host->Plan().ClearCalls();
    harness.Run({"run", local_id, kinds[i], keys[i], "cls"});
    if (std::ranges::any_of(harness.host->Plan().Calls(),
                            [](const auto& call) { return !call.starts_with("Repository.Get"); }))
      reading += (reading.empty() ? "" : ",") + kinds[i];
  }
  return reading.empty() ? "-" : reading;
}

TEST(Registry, RegistersWhatTheGoldenFileHolds) {
  Harness harness(kItems);
  const auto& log =
      std::dynamic_pointer_cast<orba::store::ModelRepository>(harness.model.Repository())
          ->Validation();
  std::ostringstream registered;
  for (const auto& category : log.Categories())
    registered << category.id << " " << category.name << "\n";
  for (const auto& rule : log.Rules()) {
    const std::string local = harness.LocalId(rule.id);
    registered << rule.id << " " << rule.category_id << " " << rule.error_type << " " << local
               << " " << EventsReadingTheItem(harness, local) << " " << rule.text << "\n";
  }
  const std::string golden_file = kFolder + "golden/registered_rules.txt";
  if (std::getenv("UPDATE_GOLDEN")) std::ofstream(golden_file) << registered.str();
  EXPECT_EQ(registered.str(), testing_support::FileBytes(golden_file));
}

// A second registration adds a category and rule ids; the rules report under the first.
TEST(Registry, NothingRunsBeforeRegistrationAndAfterReRegistrationReportsGoToTheFirst) {
  Harness harness(kItems, false);
  harness.Run({"run", "=rule-5", "element", "port"});
  harness.Run({"run", "=", "element", "port"});
  EXPECT_THAT(harness.host->Plan().Calls(), testing::IsEmpty());
  EXPECT_TRUE(harness.rules.HostRuleIDs().empty());
  EXPECT_TRUE(harness.rules.CategoryID().empty());
  harness.Register();
  harness.Register();
  EXPECT_EQ(harness.rules.CategoryID(), "category-2");
  EXPECT_EQ(harness.rules.HostRuleIDs().size(), 52u);
  harness.Run({"run", "=rule-31", "element", "port"});  // Rule_09 of the second registration
  harness.Run({"run", "=rule-5", "element", "port"});
  std::vector<std::string> rule_ids;
  for (const auto& reported : harness.model.Reports()) rule_ids.push_back(reported.rule_id);
  EXPECT_EQ(rule_ids, (Statement{"rule-5", "rule-5"}));
}

TEST(Helpers, NothingAndMissingElementsAreHostErrorsAndLowerCaseIsAscii) {
  EXPECT_THROW(rules::GetElementTagValue(nullptr, "unit"), host::Error);
  EXPECT_THROW(rules::GetConnectorTagValue(nullptr, "unit"), host::Error);
  const testing_support::TestModel model(ModelOf(kItems));
  EXPECT_THAT([&] { rules::RequireElement(model.Repository(), 4711); },
              testing::ThrowsMessage<host::Error>(testing::HasSubstr("no element with id 4711")));
  EXPECT_EQ(rules::LowerCase("FlowPort ÄÖ 09_Z"), "flowport ÄÖ 09_z");
}

}  // namespace
}  // namespace rules_test
