// The host's SQL view of a model, as add-ins query it. The add-in's own
// queries run on this store in the tests of its searches.
#include "orba/store/sql_query.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "store_fixtures.h"

namespace orba::store::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr std::string_view kModel = R"json({"packages": [{"key": "p", "name": "P"}], "elements": [
  {"key": "req", "package": "p", "type": "Class", "name": "R & <D>", "stereotype": "requirement"},
  {"key": "plain", "package": "p", "type": "Action", "name": "Ignite"}]})json";

// Each row of an answer as "COLUMN=value;..." with the column element names.
std::vector<std::string> Rows(const std::string& answer) {
  pugi::xml_document document;
  EXPECT_TRUE(document.load_string(answer.c_str())) << answer;
  std::vector<std::string> rows;
  for (const pugi::xpath_node& row : document.select_nodes("/OrbaData/Dataset_0/Data/Row")) {
    std::string text;
    for (pugi::xml_node column : row.node().children()) {
      text += std::string(column.name()) + "=" + column.text().get() + ";";
    }
    rows.push_back(text);
  }
  return rows;
}

class SqlQueryTest : public ::testing::Test {
 protected:
  std::string Query(const std::string& sql) { return repository_->ExecuteSqlQuery(sql); }

  std::shared_ptr<ModelRepository> repository_ = ImportedModel(kModel);
};

TEST_F(SqlQueryTest, AnswerHasTheHostShapeWithEscapingAndNulls) {
  EXPECT_EQ(Query("SELECT Name AS [N], Stereotype FROM t_object WHERE Object_ID IN (2, 3) ORDER BY "
                  "Object_ID"),
            "<?xml version=\"1.0\"?><OrbaData><Dataset_0><Data>"
            "<Row><N>R &amp; &lt;D&gt;</N><Stereotype>requirement</Stereotype></Row>"
            "<Row><N>Ignite</N><Stereotype></Stereotype></Row>"
            "</Data></Dataset_0></OrbaData>");
  EXPECT_EQ(Query("SELECT Name FROM t_object WHERE 0"),
            "<?xml version=\"1.0\"?><OrbaData><Dataset_0><Data></Data></Dataset_0></OrbaData>");
}

// XML text keeps TAB and LF, CR needs a reference; XML 1.0 allows no other
// control character, so those read back as U+FFFD.
TEST_F(SqlQueryTest, ControlCharactersInValuesReadBackAsXmlAllows) {
  const std::string answer =
      Query("SELECT 'a' || char(9) || char(10) || char(13) || char(13, 10) || char(1, 31) AS v");
  EXPECT_EQ(answer,
            "<?xml version=\"1.0\"?><OrbaData><Dataset_0><Data><Row>"
            "<v>a\t\n&#xD;&#xD;\n\uFFFD\uFFFD</v></Row></Data></Dataset_0></OrbaData>");
  EXPECT_THAT(Rows(answer), ElementsAre("v=a\t\n\r\r\n\uFFFD\uFFFD;"));
}

TEST_F(SqlQueryTest, ColumnNamesAreMadeValidXmlNamesAndATrailingSemicolonIsAccepted) {
  EXPECT_THAT(Rows(Query("SELECT 1 AS [two words], 2 AS [3d], 'x' AS [a:b], 4;  \n")),
              ElementsAre("two_words=1;_3d=2;a_b=x;_4=4;"));
}

TEST_F(SqlQueryTest, AnythingButOneReadOnlyQueryIsRefusedSayingWhy) {
  const std::pair<const char*, const char*> refused[] = {
      {"UPDATE t_object SET Name = 'x'", "read-only"},
      {"DELETE FROM t_object", ""},
      {"INSERT INTO t_technology (Technology_ID, Document) VALUES ('a', 'b')", ""},
      {"DROP TABLE t_object", ""},
      {"SELECT 1; SELECT 2", "one statement"},
      {"SELECT 1; DELETE FROM t_object", ""},
      {"BEGIN", ""},
      {"ATTACH ':memory:' AS other", ""},
      {"PRAGMA user_version = 5", ""},
      {"PRAGMA optimize", "read-only"},
      {"PRAGMA locking_mode = EXCLUSIVE", ""},
      {"", ""},
      {"   ", ""},
      {"SELEC 1", ""},
      {"SELECT * FROM no_such_table", ""}};
  for (const auto& [sql, reason] : refused) {
    try {
      Query(sql);
      ADD_FAILURE() << "ran " << sql;
    } catch (const host::Error& error) {
      EXPECT_THAT(error.what(), HasSubstr(reason)) << sql;
    }
  }
  EXPECT_EQ(repository_->ElementIds().size(), 2u);
  EXPECT_THAT(Rows(Query("PRAGMA user_version")), ElementsAre("user_version=1;"));
  EXPECT_FALSE(Rows(Query("PRAGMA table_info(t_object)")).empty());
}

}  // namespace
}  // namespace orba::store::testing
