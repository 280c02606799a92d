// orba menu, click and options, end to end with the SysML add-in.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include <nlohmann/json.hpp>

#include "orba/cli/cli_fixtures.h"

namespace orba::cli::testing {
namespace {

using nlohmann::json;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

constexpr char kLoadItem[] = "&Load SysML Technology";

class MenuCommandTest : public OrbaCommandTest {
 protected:
  std::string NewModel(const std::string& name = "new.obx") {
    const OrbaRun run = sandbox_.Run({"new", sandbox_.Path(name)});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    return sandbox_.Path(name);
  }
  json MenuJson(std::vector<std::string> args) {
    args.insert(args.begin(), "menu");
    args.insert(args.end(), {"--format", "json"});
    const OrbaRun run = sandbox_.Run(args);
    EXPECT_EQ(run.exit_code, 0) << run.err;
    return json::parse(run.out);
  }
  json Diagrams(const std::string& model) {
    return json::parse(sandbox_.Run({"export", model}).out).value("diagrams", json::array());
  }
};

TEST_F(MenuCommandTest, WithoutAModelTheMenuOffersTheExampleHelpAndAbout) {
  const OrbaRun run = sandbox_.Run({"menu"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out,
            "-&SysML Technology\n"
            "  Open SysML &Example Model\n"
            "  -\n"
            "  &Help\n"
            "  &About\n");
}

TEST_F(MenuCommandTest, WithAModelWithoutTheTechnologyTheMenuOffersToLoadIt) {
  EXPECT_EQ(
      MenuJson({NewModel()}),
      json({{"heading", "-&SysML Technology"},
            {"items", {kLoadItem, "-", "Open SysML &Example Model", "-", "&Help", "&About"}}}));
}

TEST_F(MenuCommandTest, AnOldHostGetsOnlyHelpAndAbout) {
  const OrbaRun run = sandbox_.Run({"menu", "--host-build", "796", "--format", "json"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(json::parse(run.out)["items"], json({"&Help", "&About"}));
  EXPECT_THAT(
      run.err,
      HasSubstr("Quindle Technology for SysML: Add-in will only work with Orba 6.5 or later."));
}

TEST_F(MenuCommandTest, LoadingTheTechnologyIsKeptAndTheMenuFollows) {
  const std::string model = NewModel();
  const OrbaRun click = sandbox_.Run({"click", model, kLoadItem});
  EXPECT_EQ(click.exit_code, 0) << click.err;
  const json items = MenuJson({model})["items"];
  ASSERT_EQ(items.size(), 15u);
  EXPECT_EQ(items[0], "&Unload SysML Technology");
  EXPECT_EQ(items[12], "&Options");
}

TEST_F(MenuCommandTest, AFailingCommandUndoesWhatItChanged) {
  // Loading installs the technology, then fails reading this setting.
  sandbox_.SetAddinOption("ShowAlways", "sometimes");
  const std::string model = NewModel();
  const OrbaRun click = sandbox_.Run({"click", model, kLoadItem});
  EXPECT_EQ(click.exit_code, 2);
  EXPECT_THAT(click.err, HasSubstr("add-in SysML: Orba_MenuClick failed: "));
  EXPECT_EQ(MenuJson({model})["items"][0], kLoadItem);
}

// A typo in a CI script must not pass: the add-in still says what it got, and
// the command fails.
TEST_F(MenuCommandTest, AnItemNotOnTheMenuIsShownInItsMessageAndFails) {
  const OrbaRun run = sandbox_.Run({"click", "Load SysML Technology"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, StartsWith("Quindle Technology for SysML: ItemName=Load SysML Technology\n"
                                  "orba: \"Load SysML Technology\" is not an item"));
}

TEST_F(MenuCommandTest, ADisplayThatCannotBeReachedLeavesTheBoxesToTheConsole) {
  const OrbaRun run = sandbox_.Run({"click", "Load SysML Technology"}, {"DISPLAY=:4711"});
  EXPECT_THAT(run.err, StartsWith("Quindle Technology for SysML: ItemName=Load SysML Technology\n"));
}

TEST_F(MenuCommandTest, AnExampleModelThatCannotBeOpenedFailsTheCommand) {
  // A copy of the module, registered in the sandbox, has no example model beside it.
  std::filesystem::copy_file(OrbaSandbox::BuildBin() / "libtessary.so",
                             sandbox_.Path("libtessary.so"));
  ASSERT_EQ(sandbox_.Run({"register", sandbox_.Path("libtessary.so")}).exit_code, 0);
  const OrbaRun run = sandbox_.Run({"click", "Open SysML &Example Model"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr("cannot open model file"));
}

TEST_F(MenuCommandTest, ViewRequirementsShowsTheRequirementsSearch) {
  const OrbaRun run = sandbox_.Run({"click", Import(kCarModel), "Vie&w Requirements"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_THAT(run.out, StartsWith("Requirements: 1 row\nCLASSGUID "));
  EXPECT_THAT(run.out, HasSubstr("Speed  Requirement  R1  at least 100 km/h\n"));
}

TEST_F(MenuCommandTest, ViewAllocationsShowsTheAllocationSearch) {
  const OrbaRun run = sandbox_.Run({"click", Import(kCarModel), "&View Allocations"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_THAT(run.out, StartsWith("SysML Allocations: 1 row\n"));
  EXPECT_THAT(run.out, HasSubstr("Drive      allocate  block    Car\n"));
}

TEST_F(MenuCommandTest, ANewDiagramIsCreatedInTheSelectedPackageOpenedAndKept) {
  const std::string model = Import(kCarModel);
  const OrbaRun run =
      sandbox_.Run({"click", model, "New &Block Definition Diagram", "--select", "Structure"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "opened diagram \"Structure\" (SysML::BlockDefinition)\n");
  const json diagrams = Diagrams(model);
  ASSERT_EQ(diagrams.size(), 1u);
  EXPECT_EQ(diagrams[0]["name"], "Structure");
  EXPECT_EQ(diagrams[0]["type"], "SysML::BlockDefinition");
}

TEST_F(MenuCommandTest, ANewDiagramNeedsASelectedPackage) {
  const std::string model = Import(kCarModel);
  const OrbaRun run = sandbox_.Run({"click", model, "New &Block Definition Diagram"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_THAT(run.err, StartsWith("Quindle Technology for SysML: "));
  EXPECT_THAT(Diagrams(model), IsEmpty());
}

struct BadClick {
  std::vector<std::string> args;  // "MODEL" stands for a model with the technology loaded
  const char* problem;
  friend void PrintTo(const BadClick& bad, std::ostream* out) {
    for (const std::string& arg : bad.args) *out << arg << " ";
  }
};

class BadClickTest : public MenuCommandTest, public ::testing::WithParamInterface<BadClick> {};

TEST_P(BadClickTest, ExitsTwoNamingTheProblem) {
  const std::string model = Import(kCarModel);
  std::vector<std::string> args;
  for (const std::string& arg : GetParam().args) args.push_back(arg == "MODEL" ? model : arg);
  const OrbaRun run = sandbox_.Run(args);
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr(GetParam().problem));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, BadClickTest,
    ::testing::Values(BadClick{{"click"}, "ITEM is required"},
                      BadClick{{"click", "&About", "--select", "Structure"},
                               "--select needs a model"},
                      BadClick{{"click", "MODEL", "&About", "--select", "Nowhere"},
                               "no package has the GUID or name \"Nowhere\""},
                      BadClick{{"menu", "--select", "Structure"}, "--select needs a model"},
                      BadClick{{"menu", "MODEL", "--format", "xml"}, "xml not in {text,json}"}));

TEST_F(MenuCommandTest, OptionsShowsTheDialogWhichIsCancelledWithoutATerminal) {
  const OrbaRun run = sandbox_.Run({"options", "--ui", "none"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_THAT(run.err, HasSubstr("Options"));
  EXPECT_THAT(run.err, HasSubstr("Show Always"));
  EXPECT_THAT(run.err, Not(HasSubstr("failed")));
}

}  // namespace
}  // namespace orba::cli::testing
