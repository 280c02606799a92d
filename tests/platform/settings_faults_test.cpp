// The settings store with each of its file calls failing in turn: a failed
// save is reported and leaves the stored value as it was.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/settings_store.h"
#include "support/failing_file_system.h"
#include "support/temp_folder.h"

namespace platform {
namespace {

using ::testing::Each;
using ::testing::MatchesRegex;

TEST(SettingsFaultsTest, ASaveIsWholeOrAbsentWhicheverCallFails) {
  testing_support::TempFolder folder;
  testing_support::FailingFileSystem fs;
  IniSettingsStore store(folder.path() / "orba", fs);
  IniSettingsStore reader(folder.path() / "orba");
  store.SaveSetting("SysML", "Options", "Parts", "1");
  const auto messages = testing_support::FailEachCallInTurn<SettingsError>(
      fs, [&] { store.SaveSetting("SysML", "Options", "Parts", "2"); },
      [&](const std::string& failure) {
        EXPECT_EQ(reader.GetSetting("SysML", "Options", "Parts", ""), failure.empty() ? "2" : "1");
        reader.SaveSetting("SysML", "Options", "Parts", "1");
      });
  EXPECT_THAT(messages, Each(MatchesRegex("cannot (create|lock|read|write) settings (folder|file) "
                                          ".*: Input/output error")));
  EXPECT_GE(messages.size(), 10u);  // folders, lock, read and write each fail
}

TEST(SettingsFaultsTest, AFailedReadIsAnErrorNotTheDefault) {
  testing_support::TempFolder folder;
  testing_support::FailingFileSystem fs;
  IniSettingsStore(folder.path()).SaveSetting("SysML", "Options", "Parts", "1");
  IniSettingsStore store(folder.path(), fs);
  const auto messages = testing_support::FailEachCallInTurn<SettingsError>(
      fs, [&] { EXPECT_EQ(store.GetSetting("SysML", "Options", "Parts", "0"), "1"); },
      [](const std::string&) {});
  EXPECT_EQ(messages.size(), 4u);  // open, fstat, the read of the text, the read at its end
}

}  // namespace
}  // namespace platform
