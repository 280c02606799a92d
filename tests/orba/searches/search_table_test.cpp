#include "orba/searches/search_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace orba::searches {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// The layout the allocation search writes: declarations without a space
// before "/>", row fields with one, fields of a row in column order.
constexpr char kAllocationAnswer[] =
    "<ReportViewData><Fields><Field name=\"CLASSGUID\"/><Field name=\"From Name\"/>"
    "<Field name=\"To Name\"/></Fields><Rows>"
    "<Row><Field name=\"To Name\" value=\"Engine\" /><Field name=\"CLASSGUID\" value=\"{A}\" />"
    "<Field name=\"From Name\" value=\"front:Wheel &amp; &quot;axle&quot; &lt;2&gt;\" /></Row>"
    "<Row><Field name=\"CLASSGUID\" value=\"{B}\" /></Row>"
    "</Rows></ReportViewData>";

TEST(ReportViewDataTest, ReadsTheDeclaredFieldsAndEveryRowInItsOwnOrder) {
  const SearchTable table = ParseReportViewData(kAllocationAnswer);
  EXPECT_THAT(table.fields, ElementsAre("CLASSGUID", "From Name", "To Name"));
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_THAT(table.rows[0],
              ElementsAre(SearchField{"To Name", "Engine"}, SearchField{"CLASSGUID", "{A}"},
                          SearchField{"From Name", "front:Wheel & \"axle\" <2>"}));
  EXPECT_THAT(table.rows[1], ElementsAre(SearchField{"CLASSGUID", "{B}"}));
  EXPECT_EQ(ValueOf(table.rows[0], "From Name"), "front:Wheel & \"axle\" <2>");
  EXPECT_EQ(ValueOf(table.rows[1], "To Name"), "") << "a field the row lacks";
}

TEST(ReportViewDataTest, AnAnswerWithoutRowsIsAnEmptyTable) {
  const SearchTable table = ParseReportViewData(
      "<ReportViewData><Fields><Field name=\"A\"/></Fields><Rows></Rows></ReportViewData>");
  EXPECT_THAT(table.fields, ElementsAre("A"));
  EXPECT_TRUE(table.rows.empty());
}

struct BadDocument {
  const char* document;
  const char* problem;
  friend void PrintTo(const BadDocument& bad, std::ostream* out) {
    *out << (*bad.document ? bad.document : "(empty)");
  }
};

class BadReportViewDataTest : public ::testing::TestWithParam<BadDocument> {};

TEST_P(BadReportViewDataTest, IsRefusedNamingTheProblem) {
  try {
    ParseReportViewData(GetParam().document);
    FAIL() << "accepted " << GetParam().document;
  } catch (const SearchError& error) {
    EXPECT_THAT(error.what(), HasSubstr(GetParam().problem));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Documents, BadReportViewDataTest,
    ::testing::Values(BadDocument{"", "not well-formed XML"},
                      BadDocument{"<ReportViewData><Fields>", "not well-formed XML"},
                      BadDocument{"<Report/>",
                                  "expected the element ReportViewData, found 'Report'"},
                      BadDocument{"<ReportViewData><Fields><Field/></Fields></ReportViewData>",
                                  "a Field in Fields has no name"},
                      BadDocument{"<ReportViewData><Rows><Row><Field value=\"x\" /></Row></Rows>"
                                  "</ReportViewData>",
                                  "a Field in a Row has no name"}));

TEST(ReportViewDataTest, IsWrittenInTheLayoutAddinsWriteAndReadsBackUnchanged) {
  const SearchTable table{{"Name", "Id"}, {{{"Name", "a<b & \"c\""}, {"Id", "R1"}}}};
  EXPECT_EQ(WriteReportViewData(table),
            "<ReportViewData><Fields><Field name=\"Name\"/><Field name=\"Id\"/></Fields><Rows>"
            "<Row><Field name=\"Name\" value=\"a&lt;b &amp; &quot;c&quot;\" />"
            "<Field name=\"Id\" value=\"R1\" /></Row></Rows></ReportViewData>");
  const SearchTable read = ParseReportViewData(kAllocationAnswer);
  const SearchTable again = ParseReportViewData(WriteReportViewData(read));
  EXPECT_EQ(again.fields, read.fields);
  EXPECT_EQ(again.rows, read.rows);
}

}  // namespace
}  // namespace orba::searches
