#include "platform/settings_store.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "support/temp_folder.h"

namespace platform {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class SettingsStoreTest : public testing::Test {
 protected:
  testing_support::TempFolder folder_;
  IniSettingsStore store_{folder_.path() / "orba"};
  std::filesystem::path file_ = folder_.path() / "orba" / "SysML.ini";
};

TEST_F(SettingsStoreTest, MissingFileAndMissingKeyReadAsTheDefault) {
  EXPECT_EQ(store_.GetSetting("SysML", "Options", "Parts", "0"), "0");
  store_.SaveSetting("SysML", "Options", "Parts", "1");
  EXPECT_EQ(store_.GetSetting("SysML", "Options", "FlowPorts", "7"), "7");
  EXPECT_EQ(store_.GetSetting("SysML", "Other", "Parts", "x"), "x");
}

TEST_F(SettingsStoreTest, RoundTripWritesTheContractFormat) {
  store_.SaveSetting("SysML", "Options", "Parts", "1");
  store_.SaveSetting("SysML", "Options", "ShowAlways", "0");
  store_.SaveSetting("SysML", "Options", "Parts", "0");
  EXPECT_EQ(store_.GetSetting("SysML", "Options", "Parts", "9"), "0");
  EXPECT_EQ(ReadAll(file_), "[Options]\nParts=0\nShowAlways=0\n");
}

TEST_F(SettingsStoreTest, LinesItDoesNotChangeAreKept) {
  std::filesystem::create_directories(file_.parent_path());
  std::ofstream(file_)
      << "; written by hand\n[Options]\nColour=blue\nParts=0\n\n[Window]\nLeft=10\n";
  store_.SaveSetting("SysML", "Options", "Parts", "1");
  store_.SaveSetting("SysML", "Options", "ShowAlways", "1");
  EXPECT_EQ(
      ReadAll(file_),
      "; written by hand\n[Options]\nColour=blue\nParts=1\nShowAlways=1\n\n[Window]\nLeft=10\n");
}

TEST_F(SettingsStoreTest, NamesMatchIgnoringCaseAndValuesStayAsWritten) {
  std::filesystem::create_directories(file_.parent_path());
  std::ofstream(file_) << "[options]\r\nparts=2 \r\n";
  EXPECT_EQ(store_.GetSetting("SysML", "Options", "Parts", "0"), "2 ");
}

TEST_F(SettingsStoreTest, WindowsLineEndsAreKeptAndCarriageReturnsInValuesSurviveARewrite) {
  std::filesystem::create_directories(file_.parent_path());
  std::ofstream(file_, std::ios::binary) << "[Options]\r\nParts=a\r\r\nColour=x\r";
  store_.SaveSetting("SysML", "Options", "ShowAlways", "1");
  EXPECT_EQ(ReadAll(file_), "[Options]\r\nParts=a\r\r\nColour=x\r\nShowAlways=1\r\n");
  EXPECT_EQ(store_.GetSetting("SysML", "Options", "Parts", "0"), "a\r");
  EXPECT_EQ(store_.GetSetting("SysML", "Options", "Colour", "0"), "x");
}

TEST_F(SettingsStoreTest, AByteOrderMarkIsReadPastAndKept) {
  std::filesystem::create_directories(file_.parent_path());
  std::ofstream(file_, std::ios::binary) << "\xEF\xBB\xBF[Options]\nParts=1\n";
  EXPECT_EQ(store_.GetSetting("SysML", "Options", "Parts", "0"), "1");
  store_.SaveSetting("SysML", "Options", "Parts", "0");
  EXPECT_EQ(ReadAll(file_), "\xEF\xBB\xBF[Options]\nParts=0\n");
}

TEST_F(SettingsStoreTest, ALinkedFileIsUpdatedWhereItLivesWithItsPermissions) {
  const auto dotfiles = folder_.path() / "dotfiles" / "SysML.ini";
  std::filesystem::create_directories(dotfiles.parent_path());
  std::filesystem::create_directories(file_.parent_path());
  std::ofstream(dotfiles) << "[Options]\nParts=0\n";
  std::filesystem::permissions(dotfiles, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::owner_write);
  std::filesystem::create_symlink(dotfiles, file_);
  store_.SaveSetting("SysML", "Options", "Parts", "1");
  EXPECT_TRUE(std::filesystem::is_symlink(file_));
  EXPECT_EQ(ReadAll(dotfiles), "[Options]\nParts=1\n");
  EXPECT_EQ(std::filesystem::status(dotfiles).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(SettingsStoreTest, AFolderInThePlaceOfTheFileIsAClearError) {
  std::filesystem::create_directories(file_);
  try {
    store_.GetSetting("SysML", "Options", "Parts", "0");
    ADD_FAILURE() << "a folder was read as settings";
  } catch (const SettingsError& error) {
    EXPECT_NE(std::string(error.what()).find("it is a folder"), std::string::npos) << error.what();
  }
  EXPECT_THROW(store_.SaveSetting("SysML", "Options", "Parts", "1"), SettingsError);
  EXPECT_TRUE(std::filesystem::is_directory(file_));
}

TEST_F(SettingsStoreTest, ReplacesTheFileAtomically) {
  store_.SaveSetting("SysML", "Options", "Parts", "1");
  const auto before = std::filesystem::status(file_).permissions();
  store_.SaveSetting("SysML", "Options", "Parts", "0");
  EXPECT_FALSE(std::filesystem::exists(file_.string() + ".tmp"));
  EXPECT_EQ(std::filesystem::status(file_).permissions(), before);
}

TEST_F(SettingsStoreTest, CorruptFileIsReportedWithItsLineAndNotReplaced) {
  std::filesystem::create_directories(file_.parent_path());
  const std::string corrupt = "[Options]\nParts=1\nthis line is not a setting\n";
  std::ofstream(file_) << corrupt;
  try {
    store_.GetSetting("SysML", "Options", "Parts", "0");
    FAIL() << "expected an error";
  } catch (const SettingsError& error) {
    EXPECT_NE(std::string(error.what()).find("line 3"), std::string::npos) << error.what();
    EXPECT_NE(std::string(error.what()).find("SysML.ini"), std::string::npos) << error.what();
  }
  EXPECT_THROW(store_.SaveSetting("SysML", "Options", "Parts", "0"), SettingsError);
  EXPECT_EQ(ReadAll(file_), corrupt);
}

TEST_F(SettingsStoreTest, BinaryFileIsNotASettingsFile) {
  std::filesystem::create_directories(file_.parent_path());
  std::ofstream(file_, std::ios::binary) << std::string("[Options]\nParts=1\0\x01", 20);
  EXPECT_THROW(store_.GetSetting("SysML", "Options", "Parts", "0"), SettingsError);
}

TEST_F(SettingsStoreTest, AFileThatCannotBeWrittenIsAClearErrorAndLosesNothing) {
  store_.SaveSetting("SysML", "Options", "Parts", "1");
  // A folder where the temporary file must go makes the write fail, even for root.
  std::filesystem::create_directory(file_.string() + ".writing-" + std::to_string(getpid()));
  try {
    store_.SaveSetting("SysML", "Options", "Parts", "0");
    FAIL() << "expected an error";
  } catch (const SettingsError& error) {
    EXPECT_NE(std::string(error.what()).find("cannot write settings file"), std::string::npos);
  }
  EXPECT_EQ(store_.GetSetting("SysML", "Options", "Parts", "9"), "1");
}

TEST_F(SettingsStoreTest, ValuesThatWouldBreakTheFileAreRefused) {
  EXPECT_THROW(store_.SaveSetting("SysML", "Options", "Parts", "1\n[Evil]"), SettingsError);
  EXPECT_THROW(store_.SaveSetting("SysML", "Options", "Pa=rts", "1"), SettingsError);
  EXPECT_FALSE(std::filesystem::exists(file_));
}

TEST_F(SettingsStoreTest, TwoProcessesWritingAtOnceLoseNoKey) {
  constexpr int kWrites = 40;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    IniSettingsStore store(folder_.path() / "orba");
    for (int i = 0; i < kWrites; ++i)
      store.SaveSetting("SysML", "Child", "K" + std::to_string(i), "c");
    _exit(0);
  }
  for (int i = 0; i < kWrites; ++i)
    store_.SaveSetting("SysML", "Parent", "K" + std::to_string(i), "p");
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  for (int i = 0; i < kWrites; ++i) {
    EXPECT_EQ(store_.GetSetting("SysML", "Child", "K" + std::to_string(i), ""), "c") << i;
    EXPECT_EQ(store_.GetSetting("SysML", "Parent", "K" + std::to_string(i), ""), "p") << i;
  }
}

TEST(SettingsStoreFolderTest, FollowsTheConfigHome) {
  const char* saved = std::getenv("XDG_CONFIG_HOME");
  const std::string restore = saved ? saved : "";
  setenv("XDG_CONFIG_HOME", "/tmp/config-home", 1);
  EXPECT_EQ(IniSettingsStore::DefaultFolder(), "/tmp/config-home/orba");
  if (saved) setenv("XDG_CONFIG_HOME", restore.c_str(), 1); else unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace platform
