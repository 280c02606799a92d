// The SysML rules, on cases kept as data (tests/rules/cases/*.txt): each case
// builds a small model, runs rule events and states the reports it expects.
//
//   # a comment line
//   model NAME                  items shared by cases, indented below
//   case TITLE                  one case, its lines indented below
//     use NAME                  the items of a model (defined above)
//     package KEY [FIELD=VALUE ...]
//     element KEY TYPE [FIELD=VALUE ...]
//     connector KEY TYPE CLIENT SUPPLIER [FIELD=VALUE ...]
//     hide KEY                  the host finds no such element, by id or GUID
//     run RULE element|package|connector KEY
//     run RULE method GUID OWNER
//     expect [throws] REPORT .. the reports so far, in order ("none": none);
//                               "throws": the last event failed
//     calls NAME COUNT          the events so far made COUNT host calls of NAME
//                               ("*": of any name; COUNT "~": not checked)
//     faults                    the case so far again once per host call of its
//                               last event, that call failing: the event fails
//                               and keeps the reports made before
//   where COLUMN ...            the case once per row below, with {COLUMN}
//     VALUE ...                 replaced by the row's value ("-": empty)
//
// RULE is a local rule id, or =ID for the host rule id ID. A KEY (or OWNER)
// "?" is an item the host cannot find. A report is MESSAGE (its string id),
// RULE:MESSAGE or RULE:MESSAGE/ERRORTYPE; reports may be joined by commas.
// FIELD=~ is left out, and so is an item or hide line whose KEY is "~"; KEY*N
// stands for N items KEY1 to KEYN; tag.NAME=VALUE adds a tagged value. "..."
// is one word. Values are text, JSON for *Aggregation and values starting with
// [. Elements are named after their key and go into the root package.
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

// `word` with each {COLUMN} replaced by the value of that column ("-": empty).
std::string Substituted(std::string word, const Statement& columns, const Statement& values) {
  for (size_t i = 0; i < columns.size(); ++i) {
    const std::string name = "{" + columns[i] + "}", value = values[i] == "-" ? "" : values[i];
    for (size_t at = word.find(name); at != std::string::npos; at = word.find(name, at)) {
      word.replace(at, name.size(), value);
      at += value.size();
    }
  }
  return word;
}

// A model or case as written: its statements ("use" already replaced) and
// its where table: the columns, then the rows.
struct Block {
  std::string title;
  int line = 0;
  std::vector<Statement> statements, table;
};

// Every case of a case file, tables expanded.
std::vector<RuleCase> ReadRuleCases(const std::filesystem::path& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  const std::string file = path.filename().string();
  std::map<std::string, Block> models;
  std::vector<Block> cases;
  Block* block = nullptr;
  std::string text;
  for (int number = 1; std::getline(in, text); ++number) {
    const Statement words = Words(text);
    if (words.empty() || text[0] == '#') continue;
    const bool indented = std::isspace(static_cast<unsigned char>(text[0]));
    const auto fail = [&](const std::string& problem) {
      throw std::runtime_error(file + ":" + std::to_string(number) + ": " + problem);
    };
    if (!indented && words[0] == "model") {
      block = &models[words.at(1)];
    } else if (!indented && words[0] == "case") {
      block = &cases.emplace_back(Block{text.substr(5), number, {}, {}});
    } else if (!indented && words[0] == "where" && !cases.empty() && block == &cases.back()) {
      block->table.emplace_back(words.begin() + 1, words.end());
    } else if (!indented) {
      fail("expected model, case or where, not \"" + words[0] + "\"");
    } else if (block == nullptr) {
      fail("an indented line outside a case");
    } else if (!block->table.empty()) {
      if (words.size() != block->table[0].size()) fail("a row of wrong size");
      block->table.push_back(words);
    } else if (words[0] == "use") {
      const auto used = models.find(words.at(1));
      if (used == models.end()) fail("no model named \"" + words[1] + "\"");
      const auto& statements = used->second.statements;
      block->statements.insert(block->statements.end(), statements.begin(), statements.end());
    } else {
      block->statements.push_back(words);
    }
  }
  std::vector<RuleCase> expanded;
  for (const Block& c : cases) {
    // A case without a table runs once, with nothing to replace.
    const auto table = c.table.empty() ? std::vector<Statement>{{}, {}} : c.table;
    for (size_t row = 1; row < table.size(); ++row) {
      const std::string line = std::to_string(c.line);
      RuleCase rule_case{path.stem().string() + "_" + line, file + ":" + line + " " + c.title, {}};
      if (!c.table.empty()) {
        rule_case.name += "_" + std::to_string(row);
        rule_case.title += " [";
        for (const auto& value : table[row]) rule_case.title += " " + value;
        rule_case.title += " ]";
      }
      for (Statement statement : c.statements) {
        for (auto& word : statement) word = Substituted(word, table[0], table[row]);
        rule_case.statements.push_back(statement);
      }
      expanded.push_back(std::move(rule_case));
    }
  }
  return expanded;
}

