// The requirements traceability of the example model: its coverage and its
// uncovered requirements as read by hand from examples/sysml_example.json,
// and every trace relation of that document at its requirements' rows.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>

#include "orba/report/matrix_data.h"
#include "orba/report/reported_site.h"
#include "orba/store/model_repository.h"

namespace orba::report {
namespace {

using ::testing::UnorderedElementsAre;
using ::testing::UnorderedElementsAreArray;

std::unique_ptr<store::ModelRepository> OpenExample() {
  auto repository = std::make_unique<store::ModelRepository>();
  repository->Open(kExampleModel, store::ModelRepository::Access::kReadOnly);
  return repository;
}

class ExampleTraceabilityTest : public ::testing::Test {
 protected:
  // The matrix as `orba matrix` gives it, by requirement name.
  std::map<std::string, std::map<std::string, std::string>> Rows() const {
    const DataTable table = TraceabilityTable(TraceRequirements(model_), model_);
    std::map<std::string, std::map<std::string, std::string>> rows;
    for (const std::vector<std::string>& row : table.rows) {
      for (size_t column = 0; column < row.size(); ++column)
        rows[row[0]][table.columns[column]] = row[column];
    }
    return rows;
  }

  const std::unique_ptr<store::ModelRepository> repository_ = OpenExample();
  const ModelIndex model_{repository_->Session()};
};

// Sixteen requirements; satisfied: those at the supplier end of the eleven
// satisfy relations to requirements; verified: the five verified by test cases.
TEST_F(ExampleTraceabilityTest, CoverageIsElevenSatisfiedAndFiveVerifiedOfSixteen) {
  const TraceabilityMatrix matrix = TraceRequirements(model_);
  EXPECT_EQ(matrix.rows.size(), 16u);
  EXPECT_EQ(matrix.satisfied, 11u);
  EXPECT_EQ(matrix.verified, 5u);
  const nlohmann::ordered_json coverage = CoverageJson(matrix);
  EXPECT_EQ(coverage["satisfiedPercent"], "68.8 %");
  EXPECT_EQ(coverage["verifiedPercent"], "31.3 %");
}

TEST_F(ExampleTraceabilityTest, UnsatisfiedAndUnverifiedRequirementsAreListedByName) {
  std::vector<std::string> unsatisfied, unverified;
  for (const auto& [name, row] : Rows()) {
    if (row.at("Satisfied") == "no") unsatisfied.push_back(name);
    if (row.at("Verified") == "no") unverified.push_back(name);
  }
  EXPECT_THAT(unsatisfied, UnorderedElementsAre("Urban Fuel Economy", "Onboard Charger Input",
                                                "Requirement Derived From A Block",
                                                "Requirement In An Association",
                                                "Requirement In A Generalization"));
  EXPECT_THAT(unverified,
              UnorderedElementsAre(
                  "Hybrid Vehicle Specification", "Drive Modes", "Charging Interface",
                  "Onboard Charger Input", "Vehicle Mass", "Battery Pack Envelope",
                  "Power Split Architecture", "Battery Safety", "Requirement Derived From A Block",
                  "Requirement In An Association", "Requirement In A Generalization"));
}

// Fuel Economy: satisfied by the engine, verified by the combined cycle
// test, derived into Urban Fuel Economy (urban -> fuel), traced by the fuel
// consumption equation; Urban Fuel Economy is the client of that derive.
TEST_F(ExampleTraceabilityTest, CellsListTheOtherEndsWithTheirDirection) {
  const auto rows = Rows();
  const auto& fuel = rows.at("Fuel Economy");
  EXPECT_EQ(fuel.at("satisfy"), "<- InternalCombustionEngine");
  EXPECT_EQ(fuel.at("verify"), "<- Combined Cycle Fuel Economy Test");
  EXPECT_EQ(fuel.at("derive"), "<- Urban Fuel Economy");
  EXPECT_EQ(fuel.at("refine"), "");
  EXPECT_EQ(fuel.at("trace"), "<- FuelConsumptionEquation");
  EXPECT_EQ(rows.at("Urban Fuel Economy").at("derive"), "-> Fuel Economy");
  EXPECT_EQ(rows.at("Drive Modes").at("refine"), "<- Select Drive Mode");
  EXPECT_EQ(rows.at("Drive Modes").at("satisfy"), "<- PowerControlUnit");
}

// Every connector of the example document stereotyped satisfy, verify,
// derive, refine or trace that ends at a requirement is one entry of that
// requirement's row, and the rows hold nothing else.
TEST_F(ExampleTraceabilityTest, EveryTraceRelationOfTheDocumentIsInItsRequirementsRow) {
  std::ifstream in(TESSARY_SOURCE_ROOT "/examples/sysml_example.json");
  const nlohmann::json document = nlohmann::json::parse(in);
  std::map<std::string, nlohmann::json> elements;
  for (const nlohmann::json& element : document["elements"]) elements[element["key"]] = element;
  // Connector ends may be packages, which are no elements.
  const auto is_requirement = [&](const std::string& key) {
    return elements.contains(key) && elements.at(key).value("type", "") == "Requirement";
  };
  std::vector<std::string> expected, found;
  for (const nlohmann::json& connector : document["connectors"]) {
    const std::string stereotype = connector.value("stereotype", "");
    if (stereotype == "copy" || stereotype.empty()) continue;
    const std::string client = connector["client"], supplier = connector["supplier"];
    if (is_requirement(client))
      expected.push_back(elements[client]["name"].get<std::string>() + " -> " +
                         elements[supplier]["name"].get<std::string>());
    if (is_requirement(supplier))
      expected.push_back(elements[supplier]["name"].get<std::string>() + " <- " +
                         elements[client]["name"].get<std::string>());
  }
  for (const auto& [name, row] : Rows()) {
    for (const char* column : {"satisfy", "verify", "derive", "refine", "trace"}) {
      std::string cell = row.at(column);
      for (size_t start = 0; start < cell.size();) {
        const size_t end = std::min(cell.find("; ", start), cell.size());
        found.push_back(name + " " + cell.substr(start, end - start));
        start = end + 2;
      }
    }
  }
  EXPECT_THAT(found, UnorderedElementsAreArray(expected));
}

// The page states the figures in the spans the site's readers look for,
// and lists each requirement once with its GUID.
TEST(TraceabilityPageTest, TheExamplesPageCarriesItsCoverageAndOneRowPerRequirement) {
  const ReportedSite site(kExampleModel);
  pugi::xml_document page;
  ASSERT_TRUE(page.load_string(site.Read("traceability.html").c_str()));
  EXPECT_STREQ(page.select_node("//span[@id='satisfied-percent']").node().text().get(), "68.8 %");
  EXPECT_STREQ(page.select_node("//span[@id='verified-percent']").node().text().get(), "31.3 %");
  EXPECT_EQ(page.select_nodes("//table[@id='traceability-matrix']/tbody/tr[@data-guid]").size(),
            16u);
  EXPECT_EQ(page.select_nodes("//ul[@id='unsatisfied']/li").size(), 5u);
  EXPECT_EQ(page.select_nodes("//ul[@id='unverified']/li").size(), 11u);
}

}  // namespace
}  // namespace orba::report
