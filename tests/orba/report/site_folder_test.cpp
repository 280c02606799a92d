// The site's folder is whole or absent: each failing file call in turn
// leaves the target as it was (missing, or the earlier report) and no
// half-written folder beside it, and the message names the file.
#include "orba/report/site_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/failing_file_system.h"
#include "support/temp_folder.h"

namespace orba::report {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using testing_support::FileBytes;

class SiteFolderTest : public ::testing::Test {
 protected:
  // Writes a site of two pages into `target_` with one writer, through `fs`.
  void WriteSite(base::FileSystem& fs) {
    SiteFolder folder(fs, target_, {"elements"}, 1);
    folder.Add("index.html", "new index");
    folder.Add("elements/a.html", "page a");
    folder.Place();
  }

  // What the folder holding the target holds, but the target.
  std::vector<std::string> Leftovers() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path()))
      if (entry.path() != target_) names.push_back(entry.path().filename());
    return names;
  }

  testing_support::TempFolder folder_;
  std::filesystem::path target_ = folder_.path() / "site";
};

TEST_F(SiteFolderTest, ANewSiteIsWholeOrAbsent) {
  testing_support::FailingFileSystem fs;
  const std::vector<std::string> messages = testing_support::FailEachCallInTurn<ReportError>(
      fs,
      [&] {
        std::filesystem::remove_all(target_);
        WriteSite(fs);
      },
      [&](const std::string& message) {
        EXPECT_THAT(Leftovers(), IsEmpty());
        if (message.empty()) {
          EXPECT_EQ(FileBytes(target_ / "elements/a.html"), "page a");
        } else {
          EXPECT_FALSE(std::filesystem::exists(target_)) << message;
        }
      });
  EXPECT_GE(messages.size(), 6u);  // stat, two folders, open, write, close, rename...
  for (const std::string& message : messages) EXPECT_THAT(message, HasSubstr(target_.string()));
}

TEST_F(SiteFolderTest, AnEarlierReportStaysUntilTheNewOneIsInPlace) {
  testing_support::FailingFileSystem fs;
  const std::vector<std::string> messages = testing_support::FailEachCallInTurn<ReportError>(
      fs,
      [&] {
        std::filesystem::remove_all(target_);
        std::filesystem::create_directories(target_);
        std::ofstream(target_ / "index.html") << "old index";
        WriteSite(fs);
      },
      [&](const std::string& message) {
        EXPECT_THAT(Leftovers(), IsEmpty());
        EXPECT_EQ(FileBytes(target_ / "index.html"), message.empty() ? "new index" : "old index")
            << message;
      });
  EXPECT_THAT(messages, ::testing::Contains(StartsWith("cannot replace the earlier report")));
}

TEST_F(SiteFolderTest, AFileOrAFolderOfOtherFilesIsRefused) {
  std::ofstream(target_) << "a file";
  EXPECT_THROW(
      {
        try {
          WriteSite(base::OperatingSystem());
        } catch (const ReportError& error) {
          EXPECT_THAT(error.what(), HasSubstr("it exists and is not a folder"));
          throw;
        }
      },
      ReportError);
  std::filesystem::remove(target_);
  std::filesystem::create_directories(target_);
  std::ofstream(target_ / "notes.txt") << "mine";
  EXPECT_THROW(WriteSite(base::OperatingSystem()), ReportError);
  EXPECT_EQ(FileBytes(target_ / "notes.txt"), "mine");
  EXPECT_THAT(Leftovers(), IsEmpty());
}

}  // namespace
}  // namespace orba::report
