#include "base/ini_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace base {
namespace {

TEST(IniFileTest, EntriesOfASectionKeepTheirLinesAndDuplicates) {
  const IniFile file = IniFile::Parse(
      "; comment\n[Components]\nA=/a.so\n\n[Other]\nA=/elsewhere\n[components]\na=rel.so\n", "f");
  const auto entries = file.EntriesOf("Components");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].key, "A");
  EXPECT_EQ(entries[0].value, "/a.so");
  EXPECT_EQ(entries[0].line, 3);
  EXPECT_EQ(entries[1].value, "rel.so");
  EXPECT_EQ(entries[1].line, 8);
}

TEST(IniFileTest, ABrokenLineIsNamed) {
  EXPECT_THAT([] { IniFile::Parse("[Components]\nno equals\n", "registry r.ini"); },
              testing::ThrowsMessage<IniError>(
                  "registry r.ini, line 2: expected Key=Value, found \"no equals\""));
}

}  // namespace
}  // namespace base
