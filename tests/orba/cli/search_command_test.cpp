// orba search, end to end: the add-in's "SysML Allocations" and the host's "Requirements".
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "orba/cli/cli_fixtures.h"
#include "orba/cli/model_sql.h"

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

// Whether `xml` holds a C0 character XML 1.0 forbids, raw or as a reference.
bool HoldsForbiddenControlCharacter(const std::string& xml) {
  const auto forbidden = [](unsigned long c) {
    return c < 0x20 && c != '\t' && c != '\n' && c != '\r';
  };
  for (size_t at = xml.find("&#"); at != std::string::npos; at = xml.find("&#", at + 1)) {
    const bool hex = xml.compare(at + 2, 1, "x") == 0;
    if (forbidden(std::stoul(xml.substr(at + (hex ? 3 : 2)), nullptr, hex ? 16 : 10))) return true;
  }
  return std::any_of(xml.begin(), xml.end(),
                     [&](char c) { return forbidden(static_cast<unsigned char>(c)); });
}

// Names written into the model behind the host's back (an old file, a
// script): a NUL in the activity's name, a terminal escape in the block's.
TEST_F(SearchCommandTest, AllocationsKeepTheRowOfANameHoldingControlCharacters) {
  ExecuteSql(model_,
             "UPDATE t_object SET Name = 'Dr' || char(0) || 'ive' WHERE Name = 'Drive';"
             "UPDATE t_object SET Name = 'Car' || char(27) || ']0;owned' || char(7) "
             "WHERE Name = 'Car'");
  const OrbaRun json_run = Search({"SysML Allocations", "--format", "json"});
  ASSERT_EQ(json_run.exit_code, 0) << json_run.err;
  const json rows = json::parse(json_run.out)["rows"];
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0]["From Name"], "Dr\uFFFDive");
  EXPECT_EQ(rows[0]["To Name"], "Car\uFFFD]0;owned\uFFFD");
  const OrbaRun xml_run = Search({"SysML Allocations", "--format", "xml"});
  ASSERT_EQ(xml_run.exit_code, 0) << xml_run.err;
  EXPECT_THAT(xml_run.out, HasSubstr("<Field name=\"From Name\" value=\"Dr\uFFFDive\" />"));
  EXPECT_FALSE(HoldsForbiddenControlCharacter(xml_run.out)) << xml_run.out;
}

// The host's own table keeps the name as it is; each format shows it its way.
TEST_F(SearchCommandTest, RequirementsShowAControlCharacterAsEachFormatAllows) {
  ExecuteSql(model_, "UPDATE t_object SET Name = 'Sp' || char(27) || '[2J' WHERE Name = 'Speed'");
  const OrbaRun text = Search({"Requirements"});
  ASSERT_EQ(text.exit_code, 0) << text.err;
  EXPECT_THAT(text.out, HasSubstr("  Sp\\x1B[2J  "));
  EXPECT_EQ(text.out.find('\x1B'), std::string::npos);
  const OrbaRun json_run = Search({"Requirements", "--format", "json"});
  ASSERT_EQ(json_run.exit_code, 0) << json_run.err;
  EXPECT_EQ(json::parse(json_run.out)["rows"][0]["Name"], "Sp\x1B[2J");
  const OrbaRun xml_run = Search({"Requirements", "--format", "xml"});
  ASSERT_EQ(xml_run.exit_code, 0) << xml_run.err;
  EXPECT_THAT(xml_run.out, HasSubstr("value=\"Sp\uFFFD[2J\""));
  EXPECT_FALSE(HoldsForbiddenControlCharacter(xml_run.out)) << xml_run.out;
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
