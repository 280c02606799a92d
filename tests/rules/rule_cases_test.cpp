// The SysML rules, on cases kept as data: each case builds a small model,
// runs rule events and states the reports it expects. Case files
// (tests/rules/cases/*.txt) hold them:
//
//   # a comment line
//   model NAME                   items shared by cases, indented below
//   case TITLE                   one case, its lines indented below
//     use NAME                   the items of a model
//     package KEY [FIELD=VALUE ...]
//     element KEY TYPE [FIELD=VALUE ...]
//     connector KEY TYPE CLIENT SUPPLIER [FIELD=VALUE ...]
//     hide KEY                   the host answers nothing for this element,
//                                looked up by id or by GUID
//     fail NAME [N]              the N-th host call of NAME fails (default 1)
//     run RULE element|package|connector KEY
//     run RULE method GUID OWNER
//     expect [throws] REPORT ... the reports of the case so far, in order
//                                ("none" for none); "throws": the last
//                                event failed
//     calls NAME COUNT           the events so far made COUNT host calls of
//                                NAME ("*": of any name)
//     faults                     the case up to here again, once for each
//                                host call of its last event, with that call
//                                failing: the event fails and keeps exactly
//                                the reports made before that call
//   where COLUMN ...             the case once per row below, with {COLUMN}
//     VALUE ...                  replaced by the row's value ("-": empty)
//
// RULE is a local rule id, or =ID for the host rule id ID as it is. A KEY
// (or OWNER) "?" is an item the host cannot find. A report is MESSAGE,
// RULE:MESSAGE or RULE:MESSAGE/ERRORTYPE; the words after expect may be
// joined by commas. A FIELD=VALUE whose value is "~" is left out, and so is
// an item or hide line whose KEY is "~"; KEY*N stands for N items, KEY1 to
// KEYN. tag.NAME=VALUE adds a tagged value. Values are text ("..." may hold
// spaces), but JSON for clientAggregation, supplierAggregation and values
// starting with [. Elements are named after their key and go into the root
// package. A model may hold {COLUMN} too, for the case that uses it.
//
// tests/rules/golden/registered_rules.txt holds what the rules register, in
// order: the category, then one line per rule: host id, category, error type,
// local id, the run events that read their item ("-": none) and text. After a
// deliberate change, rewrite it and review the difference:
//   UPDATE_GOLDEN=1 rules_test --gtest_filter=Registry.*
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "orba/store/model_repository.h"
#include "resources/resource_table.h"
#include "resources/string_table.h"
#include "rules/rule_lookups.h"
#include "rules/sysml_rules.h"
#include "support/scripted_host.h"
#include "support/test_model.h"

namespace rules_test {
namespace {

using Statement = std::vector<std::string>;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kFolder = TESSARY_SOURCE_ROOT "/tests/rules/";

struct RuleCase {
  std::string file, title;  // the title with the row's values for a case of a table
  int line = 0, row = 0;    // where the case starts; 1, 2, ... for the rows of a table
  std::vector<Statement> statements;
  friend void PrintTo(const RuleCase& c, std::ostream* out) {
    *out << c.file << ":" << c.line << " " << c.title;
  }
};

// ---- Reading case files ----

[[noreturn]] void Fail(const std::string& file, int line, const std::string& problem) {
  throw std::runtime_error(file + ":" + std::to_string(line) + ": " + problem);
}

// Splits on spaces, except inside "..." (the quotes go) and inside JSON
// brackets (kept whole, quotes and all).
Statement Tokens(const std::string& text, const std::string& file, int line) {
  Statement tokens;
  std::string token;
  bool in_token = false, quoted = false;
  int depth = 0;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      in_token = true;
      if (depth > 0) token += c;
      continue;
    }
    if (!quoted && (c == '[' || c == '{')) ++depth;
    if (!quoted && (c == ']' || c == '}') && depth > 0) --depth;
    if (!quoted && depth == 0 && std::isspace(static_cast<unsigned char>(c))) {
      if (in_token) tokens.push_back(token);
      token.clear();
      in_token = false;
      continue;
    }
    token += c;
    in_token = true;
  }
  if (quoted || depth > 0) Fail(file, line, "unbalanced quotes or brackets");
  if (in_token) tokens.push_back(token);
  return tokens;
}

std::string Substituted(std::string text, const Statement& columns, const Statement& values) {
  for (size_t i = 0; i < columns.size(); ++i) {
    const std::string name = "{" + columns[i] + "}";
    for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at)) {
      text.replace(at, name.size(), values[i]);
      at += values[i].size();
    }
  }
  return text;
}

struct Block {
  std::string kind, title;  // "model" or "case"
  int line = 0;
  std::vector<std::pair<int, std::string>> lines;  // numbered, as written
  Statement columns;                               // of a where table
  std::vector<Statement> rows;
};

