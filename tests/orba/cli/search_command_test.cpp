// orba search, end to end: the add-in's "SysML Allocations" and the host's "Requirements".
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "orba/cli/cli_fixtures.h"

namespace orba::cli::testing {
namespace {

using nlohmann::json;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class SearchCommandTest : public OrbaCommandTest {
 protected:
  OrbaRun Search(const std::vector<std::string>& args) {
    std::vector<std::string> command = {"search", model_};
    command.insert(command.end(), args.begin(), args.end());
    return sandbox_.Run(command);
  }
  std::string model_ = Import(kCarModel);
};

TEST_F(SearchCommandTest, AllocationsAsJsonHoldTheAddinsFieldsAndRows) {
  const OrbaRun run = Search({"SysML Allocations", "--format", "json"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const json result = json::parse(run.out);
  EXPECT_EQ(result["search"], "SysML Allocations");
  EXPECT_EQ(result["fields"], json({"CLASSGUID", "CLASSTYPE", "From Type", "From Name", "Relation",
                                    "To Type", "To Name"}));
  ASSERT_EQ(result["rows"].size(), 1u);
  const json& row = result["rows"][0];
  EXPECT_EQ(row["From Name"], "Drive");
  EXPECT_EQ(row["Relation"], "allocate");
  EXPECT_EQ(row["To Name"], "Car");
  EXPECT_EQ(row["To Type"], "block");
}

TEST_F(SearchCommandTest, XmlIsTheAddinsDocumentExactlyAsAnswered) {
  const OrbaRun run = Search({"SysML Allocations", "--format", "xml"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_THAT(run.out, StartsWith("<ReportViewData><Fields><Field name=\"CLASSGUID\"/>"));
  EXPECT_THAT(run.out, HasSubstr("<Field name=\"From Name\" value=\"Drive\" />"));
  EXPECT_THAT(run.out, EndsWith("</Rows></ReportViewData>"));
}

TEST_F(SearchCommandTest, TextIsATableWithAHeaderLine) {
  const OrbaRun run = Search({"SysML Allocations", "--term", "anything"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_THAT(run.out, StartsWith("SysML Allocations: 1 row\nCLASSGUID "));
  EXPECT_THAT(run.out, HasSubstr("  Dependency  Activity   Drive      allocate  block    Car\n"));
}

TEST_F(SearchCommandTest, RequirementsListsTheRequirementsWithTheirIdAndNotes) {
  const OrbaRun run = Search({"Requirements", "--format", "json"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const json result = json::parse(run.out);
  ASSERT_EQ(result["rows"].size(), 1u);
  EXPECT_EQ(result["rows"][0]["Name"], "Speed");
  EXPECT_EQ(result["rows"][0]["Id"], "R1");
  EXPECT_EQ(result["rows"][0]["Notes"], "at least 100 km/h");
}

TEST_F(SearchCommandTest, AnUnknownSearchListsTheSearchesThereAre) {
  const OrbaRun run = Search({"Allocations"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr("no search named \"Allocations\"; available: \"Requirements\", "
                                 "\"SysML Allocations\""));
}

TEST_F(SearchCommandTest, TheAddinsSearchIsNotThereWhenItRefusedTheHost) {
  const OrbaRun run = Search({"SysML Allocations", "--host-build", "796"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr("no search named \"SysML Allocations\""));
}

}  // namespace
}  // namespace orba::cli::testing
