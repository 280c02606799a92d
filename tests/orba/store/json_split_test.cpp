// Splitting well-formed JSON text into the texts of its parts.
#include "orba/store/json_split.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orba::store {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> ItemsOf(std::string_view array_text) {
  JsonArrayItems items(array_text);
  std::vector<std::string> texts;
  for (std::string_view item; items.Next(item);) texts.emplace_back(item);
  return texts;
}

// Quotes and brackets inside strings, escaped backslashes before a closing
// quote, nesting, numbers and literals, with and without whitespace.
TEST(JsonSplit, ItemsEndWhereTheirValuesEnd) {
  EXPECT_THAT(ItemsOf(R"([ {"a": "x\"]}"}, [1, [2]] ,"\\", -1.5e3,true,null ])"),
              ElementsAre(R"({"a": "x\"]}"})", "[1, [2]]", R"("\\")", "-1.5e3", "true", "null"));
  EXPECT_THAT(ItemsOf("[\n]"), ElementsAre());
  EXPECT_THAT(ItemsOf(R"(["\\\"", "}"])"), ElementsAre(R"("\\\"")", R"("}")"));
}

TEST(JsonSplit, MembersKeepTheirNamesAsWrittenAndComeInOrder) {
  const std::string text = "\xEF\xBB\xBF\t{\"b\\u0041\" : [1,{\"c\":2}], \"a\":{} ,\"b\":\"\"}";
  const std::vector<JsonMemberText> members = JsonObjectMembers(SkipJsonSpace(text));
  ASSERT_EQ(members.size(), 3u);
  EXPECT_EQ(members[0].name, R"("b\u0041")");
  EXPECT_EQ(members[0].value, R"([1,{"c":2}])");
  EXPECT_EQ(members[1].name, R"("a")");
  EXPECT_EQ(members[1].value, "{}");
  EXPECT_EQ(members[2].value, R"("")");
  EXPECT_TRUE(JsonObjectMembers("{ }").empty());
}

}  // namespace
}  // namespace orba::store
