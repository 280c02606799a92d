// The command line as a whole: help, unknown commands, global options.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orba/cli/cli_fixtures.h"

namespace orba::cli::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

TEST_F(OrbaCommandTest, HelpListsEveryCommandAndTheGlobalOptions) {
  const OrbaRun run = sandbox_.Run({"--help"});
  EXPECT_EQ(run.exit_code, 0);
  for (const char* command : {"new", "import", "export", "validate", "search", "compartments",
                              "menu", "click", "options", "register", "--host-build", "--ui"}) {
    EXPECT_THAT(run.out, HasSubstr(command));
  }
}

TEST_F(OrbaCommandTest, EachCommandExplainsItself) {
  const OrbaRun run = sandbox_.Run({"validate", "--help"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_THAT(run.out, HasSubstr("Usage: orba validate [OPTIONS] MODEL"));
  EXPECT_THAT(run.out, HasSubstr("Exit 0: clean; 1: violations reported; 2:"));
  EXPECT_THAT(run.out, HasSubstr("--host-build N, --ui qt|console|none"));
}

TEST_F(OrbaCommandTest, ACommandIsRequired) {
  const OrbaRun run = sandbox_.Run({});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr("A subcommand is required"));
}

TEST_F(OrbaCommandTest, AnUnknownCommandIsNamed) {
  const OrbaRun run = sandbox_.Run({"--ui", "none", "valdiate", "model.obx"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr("orba: unknown command \"valdiate\""));
}

TEST_F(OrbaCommandTest, GlobalOptionsMayComeBeforeOrAfterTheCommand) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--host-build", "796", "menu"},
        std::vector<std::string>{"menu", "--host-build", "796"}}) {
    const OrbaRun run = sandbox_.Run(args);
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.out, "-&SysML Technology\n  &Help\n  &About\n");
  }
}


TEST_F(OrbaCommandTest, AnUnregisteredAddinIsAClearError) {
  sandbox_.WriteFile("components.ini", "[Components]\n");
  const OrbaRun run = sandbox_.Run({"menu"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr("cannot load add-in SysML: no component is registered as "
                                 "Tessary.CTessary"));
  EXPECT_THAT(run.err, HasSubstr("orba register MODULE"));
}

// A command line that cannot be run exits 2, prints nothing on stdout and
// names the problem. In the arguments, MODEL stands for a model file and
// NOTES for a file that is no model.
struct BadCommandLine {
  std::vector<std::string> args;
  const char* problem;
  friend void PrintTo(const BadCommandLine& bad, std::ostream* out) { *out << bad.problem; }
};

class BadCommandLineTest : public OrbaCommandTest,
                           public ::testing::WithParamInterface<BadCommandLine> {};

TEST_P(BadCommandLineTest, ExitsTwoNamingTheProblem) {
  sandbox_.WriteFile("notes.obx", "just notes");
  const std::string model = Import(kPlainModel);
  std::vector<std::string> args;
  for (const std::string& arg : GetParam().args) {
    args.push_back(arg == "MODEL" ? model : arg == "NOTES" ? sandbox_.Path("notes.obx") : arg);
  }
  const OrbaRun run = sandbox_.Run(args, {"ORBA_UI=none"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.out, IsEmpty());
  EXPECT_THAT(run.err, HasSubstr(GetParam().problem));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, BadCommandLineTest,
    ::testing::Values(
        BadCommandLine{{"validate", "NOTES"}, "not an Orba model file"},
        BadCommandLine{{"validate", "/nowhere/model.obx"}, "no such file"},
        BadCommandLine{{"validate"}, "MODEL is required"},
        BadCommandLine{{"validate", "MODEL", "--format", "xml"}, "xml not in {text,json,sarif}"},
        BadCommandLine{{"menu", "--ui", "gtk"}, "gtk not in {qt,console,none}"},
        BadCommandLine{{"validate", ""}, "MODEL: it is empty"},
        BadCommandLine{{"export", ""}, "MODEL: it is empty"},
        BadCommandLine{{"register", ""}, "MODULE: it is empty"},
        BadCommandLine{{"click", "MODEL", ""}, "ITEM: it is empty"},
        BadCommandLine{{"compartments", "MODEL", ""}, "ELEMENT: it is empty"},
        BadCommandLine{{"--host-build", "", "menu"}, "\"\" is not a whole number"},
        BadCommandLine{{"--host-build", "0x400", "menu"}, "\"0x400\" is not a whole number"},
        BadCommandLine{{"--host-build", "abc", "menu"}, "\"abc\" is not a whole number"},
        BadCommandLine{{"--host-build", "4294967296", "menu"}, "--host-build"}));

}  // namespace
}  // namespace orba::cli::testing
