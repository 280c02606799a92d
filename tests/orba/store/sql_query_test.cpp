#include "orba/store/sql_query.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "orba/store/model_session.h"
#include "store_fixtures.h"

namespace orba::store::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;

constexpr std::string_view kAllocationModel = R"json({
  "packages": [{"key": "p", "name": "P"}],
  "elements": [
    {"key": "block", "package": "p", "type": "Class", "name": "Engine", "stereotype": "block"},
    {"key": "act", "package": "p", "type": "Activity", "name": "Burn"},
    {"key": "req", "package": "p", "type": "Class", "name": "R & <D>", "stereotype": "requirement"},
    {"key": "plain", "package": "p", "type": "Action", "name": "Ignite"},
    {"key": "partition", "package": "p", "type": "ActivityPartition", "name": "Lane",
     "stereotype": "allocateActivityPartition"},
    {"key": "otherPartition", "package": "p", "type": "ActivityPartition", "name": "Free"}
  ],
  "connectors": [
    {"key": "c1", "type": "Dependency", "stereotype": "allocate", "client": "block", "supplier": "req", "guid": "{C1}"},
    {"key": "c2", "type": "Dependency", "stereotype": "allocate", "client": "block", "supplier": "act", "guid": "{C2}"},
    {"key": "c3", "type": "Abstraction", "stereotype": "allocate", "client": "act", "supplier": "req", "guid": "{C3}"},
    {"key": "c4", "type": "Dependency", "stereotype": "allocate", "client": "plain", "supplier": "act", "guid": "{C4}"},
    {"key": "notAllocate", "type": "Dependency", "stereotype": "trace", "client": "block", "supplier": "act"},
    {"key": "noStereotype", "type": "Dependency", "client": "block", "supplier": "act"}
  ]
})json";

// The add-in's allocation query, assembled from its pieces.
std::string AllocationQuery() {
  const std::string s1 =
      "SELECT    t_connector.Connector_Type AS [CLASSTYPE], t_connector.orba_guid AS [CLASSGUID], "
      "t_object1.Stereotype AS [From_Type], t_object1.Name AS [From_Name], t_connector.Stereotype "
      "AS Relation,";
  const std::string s2 = s1 + " ";
  const std::string s3 =
      "SELECT    t_connector.Connector_Type AS [CLASSTYPE], t_connector.orba_guid AS [CLASSGUID], "
      "t_object1.Object_Type AS [From_Type], t_object1.Name AS [From_Name], t_connector.Stereotype "
      "AS Relation, ";
  const std::string ts = "t_object2.Stereotype AS [To_Type], t_object2.Name AS [To_Name] ";
  const std::string tt = "t_object2.Object_Type AS [To_Type], t_object2.Name AS [To_Name] ";
  const std::string f = "FROM       t_object t_object1, t_object t_object2, t_connector ";
  const std::string w =
      "where t_connector.Start_Object_ID = t_object1.Object_Id and t_connector.End_Object_ID = "
      "t_object2.Object_Id and ";
  auto condition = [](const char* from, const char* to) {
    return std::string("t_connector.Stereotype='allocate' and t_object1.Stereotype is ") + from +
           " and t_object2.Stereotype is " + to + " ";
  };
  const std::string u = "Union ";
  return s1 + ts + f + w + condition("not null", "not null") + u + s2 + tt + f + w +
         condition("not null", "null") + u + s3 + ts + f + w + condition("null", "not null") + u +
         s3 + tt + f + w + condition("null", "null");
}

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

  KeyMap keys_;
  std::shared_ptr<ModelRepository> repository_ = ImportedModel(kAllocationModel, &keys_);
};

TEST_F(SqlQueryTest, AnswerHasTheHostShapeWithEscapingAndNulls) {
  EXPECT_EQ(Query("SELECT Name AS [N], Stereotype FROM t_object WHERE Object_ID IN (4, 5) ORDER BY "
                  "Object_ID"),
            "<?xml version=\"1.0\"?><OrbaData><Dataset_0><Data>"
            "<Row><N>R &amp; &lt;D&gt;</N><Stereotype>requirement</Stereotype></Row>"
            "<Row><N>Ignite</N><Stereotype></Stereotype></Row>"
            "</Data></Dataset_0></OrbaData>");
}