// The FIELD=VALUE tokens of a statement from `first` on, onto `item`.
nlohmann::json Fields(nlohmann::json item, const Statement& tokens, size_t first) {
  for (size_t i = first; i < tokens.size(); ++i) {
    const auto equals = tokens[i].find('=');
    if (equals == std::string::npos) throw std::runtime_error("not FIELD=VALUE: " + tokens[i]);
    const std::string field = tokens[i].substr(0, equals), value = tokens[i].substr(equals + 1);
    const bool json = field.ends_with("Aggregation") || value.starts_with("[");
    if (value == "~") continue;
    if (field.starts_with("tag.")) {
      item["tags"].push_back({{"name", field.substr(4)}, {"value", value}});
    } else {
      item[field] = json ? nlohmann::json::parse(value) : nlohmann::json(value);
    }
  }
  return item;
}

std::string ModelOf(const std::vector<Statement>& statements) {
  nlohmann::json model = {{"format", "orba-model"},
                          {"version", 1},
                          {"packages", {{{"key", "root"}, {"name", "Model"}}}},
                          {"elements", nlohmann::json::array()},
                          {"connectors", nlohmann::json::array()}};
  for (const auto& s : statements) {
    if (s[0] != "package" && s[0] != "element" && s[0] != "connector") continue;
    // KEY, KEY*N for KEY1 ... KEYN, or none for "~".
    const auto star = s.at(1).find('*');
    const int count = s[1] == "~"                 ? 0
                      : star == std::string::npos ? 1
                                                  : std::stoi(s[1].substr(star + 1));
    for (int n = 1; n <= count; ++n) {
      const std::string key =
          star == std::string::npos ? s[1] : s[1].substr(0, star) + std::to_string(n);
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

  testing_support::TestModel model;
  std::shared_ptr<testing_support::ScriptedHost> host;
  rules::CSysMLRules rules;
};

// Does what a hide or run statement says; with fail_at > 0 the fail_at-th
// host call of a run fails. Answers whether the statement's event failed.
bool Act(Harness& harness, const Statement& s, int fail_at, bool threw) {
  auto& plan = harness.host->Plan();
  if (s[0] == "hide" && s.at(1) != "~") {
    plan.HideElement(harness.model.ElementId(s.at(1)));
    plan.HideElementGuid(harness.model.ElementGuid(s[1]));
  } else if (s[0] == "run") {
    if (fail_at > 0) plan.FailAtCall(fail_at);
    try {
      harness.Run(s);
      return false;
    } catch (const host::Error&) {
      return true;
    }
  }
  return threw;
}

// The reports after "expect", split at commas too, each report cut to the
// form it is written in; a first one "throws" says the last event failed.
void Expect(const Harness& harness, const Statement& expected, bool threw) {
  std::string words;
  for (size_t i = 1; i < expected.size(); ++i) words += expected[i] + ",";
  std::vector<std::string> forms, reports;
  std::istringstream in(words);
  for (std::string form; std::getline(in, form, ',');) {
    if (!form.empty() && form != "none") forms.push_back(form);
  }
  const bool throws = !forms.empty() && forms[0] == "throws";
  if (throws) forms.erase(forms.begin());
  for (std::string report : harness.Reports()) {
    const std::string form = reports.size() < forms.size() ? forms[reports.size()] : "r:m/e";
    if (form.find('/') == std::string::npos) report.erase(report.find('/'));
    if (form.find(':') == std::string::npos) report.erase(0, report.find(':') + 1);
    reports.push_back(report);
  }
  EXPECT_EQ(reports, forms);
  EXPECT_EQ(threw, throws) << (threw ? "the event failed" : "the event did not fail");
}

// Plays the statements before `end` again once for each host call of the
// run at `run` (the calls from `first_call` on in `clean`), failing it.
void ExpectEachFailureKeepsEarlierReports(const RuleCase& rule_case, size_t end, size_t run,
                                          const Harness& clean, size_t first_call) {
  const std::vector<std::string>& calls = clean.host->Plan().Calls();
  const std::vector<std::string> reports = clean.Reports();
  for (size_t failing = first_call; failing < calls.size(); ++failing) {
    Harness harness(rule_case.statements);
    bool threw = false;
    for (size_t i = 0; i < end; ++i) {
      const int fail_at = i == run ? static_cast<int>(failing - first_call + 1) : 0;
      threw = Act(harness, rule_case.statements[i], fail_at, threw);
    }
    const auto made = std::count(calls.begin(), calls.begin() + static_cast<long>(failing),
                                 "ProjectServices.ReportViolation");
    EXPECT_TRUE(threw) << "failing " << calls[failing];
    EXPECT_EQ(harness.Reports(), std::vector(reports.begin(), reports.begin() + made))
        << "failing " << calls[failing];
  }
}

class RuleCaseTest : public testing::TestWithParam<RuleCase> {};

TEST_P(RuleCaseTest, ReportsWhatTheCaseExpects) {
  const RuleCase& rule_case = GetParam();
  if (rule_case.statements.empty()) FAIL() << rule_case.title;
  Harness harness(rule_case.statements);
  const auto& plan = harness.host->Plan();
  bool threw = false;
  size_t last_run = 0, first_call = 0;
  for (size_t i = 0; i < rule_case.statements.size(); ++i) {
    const Statement& s = rule_case.statements[i];
    if (s[0] == "run") std::tie(last_run, first_call) = std::pair(i, plan.Calls().size());
    threw = Act(harness, s, 0, threw);
    if (s[0] == "expect") {
      Expect(harness, s, threw);
    } else if (s[0] == "calls" && s.at(2) != "~") {
      const size_t count = s.at(1) == "*" ? plan.Calls().size() : plan.CountOf(s[1]);
      EXPECT_EQ(count, std::stoul(s.at(2))) << s[1];
    } else if (s[0] == "faults") {
      ExpectEachFailureKeepsEarlierReports(rule_case, i, last_run, harness, first_call);
    }
  }
}

std::vector<RuleCase> AllCases() {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(kFolder + "cases")) {
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

const orba::store::ValidationLog& Log(const Harness& harness) {
  return std::dynamic_pointer_cast<orba::store::ModelRepository>(harness.model.Repository())
      ->Validation();
}

// The run events after which the rule has made more than the lookup of the item.
std::string EventsReadingTheItem(Harness& harness, const std::string& local_id) {
  std::string reading;
  for (const Statement& run :
       {Statement{"run", local_id, "element", "cls"}, Statement{"run", local_id, "package", "root"},
        Statement{"run", local_id, "connector", "assoc"},
        Statement{"run", local_id, "method", "{OP}", "cls"}}) {
    harness.host->Plan().ClearCalls();
    harness.Run(run);
    if (std::ranges::any_of(harness.host->Plan().Calls(),
                            [](const auto& call) { return !call.starts_with("Repository.Get"); }))
      reading += (reading.empty() ? "" : ",") + run[2];
  }
  return reading.empty() ? "-" : reading;
}

TEST(Registry, RegistersWhatTheGoldenFileHolds) {
  Harness harness(kItems);
  std::ostringstream registered;
  for (const auto& category : Log(harness).Categories())
    registered << category.id << " " << category.name << "\n";
  for (const auto& rule : Log(harness).Rules()) {
    const std::string local = harness.LocalId(rule.id);
    registered << rule.id << " " << rule.category_id << " " << rule.error_type << " " << local
               << " " << EventsReadingTheItem(harness, local) << " " << rule.text << "\n";
  }
  const std::string golden_file = kFolder + "golden/registered_rules.txt";
  if (std::getenv("UPDATE_GOLDEN")) std::ofstream(golden_file) << registered.str();
  EXPECT_EQ(registered.str(), testing_support::FileBytes(golden_file));
}

TEST(Registry, NothingRunsBeforeRegistrationAndAfterReRegistrationReportsGoToTheFirst) {
  Harness harness(kItems, false);
  harness.Run({"run", "=rule-5", "element", "port"});
  harness.Run({"run", "=", "element", "port"});
  EXPECT_THAT(harness.host->Plan().Calls(), testing::IsEmpty());
  EXPECT_TRUE(harness.rules.HostRuleIDs().empty());
  EXPECT_TRUE(harness.rules.CategoryID().empty());
  harness.Register();
  harness.Register();
  // Each time one services object for the category, one for all the rules.
  EXPECT_EQ(harness.host->Plan().CountOf("Repository.GetProjectServices"), 4);
  EXPECT_EQ(harness.rules.CategoryID(), "category-2");
  ASSERT_EQ(harness.rules.HostRuleIDs().size(), 52u);
  EXPECT_EQ(harness.rules.HostRuleIDs()[26], "rule-27");
  EXPECT_EQ(harness.rules.LocalRuleIDs()[30], "Rule_09");
  EXPECT_EQ(Log(harness).Rules()[26].category_id, "category-2");
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
