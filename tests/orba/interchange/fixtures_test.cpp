// Imports the real models of other tools (../shared/realdata/xmi) and checks
// what matters to a user of each: counts by kind, the stereotypes and
// metatypes that drive the rules, a few precise facts, and the violations the
// rules report on the built `orba`. The cases are cases/fixtures.txt:
//
//   == NAME PATH [MAP]       a fixture set: PATH under realdata/xmi, MAP a
//                            stereotype map under cases/
//   counts | P | E | C       packages, elements and connectors imported
//   imported | KIND | N      N items imported as KIND (the report's wording)
//   skipped | KIND | N       N items of KIND left out
//   unresolved | N           N hrefs imported as stubs
//   element | ID | TYPE | STEREOTYPE | METATYPE     the element imported from xmi:id ID
//   tag | ID | NAME | VALUE  its tagged value (the last of that name)
//   typed | ID | NAME        the name of the element typing it
//   owner | ID | NAME        the name of the element owning it
//   notes | ID | TEXT        its notes
//   connector | ID | TYPE | STEREOTYPE | CLIENT | SUPPLIER   ends by name
//   field | ID | NAME | VALUE          a further field of that connector
//   ctag | ID | NAME | VALUE           its tagged value
//   aggregation | ID | CLIENT | SUPPLIER   the aggregation of its ends
//   multiplicity | ID | TEXT           the element's multiplicity
//   violations | RULE | N    `orba validate` reports N violations of the rule
//                            ("total" for all of them); it never has failures
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "orba/interchange/imported_model.h"
#include "support/temp_folder.h"

