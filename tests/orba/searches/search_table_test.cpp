#include "orba/searches/search_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace orba::searches {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// The layout the allocation search writes: declarations without a space
// before "/>", row fields with one, fields of a row in column order; each
// row is read in its own order and written back unchanged.
TEST(ReportViewDataTest, IsReadAndWrittenInTheLayoutAddinsWrite) {
  const SearchTable table = ParseReportViewData(
      "<ReportViewData><Fields><Field name=\"CLASSGUID\"/><Field name=\"From Name\"/>"
      "<Field name=\"To Name\"/></Fields><Rows>"
      "<Row><Field name=\"To Name\" value=\"Engine\" /><Field name=\"CLASSGUID\" value=\"{A}\" />"
      "<Field name=\"From Name\" value=\"front:Wheel &amp; &quot;axle&quot; &lt;2&gt;\" /></Row>"
      "<Row><Field name=\"CLASSGUID\" value=\"{B}\" /></Row>"
      "</Rows></ReportViewData>");
  EXPECT_THAT(table.fields, ElementsAre("CLASSGUID", "From Name", "To Name"));
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_THAT(table.rows[0],
              ElementsAre(SearchField{"To Name", "Engine"}, SearchField{"CLASSGUID", "{A}"},
                          SearchField{"From Name", "front:Wheel & \"axle\" <2>"}));
  EXPECT_THAT(table.rows[1], ElementsAre(SearchField{"CLASSGUID", "{B}"}));
  EXPECT_EQ(ValueOf(table.rows[0], "From Name"), "front:Wheel & \"axle\" <2>");
  EXPECT_EQ(ValueOf(table.rows[1], "To Name"), "") << "a field the row lacks";
  const SearchTable again = ParseReportViewData(WriteReportViewData(table));
  EXPECT_EQ(again.fields, table.fields);
  EXPECT_EQ(again.rows, table.rows);
  EXPECT_EQ(WriteReportViewData({{"Name", "Id"}, {{{"Name", "a<b & \"c\""}, {"Id", "R1"}}}}),
            "<ReportViewData><Fields><Field name=\"Name\"/><Field name=\"Id\"/></Fields><Rows>"
            "<Row><Field name=\"Name\" value=\"a&lt;b &amp; &quot;c&quot;\" />"
            "<Field name=\"Id\" value=\"R1\" /></Row></Rows></ReportViewData>");
}

TEST(ReportViewDataTest, ADocumentThatIsNoReportTableIsRefusedNamingTheProblem) {
  const std::pair<const char*, const char*> refused[] = {
      {"", "not well-formed XML"},
      {"<ReportViewData><Fields>", "not well-formed XML"},
      {"<Report/>", "expected the element ReportViewData, found 'Report'"},
      {"<ReportViewData><Fields><Field/></Fields></ReportViewData>",
       "a Field in Fields has no name"},
      {"<ReportViewData><Rows><Row><Field value=\"x\" /></Row></Rows></ReportViewData>",
       "a Field in a Row has no name"}};
  for (const auto& [document, problem] : refused) {
    EXPECT_THAT([document = document] { ParseReportViewData(document); },
                ::testing::ThrowsMessage<SearchError>(HasSubstr(problem)))
        << document;
  }
}

}  // namespace
}  // namespace orba::searches
