// The matrices as data: CSV quoting, per cents, and allocations read from
// the search's rows.
#include "orba/report/matrix_data.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/test_model.h"

namespace orba::report {
namespace {

using ::testing::ElementsAre;

TEST(CsvTextTest, FieldsWithCommasQuotesOrLineBreaksAreQuotedWithQuotesDoubled) {
  const DataTable table{{"Name", "Note"},
                        {{"plain", "a, b"}, {"say \"hi\"", "line\r\nbreak"}, {"lf\nonly", ""}}};
  EXPECT_EQ(CsvText(table, false),
            "Name,Note\r\nplain,\"a, b\"\r\n\"say \"\"hi\"\"\",\"line\r\nbreak\"\r\n"
            "\"lf\nonly\",\r\n");
  EXPECT_EQ(CsvText(table, true).substr(0, 12), "\xEF\xBB\xBFName,Note");
}

struct PercentCase {
  size_t part, whole;
  const char* text;
  friend void PrintTo(const PercentCase& c, std::ostream* out) {
    *out << c.part << " of " << c.whole;
  }
};

class PercentTest : public ::testing::TestWithParam<PercentCase> {};

TEST_P(PercentTest, IsRoundedToOneDecimalHalfUp) {
  EXPECT_EQ(Percent(GetParam().part, GetParam().whole), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, PercentTest,
                         ::testing::Values(PercentCase{0, 0, "0.0 %"}, PercentCase{5, 8, "62.5 %"},
                                           PercentCase{5, 16, "31.3 %"},
                                           PercentCase{1, 3, "33.3 %"}, PercentCase{2, 3, "66.7 %"},
                                           PercentCase{7, 7, "100.0 %"}));

// A dependency's row is placed at its client and supplier; a partition's
// (its GUID an element's) at the allocated element, its other end only named.
TEST(AllocationTest, RowsAreFoundInTheModelAndCountedInTheMatrix) {
  const testing_support::TestModel test_model(R"({"packages": [{"key": "root", "name": "Model"}],
    "elements": [
      {"key": "act", "package": "root", "type": "Activity", "name": "Drive"},
      {"key": "ecu", "package": "root", "type": "Class", "name": "ECU", "stereotype": "block"}],
    "connectors": [
      {"key": "a1", "type": "Dependency", "stereotype": "allocate", "client": "act",
       "supplier": "ecu", "guid": "{A1}"},
      {"key": "a2", "type": "Dependency", "stereotype": "allocate", "client": "act",
       "supplier": "ecu", "guid": "{A2}"}]})");
  store::ModelRepository& repository =
      dynamic_cast<store::ModelRepository&>(*test_model.Repository());
  const ModelIndex model(repository.Session());
  const auto row = [](const std::string& guid, const std::string& from, const std::string& to) {
    return searches::SearchRow{
        {"CLASSGUID", guid}, {"CLASSTYPE", "Dependency"}, {"From Type", "Activity"},
        {"From Name", from}, {"Relation", "allocate"},    {"To Type", "block"},
        {"To Name", to}};
  };
  const searches::SearchTable table{{},
                                    {row("{A1}", "Drive", "ECU"), row("{A2}", "Drive", "ECU"),
                                     row(test_model.ElementGuid("act"), "Drive", "Controller")}};
  const std::vector<Allocation> allocations = ReadAllocations(table, model);
  ASSERT_EQ(allocations.size(), 3u);
  EXPECT_EQ(allocations[0].from.element_id, test_model.ElementId("act"));
  EXPECT_EQ(allocations[0].to.element_id, test_model.ElementId("ecu"));
  EXPECT_EQ(allocations[2].from.element_id, test_model.ElementId("act"));
  EXPECT_EQ(allocations[2].to.element_id, 0);
  const DataTable matrix = AllocationTable(MatrixOf(allocations));
  EXPECT_THAT(matrix.columns, ElementsAre("From", "ECU [block]", "Controller [block]"));
  EXPECT_THAT(matrix.rows, ElementsAre(ElementsAre("Drive [Activity]", "2", "1")));
}

}  // namespace
}  // namespace orba::report
