#include "search/allocation_search.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "addin/tessary.h"
#include "platform/xml_dom.h"
#include "support/fault_injection.h"
#include "support/recording_repository.h"
#include "support/test_model.h"
#include "support/test_platform.h"

namespace search {
namespace {

using testing::ElementsAre;
using testing_support::RecordingRepository;
using testing_support::TestModel;

constexpr char kHeader[] =
    "<ReportViewData><Fields><Field name=\"CLASSGUID\"/><Field name=\"CLASSTYPE\"/>"
    "<Field name=\"From Type\"/><Field name=\"From Name\"/><Field name=\"Relation\"/>"
    "<Field name=\"To Type\"/><Field name=\"To Name\"/></Fields><Rows>";
constexpr char kFooter[] = "</Rows></ReportViewData>";

std::string Document(const std::string& rows) { return kHeader + rows + kFooter; }

// A row field as the result document writes it; `value` is given already escaped.
std::string Field(const std::string& name, const std::string& value) {
  return "<Field name=\"" + name + "\" value=\"" + value + "\" />";
}

struct PartitionRow {
  std::string guid;
  std::string type;
  std::string from_type;
  std::string from_name;
  std::string to_type;
  std::string to_name;
};

std::string Row(const PartitionRow& row) {
  return "<Row>" + Field("CLASSGUID", row.guid) + Field("CLASSTYPE", row.type) +
         Field("From Type", row.from_type) + Field("From Name", row.from_name) +
         Field("Relation", "allocate") + Field("To Type", row.to_type) +
         Field("To Name", row.to_name) + "</Row>";
}

// The row of an allocate dependency, in the columns' order.
std::string DependencyRow(const std::string& guid, const std::string& from_type,
                          const std::string& from_name, const std::string& to_type,
                          const std::string& to_name) {
  return "<Row>" + Field("CLASSTYPE", "Dependency") + Field("CLASSGUID", guid) +
         Field("From Type", from_type) + Field("From Name", from_name) +
         Field("Relation", "allocate") + Field("To Type", to_type) + Field("To Name", to_name) +
         "</Row>";
}

std::string Model(const std::string& elements, const std::string& connectors = "") {
  return R"({"format": "orba-model", "version": 1,
             "packages": [{"key": "root", "name": "Model"}],
             "elements": [)" +
         elements + R"(], "connectors": [)" + connectors + "]}";
}

// ---- Models without allocations ----

TEST(AllocationSearchTest, AModelWithoutAllocationsGivesOnlyTheFrame) {
  const TestModel model(Model(
      R"({"key": "a", "package": "root", "type": "Class", "name": "A", "stereotype": "block"},
         {"key": "b", "package": "root", "type": "Activity", "name": "B"},
         {"key": "p", "package": "root", "type": "ActivityPartition", "name": "P",
          "stereotype": "partition"},
         {"key": "x", "package": "root", "parent": "p", "type": "Action", "name": "X"})",
      R"({"key": "t", "type": "Dependency", "stereotype": "trace", "client": "a", "supplier": "b"},
         {"key": "c", "type": "Dependency", "stereotype": "Allocate", "client": "a", "supplier": "b"})"));
  EXPECT_EQ(AllocationSearchDocument(*model.Repository()),
            "<ReportViewData><Fields><Field name=\"CLASSGUID\"/><Field name=\"CLASSTYPE\"/>"
            "<Field name=\"From Type\"/><Field name=\"From Name\"/><Field name=\"Relation\"/>"
            "<Field name=\"To Type\"/><Field name=\"To Name\"/></Fields><Rows></Rows>"
            "</ReportViewData>");
}

// ---- Allocate dependencies: one for each combination of stereotyped ends ----

struct DependencyCase {
  std::string description;
  std::string from_stereotype;
  std::string to_stereotype;
  std::string from_type;
  std::string to_type;
  friend void PrintTo(const DependencyCase& c, std::ostream* os) { *os << c.description; }
};

class DependencyTest : public testing::TestWithParam<DependencyCase> {};

TEST_P(DependencyTest, GivesOneRowWithEachEndsStereotypeOrType) {
  const DependencyCase& c = GetParam();
  const TestModel model(
      Model(R"({"key": "car", "package": "root", "type": "Class", "name": "Car", "stereotype": ")" +
                c.from_stereotype + R"("},
         {"key": "drive", "package": "root", "type": "Activity", "name": "Drive",
          "stereotype": ")" +
                c.to_stereotype + R"("})",
            R"({"key": "alloc", "type": "Dependency", "stereotype": "allocate", "client": "car",
          "supplier": "drive"})"));
  EXPECT_EQ(AllocationSearchDocument(*model.Repository()),
            Document(DependencyRow(model.Connector("alloc")->ConnectorGUID(), c.from_type, "Car",
                                   c.to_type, "Drive")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DependencyTest,
    testing::Values(DependencyCase{"BothStereotyped", "block", "activity", "block", "activity"},
                    DependencyCase{"FromStereotyped", "block", "", "block", "Activity"},
                    DependencyCase{"ToStereotyped", "", "activity", "Class", "activity"},
                    DependencyCase{"NeitherStereotyped", "", "", "Class", "Activity"}),
    [](const testing::TestParamInfo<DependencyCase>& info) { return info.param.description; });

// ---- Allocating partitions ----

constexpr char kPartitionElements[] = R"(
  {"key": "engine", "package": "root", "type": "Class", "name": "Engine", "stereotype": "block",
   "metatype": "Block"},
  {"key": "wheel", "package": "root", "type": "Class", "name": "Wheel", "stereotype": "block",
   "metatype": "Block"},
  {"key": "p", "package": "root", "type": "ActivityPartition", "name": "P",
   "stereotype": "allocateActivityPartition", "classifier": "engine"},
  {"key": "start", "package": "root", "parent": "p", "type": "Action", "name": "start"},
  {"key": "run", "package": "root", "parent": "p", "type": "Action", "name": "run",
   "stereotype": "callBehavior"},
  {"key": "stop", "package": "root", "parent": "p", "type": "Action", "name": "stop"})";

