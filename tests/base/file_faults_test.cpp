// Every call a file operation makes fails in turn: each failure is reported
// naming the file and the reason, and a write is whole or absent.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "base/files.h"
#include "support/failing_file_system.h"
#include "support/temp_folder.h"

namespace base {
namespace {

using ::testing::AllOf;
using ::testing::Contains;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using testing_support::FailEachCallInTurn;

class FileFaultsTest : public ::testing::Test {
 protected:
  FileFaultsTest() { Put(file_, "old"); }
  static void Put(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  static std::string Get(const std::filesystem::path& path) {
    return ReadRegularFile(OperatingSystem(), path, "", kSettingsSizeLimit);
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
      names.push_back(entry.path().filename().string());
    }
    std::ranges::sort(names);
    return names;
  }

  testing_support::TempFolder folder_;
  std::filesystem::path file_ = folder_.path() / "settings.ini";
  testing_support::FailingFileSystem fs_;
};

TEST_F(FileFaultsTest, AnAtomicWriteIsWholeOrAbsentWhicheverCallFails) {
  std::filesystem::permissions(
      file_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  const auto messages = FailEachCallInTurn<FileError>(
      fs_, [&] { WriteFileAtomically(fs_, file_, "new", "settings file"); },
      [&](const std::string& failure) {
        EXPECT_EQ(Get(file_), failure.empty() ? "new" : "old") << failure;
        EXPECT_EQ(std::filesystem::status(file_).permissions(),
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        EXPECT_THAT(Names(), ElementsAre("settings.ini"));
        Put(file_, "old");
      });
  EXPECT_THAT(messages,
              Each("cannot write settings file " + file_.string() + ": Input/output error"));
  EXPECT_GE(messages.size(), 5u);  // open, fchmod, write, fsync, close, rename
}

TEST_F(FileFaultsTest, AFailedReadIsReportedAndASuccessfulOneComplete) {
  const auto messages = FailEachCallInTurn<FileError>(
      fs_, [&] { EXPECT_EQ(ReadRegularFile(fs_, file_, "settings file", 100), "old"); },
      [](const std::string&) {});
  EXPECT_THAT(messages,
              Each("cannot read settings file " + file_.string() + ": Input/output error"));
  EXPECT_EQ(messages.size(), 4u);  // open, fstat, the read of the text, the read at its end
}

TEST_F(FileFaultsTest, MovingABuiltFileIntoPlaceKeepsTheOldOneUntilTheRename) {
  const auto built = folder_.path() / "built";
  Put(built, "new");
  const auto messages = FailEachCallInTurn<FileError>(
      fs_, [&] { MoveIntoPlace(fs_, built, file_, "model file"); },
      [&](const std::string& failure) {
        EXPECT_EQ(Get(file_), failure.empty() ? "new" : "old") << failure;
        Put(file_, "old");
        Put(built, "new");
      });
  EXPECT_THAT(messages, Each(MatchesRegex("cannot write model file .*: Input/output error")));
  EXPECT_EQ(messages.size(), 3u);  // stat, chmod, rename
}

TEST_F(FileFaultsTest, LocksAndFoldersNameWhatFailed) {
  const auto lock_messages = FailEachCallInTurn<FileError>(
      fs_, [&] { FileLock lock(fs_, folder_.path() / "x.lock", "settings file"); },
      [](const std::string&) {});
  EXPECT_THAT(lock_messages, Each(HasSubstr("cannot lock settings file ")));
  EXPECT_EQ(lock_messages.size(), 2u);  // open, flock

  const auto nested = folder_.path() / "a" / "b";
  const auto folder_messages = FailEachCallInTurn<FileError>(
      fs_, [&] { MakeFolders(fs_, nested, "settings folder"); },
      [&](const std::string&) { std::filesystem::remove_all(folder_.path() / "a"); });
  EXPECT_THAT(folder_messages,
              Each("cannot create settings folder " + nested.string() + ": Input/output error"));
  EXPECT_EQ(folder_messages.size(),
            static_cast<size_t>(std::distance(nested.begin(), nested.end())));
}

}  // namespace
}  // namespace base
