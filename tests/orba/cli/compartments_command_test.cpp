// orba compartments, end to end with compartments switched on in the add-in's settings.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "orba/cli/cli_fixtures.h"
#include "orba/cli/model_sql.h"

namespace orba::cli::testing {
namespace {

using nlohmann::json;
using ::testing::HasSubstr;

class CompartmentsCommandTest : public OrbaCommandTest {
 protected:
  std::string model_ = Import(kCarModel);
};

TEST_F(CompartmentsCommandTest, ListsEveryOfferedCompartmentWithItsData) {
  sandbox_.SetAddinOption("Parts", "1");
  sandbox_.SetAddinOption("ShowCompartmentRequirements", "1");
  const OrbaRun run = sandbox_.Run({"compartments", model_, "Speed", "--format", "json"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const json result = json::parse(run.out);
  const std::string guid = result["element"];
  EXPECT_EQ(result["offered"], "parts,requirements");
  EXPECT_EQ(
      result["compartments"],
      json::parse(
          R"([{"name": "parts", "data": ""},
                            {"name": "requirements", "data": "Name=requirements;OwnerGUID=)" +
          guid +
          R"(;Options=SkipIfOnDiagram&_eq_^1&_sc_^CompartmentData=Data&_eq_^Id: R1&_sc_^,Data&_eq_^Text: at least 100 km/h&_sc_^,;"}])"));
}

TEST_F(CompartmentsCommandTest, TheElementMayBeGivenByGuid) {
  sandbox_.SetAddinOption("AllocatedTo", "1");
  const json by_name =
      json::parse(sandbox_.Run({"compartments", model_, "Car", "--format", "json"}).out);
  const OrbaRun run = sandbox_.Run(
      {"compartments", model_, by_name["element"].get<std::string>(), "--format", "json"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(json::parse(run.out), by_name);
  EXPECT_EQ(by_name["compartments"], json::parse(R"([{"name": "allocatedTo", "data": ""}])"));
}

TEST_F(CompartmentsCommandTest, TextShowsEachCompartmentOnALine) {
  sandbox_.SetAddinOption("Parts", "1");
  const OrbaRun run = sandbox_.Run({"compartments", model_, "Car"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("offered: parts\nparts: (empty)\n"));
}

TEST_F(CompartmentsCommandTest, TextShowsTheRowsAsTheHostDrawsThem) {
  sandbox_.SetAddinOption("Parts", "1");
  sandbox_.SetAddinOption("ShowCompartmentRequirements", "1");
  const OrbaRun run = sandbox_.Run({"compartments", model_, "Speed"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("\n    | Id: R1\n    | Text: at least 100 km/h\n"));
}

// Texts from the model cannot drive the terminal: control characters in the
// element's name and in the compartment rows are shown as escapes.
TEST_F(CompartmentsCommandTest, TextShowsControlCharactersAsEscapes) {
  sandbox_.SetAddinOption("ShowCompartmentRequirements", "1");
  ExecuteSql(model_,
             "UPDATE t_object SET Name = 'Sp' || char(27) || ']0;owned' || char(7) "
             "WHERE Name = 'Speed';"
             "UPDATE t_objectproperties SET Value = 'R1' || char(10) || 'R2' WHERE Value = 'R1'");
  const OrbaRun run = sandbox_.Run({"compartments", model_, "Sp\x1B]0;owned\x07"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("element \"Sp\\x1B]0;owned\\x07\" {"));
  EXPECT_THAT(run.out, HasSubstr("requirements: Name=requirements;"));
  EXPECT_THAT(run.out, HasSubstr("Data&_eq_^Id: R1\\x0AR2&_sc_^"));
  EXPECT_THAT(run.out, HasSubstr("\n    | Id: R1\\x0AR2\n"));
  EXPECT_EQ(run.out.find_first_of("\x1B\x07"), std::string::npos);
}

TEST_F(CompartmentsCommandTest, NothingIsOfferedUntilSwitchedOn) {
  const OrbaRun run = sandbox_.Run({"compartments", model_, "Car", "--format", "json"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(json::parse(run.out)["offered"], "");
  EXPECT_EQ(json::parse(run.out)["compartments"], json::array());
}

TEST_F(CompartmentsCommandTest, AnUnknownElementIsRefused) {
  const OrbaRun run = sandbox_.Run({"compartments", model_, "Truck"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr("no element has the GUID or name \"Truck\""));
}

TEST_F(CompartmentsCommandTest, ANameSeveralElementsShareAsksForAGuid) {
  const OrbaRun run = sandbox_.Run({"compartments", Import(kPlainModel, "plain.obx"), "Car"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr("2 elements are named \"Car\"; give one of their GUIDs: {"));
}

}  // namespace
}  // namespace orba::cli::testing
