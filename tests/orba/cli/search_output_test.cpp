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
            "Name        Type\n"
            "Wheel       Block\n"
            "Ärmel long  \n");
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
