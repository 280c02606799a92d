#include "orba/cli/text_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

TEST(TextFilesTest, AFileThatCannotBeReadIsNamed) {
  testing_support::TempFolder folder;
  const std::string missing = (folder.path() / "missing.json").string();
  EXPECT_THROW(
      {
        try {
          ReadTextFile(missing);
        } catch (const CommandError& error) {
          EXPECT_THAT(error.what(), HasSubstr("cannot read " + missing));
          throw;
        }
      },
      CommandError);
  EXPECT_THROW(ReadTextFile(folder.path().string()), CommandError);
}

TEST(TextFilesTest, AFileThatCannotBeWrittenIsNamedAndNothingIsLeft) {
  testing_support::TempFolder folder;
  const std::string inside_missing = (folder.path() / "no" / "out.json").string();
  EXPECT_THROW(WriteTextFile(inside_missing, "x"), CommandError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 0);
}

}  // namespace
}  // namespace orba::cli
