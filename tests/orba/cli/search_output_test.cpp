#include "orba/cli/search_output.h"

#include <gtest/gtest.h>

#include <sstream>

namespace orba::cli {
namespace {

searches::SearchResult Sample() {
  return {"Parts",
          {{"Name", "Type"},
           {{{"Type", "Block"}, {"Name", "Wheel"}}, {{"Name", "Ärmel\nlong"}, {"Extra", "x"}}}},
          ""};
}

TEST(SearchTextTest, AlignsTheColumnsByCharactersAndPutsEachRowOnOneLine) {
  std::ostringstream out;
  WriteSearchText(Sample(), out);
  EXPECT_EQ(out.str(),
            "Parts: 2 rows\n"
            "Name           Type\n"
            "Wheel          Block\n"
            "Ärmel\\x0Along  \n");
}

// A model's names must not retitle or clear the terminal; the search name and
// the fields come from the add-in and are shown the same way.
TEST(SearchTextTest, ControlCharactersAreShownAsEscapes) {
  std::ostringstream out;
  WriteSearchText({"Bad\x07", {{"N\x1B"}, {{{"N\x1B", "\x1B]0;title\x07\x1B[2J\r\xC2\x9B"}}}}, ""},
                  out);
  EXPECT_EQ(out.str(), "Bad\\x07: 1 row\nN\\x1B\n\\x1B]0;title\\x07\\x1B[2J\\x0D\\u009B\n");
}

TEST(SearchTextTest, AnEmptyResultIsItsHeader) {
  std::ostringstream out;
  WriteSearchText({"Parts", {{"Name"}, {}}, ""}, out);
  EXPECT_EQ(out.str(), "Parts: 0 rows\nName\n");
}

TEST(SearchJsonTest, HoldsTheNameTheFieldsAndEachRowsOwnFields) {
  EXPECT_EQ(SearchJson(Sample()), nlohmann::ordered_json::parse(R"({
    "search": "Parts", "fields": ["Name", "Type"],
    "rows": [{"Type": "Block", "Name": "Wheel"}, {"Name": "Ärmel\nlong", "Extra": "x"}]})"));
}

}  // namespace
}  // namespace orba::cli