TEST(PartitionTest, EachElementOfAnAllocatingPartitionGivesARow) {
  const TestModel model(Model(kPartitionElements));
  const auto row = [&](const std::string& key, const std::string& from_type) {
    const host::ElementPtr action = model.Element(key);
    return Row({action->ElementGUID(), "Action", from_type, action->Name(), "Block", "Engine"});
  };
  EXPECT_EQ(AllocationSearchDocument(*model.Repository()),
            Document(row("start", "Action") + row("run", "callBehavior") + row("stop", "Action")));
}

TEST(PartitionTest, AnElementWithAClassifierIsNamedWithIt) {
  const TestModel model(Model(R"(
      {"key": "engine", "package": "root", "type": "Class", "name": "Engine", "metatype": "Block"},
      {"key": "wheel", "package": "root", "type": "Class", "name": "Wheel", "metatype": "Block"},
      {"key": "p", "package": "root", "type": "ActivityPartition", "name": "P",
       "stereotype": "allocateActivityPartition", "classifier": "engine"},
      {"key": "front", "package": "root", "parent": "p", "type": "Part", "name": "front",
       "classifier": "wheel"})"));
  EXPECT_EQ(AllocationSearchDocument(*model.Repository()),
            Document(Row(
                {model.ElementGuid("front"), "Part", "Part", "front:Wheel", "Block", "Engine"})));
}

TEST(PartitionTest, APartitionWithoutClassifierLeavesTheTargetEmpty) {
  const TestModel model(Model(R"(
      {"key": "p", "package": "root", "type": "ActivityPartition", "name": "P",
       "stereotype": "allocateActivityPartition"},
      {"key": "idle", "package": "root", "parent": "p", "type": "Action", "name": "idle"})"));
  EXPECT_EQ(AllocationSearchDocument(*model.Repository()),
            Document(Row({model.ElementGuid("idle"), "Action", "Action", "idle", "", ""})));
}

TEST(PartitionTest, APartitionWithoutElementsGivesNoRows) {
  const TestModel model(Model(R"(
      {"key": "engine", "package": "root", "type": "Class", "name": "Engine", "metatype": "Block"},
      {"key": "p", "package": "root", "type": "ActivityPartition", "name": "P",
       "stereotype": "allocateActivityPartition", "classifier": "engine"})"));
  EXPECT_EQ(AllocationSearchDocument(*model.Repository()), Document(""));
}

TEST(PartitionTest, AClassifierTheHostCannotFindLeavesItsNameOut) {
  const TestModel model(Model(R"(
      {"key": "engine", "package": "root", "type": "Class", "name": "Engine", "metatype": "Block"},
      {"key": "p", "package": "root", "type": "ActivityPartition", "name": "P",
       "stereotype": "allocateActivityPartition", "classifier": "engine"},
      {"key": "front", "package": "root", "parent": "p", "type": "Part", "name": "front",
       "classifier": "engine"})"));
  testing_support::FaultInjectingRepository repository(model.Repository());
  repository.Plan().HideElement(model.ElementId("engine"));
  EXPECT_EQ(AllocationSearchDocument(repository),
            Document(Row({model.ElementGuid("front"), "Part", "Part", "front", "", ""})));
}

TEST(PartitionTest, AFailingHostCallInsideAPartitionFailsTheSearch) {
  const TestModel model(Model(R"(
      {"key": "p", "package": "root", "type": "ActivityPartition", "name": "P",
       "stereotype": "allocateActivityPartition"},
      {"key": "x", "package": "root", "parent": "p", "type": "Action", "name": "X"})"));
  testing_support::FaultInjectingRepository repository(model.Repository());
  repository.Plan().FailOn("Element.Elements");
  EXPECT_THROW(AllocationSearchDocument(repository), host::Error);
}

// ---- Escaping ----

TEST(EscapingTest, AmpersandLessThanAndQuoteAreEscapedInValues) {
  const TestModel model(Model(
      R"({"key": "a", "package": "root", "type": "Class", "name": "Fish & \"Chips\" <x> 'y'",
          "stereotype": "block"},
         {"key": "b", "package": "root", "type": "Activity", "name": "B"},
         {"key": "p", "package": "root", "type": "ActivityPartition", "name": "P",
          "stereotype": "allocateActivityPartition"},
         {"key": "c", "package": "root", "parent": "p", "type": "Action", "name": "a<b & \"c\""})",
      R"({"key": "d", "type": "Dependency", "stereotype": "allocate", "client": "a",
          "supplier": "b"})"));
  const std::string document = AllocationSearchDocument(*model.Repository());
  EXPECT_EQ(document,
            Document(DependencyRow(model.Connector("d")->ConnectorGUID(), "block",
                                   "Fish &amp; &quot;Chips&quot; &lt;x> 'y'", "Activity", "B") +
                     Row({model.ElementGuid("c"), "Action", "Action", "a&lt;b &amp; &quot;c&quot;",
                          "", ""})));
  platform::XmlDocument parsed;
  EXPECT_TRUE(parsed.loadXML(document));
}

// ---- Query answers as the host gives them ----

constexpr char kPartitionQuery[] =
    "SELECT Object_ID FROM t_object WHERE t_object.Object_Type = 'ActivityPartition' and "
    "t_object.Stereotype = 'allocateActivityPartition'";

constexpr char kNoRows[] =
    "<?xml version=\"1.0\"?><OrbaData><Dataset_0><Data/></Dataset_0></OrbaData>";

class QueryAnswerTest : public testing::Test {
 protected:
  // Answers the allocation query with `allocations` and the partition query with `partitions`.
  void Answer(const std::string& allocations, const std::string& partitions = kNoRows) {
    repository_->sql_answer = [=, this](const std::string& sql) {
      queries_.push_back(sql);
      return sql == kPartitionQuery ? partitions : allocations;
    };
  }

  TestModel model_{Model("")};
  std::shared_ptr<RecordingRepository> repository_ =
      std::make_shared<RecordingRepository>(model_.Repository());
  std::vector<std::string> queries_;
};

TEST_F(QueryAnswerTest, SendsTheAllocationQueryAndThenThePartitionQuery) {
  Answer(kNoRows);
  AllocationSearchDocument(*repository_);
  EXPECT_THAT(
      queries_,
      ElementsAre(
          "SELECT    t_connector.Connector_Type AS [CLASSTYPE], t_connector.orba_guid AS "
          "[CLASSGUID], t_object1.Stereotype AS [From_Type], t_object1.Name AS [From_Name], "
          "t_connector.Stereotype AS Relation,t_object2.Stereotype AS [To_Type], t_object2.Name AS "
          "[To_Name] FROM       t_object t_object1, t_object t_object2, t_connector where "
          "t_connector.Start_Object_ID = t_object1.Object_Id and t_connector.End_Object_ID = "
          "t_object2.Object_Id and t_connector.Stereotype='allocate' and t_object1.Stereotype is "
          "not null and t_object2.Stereotype is not null Union "
          "SELECT    t_connector.Connector_Type AS [CLASSTYPE], t_connector.orba_guid AS "
          "[CLASSGUID], t_object1.Stereotype AS [From_Type], t_object1.Name AS [From_Name], "
          "t_connector.Stereotype AS Relation, t_object2.Object_Type AS [To_Type], t_object2.Name "
          "AS [To_Name] FROM       t_object t_object1, t_object t_object2, t_connector where "
          "t_connector.Start_Object_ID = t_object1.Object_Id and t_connector.End_Object_ID = "
          "t_object2.Object_Id and t_connector.Stereotype='allocate' and t_object1.Stereotype is "
          "not null and t_object2.Stereotype is null Union "
          "SELECT    t_connector.Connector_Type AS [CLASSTYPE], t_connector.orba_guid AS "
          "[CLASSGUID], t_object1.Object_Type AS [From_Type], t_object1.Name AS [From_Name], "
          "t_connector.Stereotype AS Relation, t_object2.Stereotype AS [To_Type], t_object2.Name "
          "AS "
          "[To_Name] FROM       t_object t_object1, t_object t_object2, t_connector where "
          "t_connector.Start_Object_ID = t_object1.Object_Id and t_connector.End_Object_ID = "
          "t_object2.Object_Id and t_connector.Stereotype='allocate' and t_object1.Stereotype is "
          "null and t_object2.Stereotype is not null Union "
          "SELECT    t_connector.Connector_Type AS [CLASSTYPE], t_connector.orba_guid AS "
          "[CLASSGUID], t_object1.Object_Type AS [From_Type], t_object1.Name AS [From_Name], "
          "t_connector.Stereotype AS Relation, t_object2.Object_Type AS [To_Type], t_object2.Name "
          "AS [To_Name] FROM       t_object t_object1, t_object t_object2, t_connector where "
          "t_connector.Start_Object_ID = t_object1.Object_Id and t_connector.End_Object_ID = "
          "t_object2.Object_Id and t_connector.Stereotype='allocate' and t_object1.Stereotype is "
          "null and t_object2.Stereotype is null ",
          kPartitionQuery));
}

TEST_F(QueryAnswerTest, ColumnNamesAreRecognisedInAnyCaseAndKeptInColumnOrder) {
  Answer(
      "<?xml version=\"1.0\"?><OrbaData><Dataset_0><Data><Row>"
      "<to_name>Drive</to_name><Extra>ignored</Extra><From_Type>block</From_Type>"
      "<classguid>{G}</classguid><ClassType>Dependency</ClassType><RELATION>allocate</RELATION>"
      "<from_NAME>Car &amp; co</from_NAME><To_Type/></Row></Data></Dataset_0></OrbaData>");
  EXPECT_EQ(AllocationSearchDocument(*repository_),
            Document("<Row>" + Field("To Name", "Drive") + Field("From Type", "block") +
                     Field("CLASSGUID", "{G}") + Field("CLASSTYPE", "Dependency") +
                     Field("Relation", "allocate") + Field("From Name", "Car &amp; co") +
                     Field("To Type", "") + "</Row>"));
}

TEST_F(QueryAnswerTest, RowsComeInTheOrderOfTheAnswer) {
  Answer(
      "<?xml version=\"1.0\"?><OrbaData><Dataset_0><Data>"
      "<Row><To_Name>second</To_Name></Row><Row/><Row><To_Name>first</To_Name></Row>"
      "</Data></Dataset_0></OrbaData>");
  EXPECT_EQ(AllocationSearchDocument(*repository_),
            Document("<Row>" + Field("To Name", "second") + "</Row><Row></Row><Row>" +
                     Field("To Name", "first") + "</Row>"));
}

TEST_F(QueryAnswerTest, UnreachableRowListsGiveNoRows) {
  for (const std::string answer :
       {"", "not xml",
        "<OrbaData><Dataset_0><Data><Row><To_Name>x</To_Name></Row></Data>"
        "</Dataset_0></OrbaData>",
        "<?xml version=\"1.0\"?><OrbaData/>",
        "<?xml version=\"1.0\"?><OrbaData><Dataset_0/></OrbaData>"}) {
    SCOPED_TRACE(answer);
    Answer(answer, answer);
    EXPECT_EQ(AllocationSearchDocument(*repository_), Document(""));
  }
}

TEST_F(QueryAnswerTest, PartitionIdsAreRoundedHalfToEven) {
  Answer(kNoRows,
         "<?xml version=\"1.0\"?><OrbaData><Dataset_0><Data>"
         "<Row><Object_ID>2.5</Object_ID></Row><Row><object_id>3.5</object_id></Row>"
         "<Row><Name>no id</Name></Row><Row><OBJECT_ID>7</OBJECT_ID><Object_ID>12</Object_ID></Row>"
         "</Data></Dataset_0></OrbaData>");
  EXPECT_EQ(AllocationSearchDocument(*repository_), Document(""));
  std::vector<std::string> lookups;
  for (const std::string& call : repository_->Calls()) {
    if (call.starts_with("GetElementByID")) lookups.push_back(call);
  }
  EXPECT_THAT(lookups, ElementsAre("GetElementByID(2)", "GetElementByID(4)", "GetElementByID(0)",
                                   "GetElementByID(12)"));
}

TEST_F(QueryAnswerTest, AFailingQueryFailsTheSearch) {
  repository_->FailOn("ExecuteSqlQuery", 2);
  EXPECT_THROW(AllocationSearchDocument(*repository_), host::Error);
}

// ---- The operation the host calls ----

class AllocationSearchOperationTest : public testing::Test {
 protected:
  std::string Search(std::string s1) {
    std::string s2 = "unchanged";
    EXPECT_EQ(addin_.AllocationSearch(model_.Repository(), s1, s2).ToString(), "");
    return s2;
  }

  testing_support::TestPlatform platform_;
  addin::CTessary addin_{platform_.platform};
  TestModel model_{Model(R"({"key": "p", "package": "root", "type": "ActivityPartition",
      "name": "P", "stereotype": "allocateActivityPartition"},
      {"key": "x", "package": "root", "parent": "p", "type": "Action", "name": "X"})")};
};

TEST_F(AllocationSearchOperationTest, DeliversTheDocumentInS2WhateverTheSearchText) {
  addin_.Orba_Connect(model_.Repository());
  const std::string expected =
      Document(Row({model_.ElementGuid("x"), "Action", "Action", "X", "", ""}));
  EXPECT_EQ(Search(""), expected);
  EXPECT_EQ(Search("X"), expected);
  EXPECT_EQ(Search("<nothing & such>"), expected);
}

TEST_F(AllocationSearchOperationTest, DoesNothingWhileDisabled) {
  EXPECT_EQ(Search("X"), "unchanged");
}

}  // namespace
}  // namespace search
