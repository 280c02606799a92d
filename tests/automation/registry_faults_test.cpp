// The component registry with each of its file calls failing in turn: a
// failed registration is reported and leaves the registry as it was.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "automation/errors.h"
#include "automation/registry.h"
#include "support/failing_file_system.h"
#include "support/temp_folder.h"

namespace automation {
namespace {

using ::testing::Each;
using ::testing::MatchesRegex;

TEST(RegistryFaultsTest, ARegistrationIsWholeOrAbsentWhicheverCallFails) {
  const char* bin = std::getenv("TESSARY_BUILD_BIN");
  const auto module = std::filesystem::path(bin ? bin : ".") / "libtessary.so";
  testing_support::TempFolder folder;
  const auto file = folder.path() / "components.ini";
  const std::string before = "; kept\n[Components]\nOther.Thing=/opt/other.so\n";
  std::ofstream(file) << before;
  testing_support::FailingFileSystem fs;
  Registry registry(file, fs);
  const auto messages = testing_support::FailEachCallInTurn<Error>(
      fs, [&] { registry.RegisterModule(module); },
      [&](const std::string& failure) {
        EXPECT_EQ(Registry(file).Entries().size(), failure.empty() ? 2u : 1u) << failure;
        std::ofstream(file) << before;
      });
  EXPECT_THAT(messages, Each(MatchesRegex("cannot (create|lock|read|write) component registry "
                                          "(folder )?.*: Input/output error")));
  EXPECT_GE(messages.size(), 10u);
}

}  // namespace
}  // namespace automation
