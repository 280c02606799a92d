#include "search/allocation_search.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/scripted_host.h"
#include "support/test_model.h"

namespace search {
namespace {

using testing_support::ScriptedHost;
using testing_support::TestModel;

std::string Document(const std::string& rows) {
  return "<ReportViewData><Fields><Field name=\"CLASSGUID\"/><Field name=\"CLASSTYPE\"/>"
         "<Field name=\"From Type\"/><Field name=\"From Name\"/><Field name=\"Relation\"/>"
         "<Field name=\"To Type\"/><Field name=\"To Name\"/></Fields><Rows>" +
         rows + "</Rows></ReportViewData>";
}

// A row field as the result document writes it; `value` is given already escaped.
std::string Field(const std::string& name, const std::string& value) {
  return "<Field name=\"" + name + "\" value=\"" + value + "\" />";
}

// A result row: an allocate dependency's (type "Dependency") in the query's
// column order, a partition element's with its GUID first.
std::string Row(const std::string& guid, const std::string& type, const std::string& from_type,
                const std::string& from_name, const std::string& to_type,
                const std::string& to_name) {
  const std::string id = type == "Dependency" ? Field("CLASSTYPE", type) + Field("CLASSGUID", guid)
                                              : Field("CLASSGUID", guid) + Field("CLASSTYPE", type);
  return "<Row>" + id + Field("From Type", from_type) + Field("From Name", from_name) +
         Field("Relation", "allocate") + Field("To Type", to_type) + Field("To Name", to_name) +
         "</Row>";
}

// An allocate dependency gives a row with each end's stereotype, or its type
// when it has none. Each element of a partition stereotyped
// allocateActivityPartition gives a row: the element (named with its
// classifier) allocated to the partition's classifier. Other partitions and
// dependencies give none; values escape "&", "<" and quotes.
TEST(AllocationSearchTest, EachAllocateDependencyAndElementOfAnAllocatingPartitionGivesARow) {
  const TestModel model(
      R"({"packages": [{"key": "root", "name": "Model"}], "elements": [
         {"key": "fish", "package": "root", "type": "Class", "name": "Fish & \"Chips\" <x> 'y'",
          "stereotype": "block"},
         {"key": "b", "package": "root", "type": "Activity", "name": "B", "stereotype": "activity"},
         {"key": "engine", "package": "root", "type": "Class", "name": "Engine", "metatype": "Block"},
         {"key": "drive", "package": "root", "type": "Activity", "name": "Drive"},
         {"key": "wheel", "package": "root", "type": "Class", "name": "Wheel"},
         {"key": "p", "package": "root", "type": "ActivityPartition", "name": "P",
          "stereotype": "allocateActivityPartition", "classifier": "engine"},
         {"key": "start", "package": "root", "parent": "p", "type": "Action", "name": "start"},
         {"key": "run", "package": "root", "parent": "p", "type": "Action", "name": "run",
          "stereotype": "callBehavior"},
         {"key": "front", "package": "root", "parent": "p", "type": "Part", "name": "front",
          "classifier": "wheel"},
         {"key": "bare", "package": "root", "type": "ActivityPartition", "name": "Q",
          "stereotype": "allocateActivityPartition"},
         {"key": "idle", "package": "root", "parent": "bare", "type": "Action", "name": "a<b & \"c\""},
         {"key": "empty", "package": "root", "type": "ActivityPartition", "name": "R",
          "stereotype": "allocateActivityPartition", "classifier": "engine"},
         {"key": "other", "package": "root", "type": "ActivityPartition", "name": "S",
          "stereotype": "partition", "classifier": "engine"},
         {"key": "x", "package": "root", "parent": "other", "type": "Action", "name": "X"}],
         "connectors": [
         {"key": "both", "guid": "{A}", "type": "Dependency", "stereotype": "allocate",
          "client": "fish", "supplier": "b"},
         {"key": "from", "guid": "{B}", "type": "Dependency", "stereotype": "allocate",
          "client": "fish", "supplier": "drive"},
         {"key": "to", "guid": "{C}", "type": "Dependency", "stereotype": "allocate",
          "client": "engine", "supplier": "b"},
         {"key": "neither", "guid": "{D}", "type": "Dependency", "stereotype": "allocate",
          "client": "engine", "supplier": "drive"},
         {"key": "t", "type": "Dependency", "stereotype": "trace",
          "client": "engine", "supplier": "wheel"},
         {"key": "c", "type": "Dependency", "stereotype": "Allocate",
          "client": "engine", "supplier": "wheel"}]})");
  const auto guid = [&](const char* key) { return model.ElementGuid(key); };
  const std::string fish = "Fish &amp; &quot;Chips&quot; &lt;x> 'y'";
  // Rows of the dependencies come in the order of their GUIDs.
  const std::string dependency_rows =
      Row("{A}", "Dependency", "block", fish, "activity", "B") +
      Row("{B}", "Dependency", "block", fish, "Activity", "Drive") +
      Row("{C}", "Dependency", "Class", "Engine", "activity", "B") +
      Row("{D}", "Dependency", "Class", "Engine", "Activity", "Drive");
  const std::string idle = "a&lt;b &amp; &quot;c&quot;";
  EXPECT_EQ(AllocationSearchDocument(*model.Repository()),
            Document(dependency_rows +
                     Row(guid("start"), "Action", "Action", "start", "Block", "Engine") +
                     Row(guid("run"), "Action", "callBehavior", "run", "Block", "Engine") +
                     Row(guid("front"), "Part", "Part", "front:Wheel", "Block", "Engine") +
                     Row(guid("idle"), "Action", "Action", idle, "", "")));
  // A classifier the host cannot find leaves its name out, and the partition's its target.
  ScriptedHost host(model.Repository());
  host.Plan().HideElement(model.ElementId("engine"));
  host.Plan().HideElement(model.ElementId("wheel"));
  EXPECT_EQ(AllocationSearchDocument(host),
            Document(dependency_rows + Row(guid("start"), "Action", "Action", "start", "", "") +
                     Row(guid("run"), "Action", "callBehavior", "run", "", "") +
                     Row(guid("front"), "Part", "Part", "front", "", "") +
                     Row(guid("idle"), "Action", "Action", idle, "", "")));
  host.Plan().ClearCalls();
  host.Plan().FailOn("Element.Elements");
  EXPECT_THROW(AllocationSearchDocument(host), host::Error);
}

