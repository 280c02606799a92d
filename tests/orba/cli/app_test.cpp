// The command line as a whole: help, unknown commands, global options.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orba/cli/cli_fixtures.h"

namespace orba::cli::testing {
namespace {

using ::testing::HasSubstr;

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

TEST_F(OrbaCommandTest, AnUnknownUserInterfaceIsRefused) {
  const OrbaRun run = sandbox_.Run({"menu", "--ui", "gtk"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr("gtk not in {qt,console,none}"));
}

TEST_F(OrbaCommandTest, AnUnregisteredAddinIsAClearError) {
  sandbox_.WriteFile("components.ini", "[Components]\n");
  const OrbaRun run = sandbox_.Run({"menu"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr("cannot load add-in SysML: no component is registered as "
                                 "Tessary.CTessary"));
  EXPECT_THAT(run.err, HasSubstr("orba register MODULE"));
}

}  // namespace
}  // namespace orba::cli::testing