std::vector<Block> ReadBlocks(const std::filesystem::path& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  const std::string file = path.filename().string();
  std::vector<Block> blocks;
  std::string text;
  for (int number = 1; std::getline(in, text); ++number) {
    if (text.find_first_not_of(" \t") == std::string::npos || text[0] == '#') continue;
    const bool indented = std::isspace(static_cast<unsigned char>(text[0]));
    const std::string word = text.substr(0, text.find(' '));
    if (indented && blocks.empty()) Fail(file, number, "an indented line outside a case");
    if (indented && blocks.back().columns.empty()) {
      blocks.back().lines.emplace_back(number, text);
    } else if (indented) {
      auto row = Tokens(text, file, number);
      if (row.size() != blocks.back().columns.size()) Fail(file, number, "a row of wrong size");
      // Values with spaces keep their quotes, to stay one token where they
      // are put; JSON stays one token by its brackets.
      for (auto& value : row) {
        const bool whole = value.find(' ') == std::string::npos || value.starts_with('[');
        value = value == "-" ? "" : whole ? value : '"' + value + '"';
      }
      blocks.back().rows.push_back(row);
    } else if (word == "where" && !blocks.empty() && blocks.back().kind == "case") {
      blocks.back().columns = Tokens(text.substr(5), file, number);
    } else if (word == "model" || word == "case") {
      blocks.push_back(Block{word, text.substr(word.size() + 1), number, {}, {}, {}});
    } else {
      Fail(file, number, "expected model, case or where, not \"" + word + "\"");
    }
  }
  return blocks;
}

// Every case of a case file, tables expanded, models put in place of "use".
std::vector<RuleCase> ReadRuleCases(const std::filesystem::path& path) {
  const std::string file = path.filename().string();
  const std::vector<Block> blocks = ReadBlocks(path);
  std::map<std::string, const Block*> models;
  std::vector<RuleCase> cases;
  for (const Block& block : blocks) {
    if (block.kind == "model") {
      models[block.title] = &block;
      continue;
    }
    // A case without a table runs once, with nothing to replace.
    const auto rows = block.rows.empty() ? std::vector<Statement>{{}} : block.rows;
    for (const auto& row : rows) {
      RuleCase rule_case{file, block.title, block.line, 0, {}};
      if (!block.rows.empty()) {
        rule_case.row = static_cast<int>(&row - &rows[0]) + 1;
        rule_case.title += " [";
        for (const auto& value : row) rule_case.title += (&value == &row[0] ? "" : " ") + value;
        rule_case.title += "]";
      }
      std::vector<std::pair<int, std::string>> lines;
      for (const auto& [number, text] : block.lines) {
        const auto tokens = Tokens(text, file, number);
        if (tokens[0] != "use") {
          lines.emplace_back(number, text);
        } else if (tokens.size() != 2 || !models.contains(tokens[1])) {
          Fail(file, number, "no model named \"" + (tokens.size() > 1 ? tokens[1] : "") + "\"");
        } else {
          const auto& used = models[tokens[1]]->lines;
          lines.insert(lines.end(), used.begin(), used.end());
        }
      }
      for (const auto& [number, text] : lines) {
        rule_case.statements.push_back(Tokens(Substituted(text, block.columns, row), file, number));
      }
      cases.push_back(std::move(rule_case));
    }
  }
  return cases;
}

// ---- The model of a case ----

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

// ---- Running a case ----

// A test model with the rule category and rules registered against it,
// through a host that records calls and can fail them or hide elements.
struct Harness {
  explicit Harness(const std::string& model_document, bool registered = true)
      : model(model_document),
        host(std::make_shared<testing_support::ScriptedHost>(model.Repository())) {
    if (!registered) return;
    rules.ConfigureCategories(host);
    rules.ConfigureRules(host);
    host->Plan().ClearCalls();
  }

