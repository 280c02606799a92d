#include "orba/cli/text_files.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "orba/cli/command.h"
#include "support/temp_folder.h"

namespace orba::cli {
namespace {

using ::testing::HasSubstr;

TEST(TextFilesTest, WhatIsWrittenReadsBackByteForByte) {
  testing_support::TempFolder folder;
  const std::string path = (folder.path() / "out.json").string();
  const std::string text = std::string("line\r\nzero:\0:end", 16);
  WriteTextFile(path, text);
  EXPECT_EQ(ReadTextFile(path), text);
  WriteTextFile(path, "shorter");
  EXPECT_EQ(ReadTextFile(path), "shorter");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1)
      << "no temporary file is left behind";
}

TEST(TextFilesTest, AFileThatCannotBeReadOrWrittenIsNamedAndNothingIsLeft) {
  testing_support::TempFolder folder;
  const std::string missing = (folder.path() / "missing.json").string();
  try {
    ReadTextFile(missing);
    ADD_FAILURE() << "read";
  } catch (const CommandError& error) {
    EXPECT_THAT(error.what(), HasSubstr("cannot read " + missing));
  }
  EXPECT_THROW(ReadTextFile(folder.path().string()), CommandError);
  EXPECT_THROW(WriteTextFile((folder.path() / "no" / "out.json").string(), "x"), CommandError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 0);
}

TEST(TextFilesTest, ALinkIsFollowedAndStaysALink) {
  testing_support::TempFolder folder;
  const auto target = folder.path() / "settings.json";
  const auto link = folder.path() / "link.json";
  WriteTextFile(target.string(), "old");
  std::filesystem::create_symlink(target, link);
  WriteTextFile(link.string(), "new");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadTextFile(target.string()), "new");
}

TEST(TextFilesTest, APipeIsWrittenToNotReplaced) {
  testing_support::TempFolder folder;
  const auto pipe = folder.path() / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  WriteTextFile(pipe.string(), "through the pipe");
  char received[64] = {};
  const ssize_t size = read(reader, received, sizeof received);
  close(reader);
  EXPECT_EQ(std::string(received, size > 0 ? static_cast<size_t>(size) : 0), "through the pipe");
  EXPECT_TRUE(std::filesystem::is_fifo(pipe));
}

TEST(TextFilesTest, TheFileBeingReadIsNeverTheOneWritten) {
  testing_support::TempFolder folder;
  const auto model = folder.path() / "model.obx";
  WriteTextFile(model.string(), "model");
  const std::string same_by_another_name = (folder.path() / "." / "model.obx").string();
  EXPECT_THROW(RefuseSameFile(model.string(), same_by_another_name), CommandError);
  EXPECT_NO_THROW(RefuseSameFile(model.string(), (folder.path() / "model.json").string()));
  EXPECT_EQ(ReadTextFile(model.string()), "model");
}

TEST(TextFilesTest, JsonTextShowsBytesThatAreNotUtf8AsReplacementCharacters) {
  EXPECT_EQ(JsonText({{"name", "Caf\xe9"}}), "{\n  \"name\": \"Caf\xef\xbf\xbd\"\n}");
}

}  // namespace
}  // namespace orba::cli
