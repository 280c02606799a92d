#include "platform/settings_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "support/failing_file_system.h"
#include "support/temp_folder.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using testing::Each;
using testing::HasSubstr;
using testing::MatchesRegex;
using testing::ThrowsMessage;
using testing_support::FailEachCallInTurn;
using Settings = std::vector<std::pair<std::string, std::string>>;  // keys of [Options] and values

class SettingsStoreTest : public testing::Test {
 protected:
  void WriteFile(const std::string& bytes) {
    fs::create_directories(file_.parent_path());
    std::ofstream(file_, std::ios::binary) << bytes;
  }
  std::string Get(const std::string& key) {
    return store_.GetSetting("SysML", "Options", key, "default");
  }
  void Save(const std::string& key, const std::string& value) {
    store_.SaveSetting("SysML", "Options", key, value);
  }

  testing_support::TempFolder folder_;
  IniSettingsStore store_{folder_.path() / "orba"};
  fs::path file_ = folder_.path() / "orba" / "SysML.ini";
};

// A file as it stood (empty: none), the settings saved, the file then
// (empty: none) and what reading the keys gives.
struct FileCase {
  std::string before;
  Settings saved;
  std::string after;
  Settings read;
};

TEST_F(SettingsStoreTest, SavingChangesOnlyItsLineAndReadingFindsWhatStands) {
  const FileCase cases[] = {
      {"", {}, "", {{"Parts", "default"}}},
      {"",
       {{"Parts", "1"}, {"ShowAlways", "0"}, {"Parts", "0"}},
       "[Options]\nParts=0\nShowAlways=0\n",
       {{"Parts", "0"}, {"FlowPorts", "default"}}},
      {"; written by hand\n[Options]\nColour=blue\nParts=0\n\n[Window]\nLeft=10\n",
       {{"Parts", "1"}, {"ShowAlways", "1"}},
       "; written by hand\n[Options]\nColour=blue\nParts=1\nShowAlways=1\n\n[Window]\nLeft=10\n",
       {{"Left", "default"}}},
      // Names match ignoring case; values stay as written.
      {"[options]\r\nparts=2 \r\n", {}, "[options]\r\nparts=2 \r\n", {{"Parts", "2 "}}},
      // Windows line ends are kept, and a carriage return in a value survives a rewrite.
      {"[Options]\r\nParts=a\r\r\nColour=x\r",
       {{"ShowAlways", "1"}},
       "[Options]\r\nParts=a\r\r\nColour=x\r\nShowAlways=1\r\n",
       {{"Parts", "a\r"}, {"Colour", "x"}}},
      // A section not yet in the file is added after a blank line.
      {"[Window]\nLeft=10", {{"Parts", "1"}}, "[Window]\nLeft=10\n\n[Options]\nParts=1\n", {}},
      {"\xEF\xBB\xBF[Options]\nParts=1\n",
       {{"Parts", "0"}},
       "\xEF\xBB\xBF[Options]\nParts=0\n",
       {{"Parts", "0"}}}};
  for (const FileCase& c : cases) {
    SCOPED_TRACE(c.before);
    fs::remove(file_);
    fs::create_directories(file_.parent_path());
    if (!c.before.empty()) WriteFile(c.before);
    for (const auto& [key, value] : c.saved) Save(key, value);
    EXPECT_EQ(fs::exists(file_) ? testing_support::FileBytes(file_) : "", c.after);
    for (const auto& [key, value] : c.read) EXPECT_EQ(Get(key), value) << key;
    for (const auto& entry :
         fs::directory_iterator(folder_.path() / "orba", fs::directory_options::none)) {
      EXPECT_TRUE(entry.path() == file_ || entry.path().extension() == ".lock")
          << entry.path() << " stayed";
    }
  }
  EXPECT_EQ(store_.GetSetting("SysML", "Other", "Parts", "x"), "x");
}

// A key or value that would break the file is refused; a corrupt file (named
// with its line) or a binary one is neither read nor written.
TEST_F(SettingsStoreTest, WhatIsNoSettingIsAClearErrorAndChangesNothing) {
  EXPECT_THROW(Save("Parts", "1\n[Evil]"), SettingsError);
  EXPECT_THROW(Save("Pa=rts", "1"), SettingsError);
  EXPECT_FALSE(fs::exists(file_));
  const std::pair<std::string, std::string> cases[] = {
      {"[Options]\nParts=1\nthis line is not a setting\n", "SysML.ini, line 3"},
      {std::string("[Options]\nParts=1\0\x01", 20),
       "SysML.ini is not a settings file: it holds binary data"}};
  for (const auto& [bytes, message] : cases) {
    WriteFile(bytes);
    EXPECT_THAT([&] { Get("Parts"); }, ThrowsMessage<SettingsError>(HasSubstr(message)));
    EXPECT_THROW(Save("Parts", "0"), SettingsError);
    EXPECT_EQ(testing_support::FileBytes(file_), bytes);
  }
}

TEST_F(SettingsStoreTest, TwoProcessesWritingAtOnceLoseNoKey) {
  constexpr int kWrites = 40;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  const std::string writer = child == 0 ? "Child" : "Parent";
  IniSettingsStore store(folder_.path() / "orba");
  for (int i = 0; i < kWrites; ++i)
    store.SaveSetting("SysML", writer, "K" + std::to_string(i), writer);
  if (child == 0) _exit(0);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  for (int i = 0; i < kWrites; ++i) {
    for (const char* section : {"Child", "Parent"}) {
      EXPECT_EQ(store_.GetSetting("SysML", section, "K" + std::to_string(i), ""), section) << i;
    }
  }
}

// Each file call failing in turn: a failed save is reported and leaves the
// stored value as it was; a failed read is an error, never the default.
TEST_F(SettingsStoreTest, ASaveIsWholeOrAbsentAndAReadAnErrorWhicheverCallFails) {
  testing_support::FailingFileSystem failing;
  IniSettingsStore store(folder_.path() / "orba", failing);
  Save("Parts", "1");
  const auto messages = FailEachCallInTurn<SettingsError>(
      failing, [&] { store.SaveSetting("SysML", "Options", "Parts", "2"); },
      [&](const std::string& failure) {
        EXPECT_EQ(Get("Parts"), failure.empty() ? "2" : "1");
        Save("Parts", "1");
      });
  EXPECT_THAT(messages, Each(MatchesRegex("cannot (create|lock|read|write) settings (folder|file) "
                                          ".*: Input/output error")));
  EXPECT_GE(messages.size(), 10u);  // folders, lock, read and write each fail
  const auto read_failures = FailEachCallInTurn<SettingsError>(
      failing, [&] { EXPECT_EQ(store.GetSetting("SysML", "Options", "Parts", "0"), "1"); },
      [](const std::string&) {});
  EXPECT_EQ(read_failures.size(), 4u);  // open, fstat, the read of the text, the read at its end
}

}  // namespace
}  // namespace platform