  // The host rule id registered for a local id (first registration); ID itself for "=ID".
  std::string HostId(const std::string& local_id) const {
    if (local_id.starts_with("=")) return local_id.substr(1);
    const auto found = std::ranges::find(rules.LocalRuleIDs(), local_id);
    if (found == rules.LocalRuleIDs().end()) return "";
    return rules.HostRuleIDs()[static_cast<size_t>(found - rules.LocalRuleIDs().begin())];
  }
  std::string LocalId(const std::string& host_id) const {
    const auto found = std::ranges::find(rules.HostRuleIDs(), host_id);
    if (found == rules.HostRuleIDs().end()) return "?";
    return rules.LocalRuleIDs()[static_cast<size_t>(found - rules.HostRuleIDs().begin())];
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

  // run RULE KIND KEY [OWNER]
  void Run(const Statement& s) {
    const std::string rule = HostId(s.at(1)), &kind = s.at(2), &key = s.at(3);
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

// Does what a hide, fail or run statement says; with fail_at > 0 the
// fail_at-th host call of a run fails. Answers whether the statement's event failed.
bool Act(Harness& harness, const Statement& s, int fail_at, bool threw) {
  auto& plan = harness.host->Plan();
  if (s[0] == "hide" && s.at(1) != "~") {
    plan.HideElement(harness.model.ElementId(s.at(1)));
    plan.HideElementGuid(harness.model.ElementGuid(s[1]));
  } else if (s[0] == "fail") {
    plan.FailOn(s.at(1), s.size() > 2 ? std::stoi(s[2]) : 1);
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

// The reports after "expect", each token split at commas, each report cut to
// the form it is written in; a first one "throws" says the last event failed.
void Expect(const Harness& harness, const Statement& expected, bool threw) {
  std::vector<std::string> forms, reports;
  for (size_t i = 1; i < expected.size(); ++i) {
    for (size_t at = 0; at <= expected[i].size();) {
      const size_t comma = std::min(expected[i].find(',', at), expected[i].size());
      if (comma > at && expected[i] != "none") forms.push_back(expected[i].substr(at, comma - at));
      at = comma + 1;
    }
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

// Plays the case's statements before `end` again once for each host call of
// the run at `run` (the calls from `first_call` on in `clean`), failing it.
void ExpectEachFailureKeepsEarlierReports(const RuleCase& rule_case, size_t end, size_t run,
                                          const Harness& clean, size_t first_call) {
  const std::vector<std::string>& calls = clean.host->Plan().Calls();
  const std::vector<std::string> reports = clean.Reports();
  for (size_t failing = first_call; failing < calls.size(); ++failing) {
    Harness harness(ModelOf(rule_case));
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
  Harness harness(ModelOf(rule_case));
  const auto& plan = harness.host->Plan();
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
      cases.push_back(RuleCase{file.filename().string(), error.what(), 0, 0, {}});
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, RuleCaseTest, testing::ValuesIn(AllCases()), [](const auto& info) {
  const std::string name = std::filesystem::path(info.param.file).stem().string() + "_" +
                           std::to_string(info.param.line);
  return info.param.row == 0 ? name : name + "_" + std::to_string(info.param.row);
});

// ---- The registry and the shared helpers ----

// An item for every run event, and a flow port that Rule_09 reports (137).
const RuleCase kItems{
    "",
    "",
    0,
    0,
    {{"element", "cls", "Class", R"(operations=[{"name": "op", "guid": "{OP}"}])"},
     {"element", "iface", "Interface", "metatype=Interface"},
     {"element", "port", "Port", "metatype=FlowPort", "propertyType=iface"},
     {"connector", "assoc", "Association", "cls", "cls"}}};

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
    const auto& calls = harness.host->Plan().Calls();
    if (std::ranges::any_of(calls,
                            [](const auto& call) { return !call.starts_with("Repository.Get"); }))
      reading += (reading.empty() ? "" : ",") + run[2];
  }
  return reading.empty() ? "-" : reading;
}

TEST(Registry, RegistersWhatTheGoldenFileHolds) {
  Harness harness(ModelOf(kItems));
  std::ostringstream registered, golden;
  for (const auto& category : Log(harness).Categories())
    registered << category.id << " " << category.name << "\n";
  for (const auto& rule : Log(harness).Rules()) {
    const std::string local = harness.LocalId(rule.id);
    registered << rule.id << " " << rule.category_id << " " << rule.error_type << " " << local
               << " " << EventsReadingTheItem(harness, local) << " " << rule.text << "\n";
  }
  const std::string golden_file = kFolder + "golden/registered_rules.txt";
  if (std::getenv("UPDATE_GOLDEN")) std::ofstream(golden_file) << registered.str();
  golden << std::ifstream(golden_file).rdbuf();
  EXPECT_EQ(registered.str(), golden.str());
}

TEST(Registry, NothingRunsBeforeRegistration) {
  Harness harness(ModelOf(kItems), false);
  harness.Run({"run", "=rule-5", "element", "port"});
  harness.Run({"run", "=", "element", "port"});
  EXPECT_THAT(harness.host->Plan().Calls(), IsEmpty());
  EXPECT_TRUE(harness.rules.HostRuleIDs().empty());
  EXPECT_TRUE(harness.rules.CategoryID().empty());
}

TEST(Registry, ReRegistrationAppendsAndReportsGoToTheFirstRegistration) {
  Harness harness(ModelOf(kItems));
  harness.rules.ConfigureCategories(harness.host);
  harness.rules.ConfigureRules(harness.host);
  // One services object for the category, one for all the rules.
  EXPECT_EQ(harness.host->Plan().CountOf("Repository.GetProjectServices"), 2);
  EXPECT_EQ(harness.rules.CategoryID(), "category-2");
  ASSERT_EQ(harness.rules.HostRuleIDs().size(), 52u);
  EXPECT_EQ(harness.rules.HostRuleIDs()[26], "rule-27");
  EXPECT_EQ(harness.rules.LocalRuleIDs()[30], "Rule_09");
  EXPECT_EQ(Log(harness).Rules()[26].category_id, "category-2");
  harness.Run({"run", "=rule-31", "element", "port"});  // Rule_09 of the second registration
  harness.Run({"run", "=rule-5", "element", "port"});
  EXPECT_THAT(harness.model.Reports(),
              ElementsAre(testing::Field(&testing_support::ReportedViolation::rule_id, "rule-5"),
                          testing::Field(&testing_support::ReportedViolation::rule_id, "rule-5")));
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