// ---- Query answers as the host gives them ----

constexpr char kNoRows[] =
    "<?xml version=\"1.0\"?><OrbaData><Dataset_0><Data/></Dataset_0></OrbaData>";

std::string Rows(const std::string& rows) {
  return "<?xml version=\"1.0\"?><OrbaData><Dataset_0><Data>" + rows +
         "</Data></Dataset_0></OrbaData>";
}

// Column names in any case, kept in column order; rows in the order of the
// answer. (A failing query fails the search: tests/addin/cases/failures.txt.)
TEST(QueryAnswerTest, RowsAndColumnsAreKeptAsTheAnswerGivesThemAndPartitionIdsRoundHalfToEven) {
  const TestModel model(testing_support::kEmptyModel);
  ScriptedHost host(model.Repository());
  // Answers the allocation query with `allocations` and the partition query with `partitions`.
  const auto answer = [&](const std::string& allocations, const std::string& partitions) {
    host.Plan().Answer("Repository.ExecuteSqlQuery", [=](const std::vector<std::string>& sql) {
      return sql[0].find("'allocateActivityPartition'") == std::string::npos ? allocations
                                                                             : partitions;
    });
  };
  answer(Rows("<Row><to_name>Drive</to_name><Extra>ignored</Extra><From_Type>block</From_Type>"
              "<classguid>{G}</classguid><ClassType>Dependency</ClassType><RELATION>allocate"
              "</RELATION><from_NAME>Car &amp; co</from_NAME><To_Type/></Row><Row/>"
              "<Row><To_Name>last</To_Name></Row>"),
         kNoRows);
  EXPECT_EQ(AllocationSearchDocument(host),
            Document("<Row>" + Field("To Name", "Drive") + Field("From Type", "block") +
                     Field("CLASSGUID", "{G}") + Field("CLASSTYPE", "Dependency") +
                     Field("Relation", "allocate") + Field("From Name", "Car &amp; co") +
                     Field("To Type", "") + "</Row><Row></Row><Row>" + Field("To Name", "last") +
                     "</Row>"));
  EXPECT_EQ(host.Plan().CountOf("Repository.ExecuteSqlQuery"), 2);
  // Row lists that cannot be reached give no rows.
  for (const std::string unreachable :
       {"", "not xml",
        "<OrbaData><Dataset_0><Data><Row><To_Name>x</To_Name></Row></Data></Dataset_0></OrbaData>",
        "<?xml version=\"1.0\"?><OrbaData/>",
        "<?xml version=\"1.0\"?><OrbaData><Dataset_0/></OrbaData>"}) {
    answer(unreachable, unreachable);
    EXPECT_EQ(AllocationSearchDocument(host), Document("")) << unreachable;
  }
  host.Plan().ClearCalls();
  answer(kNoRows, Rows("<Row><Object_ID>2.5</Object_ID></Row><Row><object_id>3.5</object_id>"
                       "</Row><Row><Name>no id</Name></Row><Row><OBJECT_ID>7</OBJECT_ID>"
                       "<Object_ID>12</Object_ID></Row>"));
  EXPECT_EQ(AllocationSearchDocument(host), Document(""));
  std::vector<std::string> lookups;
  for (const std::string& call : host.Plan().CallsWithArguments()) {
    if (call.starts_with("Repository.GetElementByID")) lookups.push_back(call);
  }
  EXPECT_THAT(lookups, testing::ElementsAre(
                           "Repository.GetElementByID(2)", "Repository.GetElementByID(4)",
                           "Repository.GetElementByID(0)", "Repository.GetElementByID(12)"));
}

}  // namespace
}  // namespace search