namespace orba::interchange::testing {
namespace {

const std::string kRealData = std::string(TESSARY_SOURCE_ROOT) + "/../shared/realdata/xmi/";
const std::string kCases = std::string(TESSARY_SOURCE_ROOT) + "/tests/orba/interchange/cases/";

struct FixtureCase {
  std::string name;
  std::string path;
  std::string map;  // "" when none
  std::vector<std::vector<std::string>> checks;
};

void PrintTo(const FixtureCase& fixture, std::ostream* out) { *out << fixture.name; }

std::vector<FixtureCase> ReadCases() {
  std::ifstream in(kCases + "fixtures.txt");
  std::vector<FixtureCase> cases;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    if (line.starts_with("== ")) {
      std::istringstream words(line.substr(3));
      FixtureCase fixture;
      words >> fixture.name >> fixture.path >> fixture.map;
      cases.push_back(fixture);
    } else {
      cases.back().checks.push_back(CaseFields(line));
    }
  }
  return cases;
}

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Runs the built orba in `folder`, its settings kept there; answers stdout.
std::string RunOrba(const testing_support::TempFolder& folder, const std::string& arguments) {
  const std::string command = "cd '" + folder.path().string() + "' && XDG_CONFIG_HOME='" +
                              folder.path().string() + "' '" + TESSARY_BUILD_BIN_DIR +
                              "/orba' --ui none " + arguments + " 2>/dev/null";
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (size_t count; (count = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      output.append(buffer, count);
    pclose(pipe);
  }
  return output;
}

// The violations `orba validate` reports on the imported fixture, by rule.
std::map<std::string, int> ViolationsByRule(const FixtureCase& fixture) {
  testing_support::TempFolder folder;
  std::string import = "import '" + kRealData + fixture.path + "' -o model.obx";
  if (!fixture.map.empty()) import += " --stereotype-map '" + kCases + fixture.map + "'";
  RunOrba(folder, import);
  const nlohmann::json result =
      nlohmann::json::parse(RunOrba(folder, "validate model.obx --format json"));
  EXPECT_TRUE(result["failures"].empty()) << result["failures"].dump();
  std::map<std::string, int> counts;
  for (const nlohmann::json& violation : result["violations"]) {
    ++counts[violation["rule"].get<std::string>()];
    ++counts["total"];
  }
  return counts;
}

std::string LastTag(const host::ElementPtr& element, const std::string& name) {
  std::string value = "(none)";
  for (const auto& tag : element->TaggedValues()->Items()) {
    if (tag->Name() == name) value = tag->Value();
  }
  return value;
}

class FixtureTest : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(FixtureTest, ImportsWhatTheUserModelledAndTheRulesReportItsRealProblems) {
  const FixtureCase& fixture = GetParam();
  XmiOptions options = FileReadingOptions();
  if (!fixture.map.empty())
    options.stereotype_map = ReadStereotypeMap(FileText(kCases + fixture.map), fixture.map);
  ImportedModel model(FileText(kRealData + fixture.path), kRealData + fixture.path, options);
  const ImportReport& report = model.Report();
  EXPECT_GE(report.ImportedShare(), 95.0) << ReportText(report);
  std::map<std::string, int> violations;
  bool validated = false;
  for (const std::vector<std::string>& check : fixture.checks) {
    SCOPED_TRACE(check[0] + " " + (check.size() > 1 ? check[1] : ""));
    const std::string& what = check.at(0);
    auto field = [&check](size_t index) { return check.at(index); };
    auto number = [&check](size_t index) { return std::stoul(check.at(index)); };
    if (what == "counts") {
      EXPECT_EQ(report.packages, number(1));
      EXPECT_EQ(report.elements, number(2));
      EXPECT_EQ(report.connectors, number(3));
    } else if (what == "imported") {
      auto found = report.imported.find(field(1));
      EXPECT_EQ(found == report.imported.end() ? 0 : found->second, number(2));
    } else if (what == "skipped") {
      auto found = report.skipped.find(field(1));
      EXPECT_EQ(found == report.skipped.end() ? 0 : found->second.count, number(2));
    } else if (what == "unresolved") {
      EXPECT_EQ(report.unresolved.size(), number(1));
    } else if (what == "element") {
      const host::ElementPtr element = model.Element(field(1));
      EXPECT_EQ(element->Type(), field(2));
      EXPECT_EQ(element->Stereotype(), field(3));
      EXPECT_EQ(element->Metatype(), field(4));
    } else if (what == "tag") {
      EXPECT_EQ(LastTag(model.Element(field(1)), field(2)), field(3));
    } else if (what == "typed") {
      const int32_t type = model.Element(field(1))->PropertyTypeID();
      EXPECT_EQ(type == 0 ? "(none)" : model.Repository().GetElementByID(type)->Name(), field(2));
    } else if (what == "owner") {
      const int32_t owner = model.Element(field(1))->ParentID();
      EXPECT_EQ(owner == 0 ? "(none)" : model.Repository().GetElementByID(owner)->Name(), field(2));
    } else if (what == "notes") {
      EXPECT_EQ(model.Element(field(1))->Notes(), field(2));
    } else if (what == "connector") {
      const host::ConnectorPtr connector = model.Connector(field(1));
      EXPECT_EQ(connector->Type(), field(2));
      EXPECT_EQ(connector->Stereotype(), field(3));
      EXPECT_EQ(model.Repository().GetElementByID(connector->ClientID())->Name(), field(4));
      EXPECT_EQ(model.Repository().GetElementByID(connector->SupplierID())->Name(), field(5));
    } else if (what == "field") {
      EXPECT_EQ(model.ConnectorField(field(1), field(2)), field(3));
    } else if (what == "ctag") {
      std::string value = "(none)";
      for (const auto& tag : model.Connector(field(1))->TaggedValues()->Items()) {
        if (tag->Name() == field(2)) value = tag->Value();
      }
      EXPECT_EQ(value, field(3));
    } else if (what == "aggregation") {
      const host::ConnectorPtr connector = model.Connector(field(1));
      EXPECT_EQ(connector->ClientEnd()->Aggregation(), static_cast<int32_t>(number(2)));
      EXPECT_EQ(connector->SupplierEnd()->Aggregation(), static_cast<int32_t>(number(3)));
    } else if (what == "multiplicity") {
      EXPECT_EQ(model.Element(field(1))->Multiplicity(), field(2));
    } else if (what == "violations") {
      if (!validated) violations = ViolationsByRule(fixture);
      validated = true;
      EXPECT_EQ(violations[field(1)], static_cast<int>(number(2)));
    } else {
      ADD_FAILURE() << "unknown check " << what;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(RealModels, FixtureTest, ::testing::ValuesIn(ReadCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace orba::interchange::testing