// XML text keeps TAB and LF, CR needs a reference; XML 1.0 allows no other
// control character, so those read back as U+FFFD.
TEST_F(SqlQueryTest, ControlCharactersInValuesReadBackAsXmlAllows) {
  const std::string answer =
      Query("SELECT 'a' || char(9) || char(10) || char(13) || char(13, 10) || char(1, 31) AS v");
  EXPECT_EQ(answer,
            "<?xml version=\"1.0\"?><OrbaData><Dataset_0><Data><Row><v>a\t\n&#xD;&#xD;\n\uFFFD\uFFFD"
            "</v></Row></Data></Dataset_0></OrbaData>");
  EXPECT_THAT(Rows(answer), ElementsAre("v=a\t\n\r\r\n\uFFFD\uFFFD;"));
}

TEST_F(SqlQueryTest, NoRowsGiveAnEmptyDataElement) {
  EXPECT_EQ(Query("SELECT Name FROM t_object WHERE 0"),
            "<?xml version=\"1.0\"?><OrbaData><Dataset_0><Data></Data></Dataset_0></OrbaData>");
}

TEST_F(SqlQueryTest, ColumnNamesAreMadeValidXmlNames) {
  EXPECT_THAT(Rows(Query("SELECT 1 AS [two words], 2 AS [3d], 'x' AS [a:b], 4")),
              ElementsAre("two_words=1;_3d=2;a_b=x;_4=4;"));
}

TEST_F(SqlQueryTest, ATrailingSemicolonAndBlanksAreAccepted) {
  EXPECT_THAT(Rows(Query("SELECT 7 AS n;  \n")), ElementsAre("n=7;"));
}

TEST_F(SqlQueryTest, AnythingButOneReadOnlyQueryIsRefused) {
  const char* refused[] = {"UPDATE t_object SET Name = 'x'",
                           "DELETE FROM t_object",
                           "INSERT INTO t_technology (Technology_ID, Document) VALUES ('a', 'b')",
                           "DROP TABLE t_object",
                           "SELECT 1; SELECT 2",
                           "SELECT 1; DELETE FROM t_object",
                           "BEGIN",
                           "ATTACH ':memory:' AS other",
                           "PRAGMA user_version = 5",
                           "PRAGMA optimize",
                           "PRAGMA locking_mode = EXCLUSIVE",
                           "",
                           "   ",
                           "SELEC 1",
                           "SELECT * FROM no_such_table"};
  for (const char* sql : refused) EXPECT_THROW(Query(sql), host::Error) << sql;
  EXPECT_EQ(repository_->ElementIds().size(), keys_.elements.size());
  EXPECT_THAT(Rows(Query("PRAGMA user_version")), ElementsAre("user_version=1;"));
  EXPECT_FALSE(Rows(Query("PRAGMA table_info(t_object)")).empty());
}

TEST_F(SqlQueryTest, RefusalsSayWhy) {
  try {
    Query("UPDATE t_object SET Name = 'x'");
    FAIL() << "no error";
  } catch (const host::Error& error) {
    EXPECT_THAT(error.what(), HasSubstr("read-only"));
  }
  try {
    Query("PRAGMA optimize");
    FAIL() << "no error";
  } catch (const host::Error& error) {
    EXPECT_THAT(error.what(), HasSubstr("read-only"));
  }
  try {
    Query("SELECT 1; SELECT 2");
    FAIL() << "no error";
  } catch (const host::Error& error) {
    EXPECT_THAT(error.what(), HasSubstr("one statement"));
  }
}

TEST_F(SqlQueryTest, TheAllocationQueryFindsEveryAllocateDependency) {
  EXPECT_THAT(
      Rows(Query(AllocationQuery())),
      UnorderedElementsAre("CLASSTYPE=Dependency;CLASSGUID={C1};From_Type=block;From_Name=Engine;"
                           "Relation=allocate;To_Type=requirement;To_Name=R & <D>;",
                           "CLASSTYPE=Dependency;CLASSGUID={C2};From_Type=block;From_Name=Engine;"
                           "Relation=allocate;To_Type=Activity;To_Name=Burn;",
                           "CLASSTYPE=Abstraction;CLASSGUID={C3};From_Type=Activity;From_Name=Burn;"
                           "Relation=allocate;To_Type=requirement;To_Name=R & <D>;",
                           "CLASSTYPE=Dependency;CLASSGUID={C4};From_Type=Action;From_Name=Ignite;"
                           "Relation=allocate;To_Type=Activity;To_Name=Burn;"));
}

TEST_F(SqlQueryTest, ThePartitionQueryFindsAllocatingPartitions) {
  EXPECT_THAT(
      Rows(Query("SELECT Object_ID FROM t_object WHERE t_object.Object_Type = 'ActivityPartition' "
                 "and t_object.Stereotype = 'allocateActivityPartition'")),
      ElementsAre("Object_ID=" + std::to_string(keys_.elements.at("partition")) + ";"));
}

}  // namespace
}  // namespace orba::store::testing
