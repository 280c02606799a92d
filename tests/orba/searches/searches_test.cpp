#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "automation/dispatch.h"
#include "orba/searches/requirements_search.h"
#include "orba/searches/search_runner.h"
#include "orba/searches/search_table.h"

namespace orba::searches {
namespace {

using automation::Variant;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// An add-in with one search operation, Find(Repository, term, result): it
// answers a one-row table holding the term, or what it is told to ("fail": it fails).
class SearchAddin : public automation::DispatchObject {
 public:
  SearchAddin() {
    AddMethod("Find", 3, [this](std::span<Variant> args) {
      received_repository = args[0].As<host::Repository>();
      if (answer == "fail") throw host::Error("the index is damaged");
      args[2] = answer.empty()
                    ? "<ReportViewData><Fields><Field name=\"Term\"/></Fields><Rows><Row>"
                      "<Field name=\"Term\" value=\"" +
                          args[1].ToString() + "\" /></Row></Rows></ReportViewData>"
                    : answer;
      return Variant(std::string());
    });
  }
  std::string answer;
  host::RepositoryPtr received_repository;
};

std::string SearchDocument(const std::string& custom, const std::string& addin_and_method) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<RootSearch><Search Name=\"Finder\" "
         "GUID=\"{1}\" PkgGUID=\"-1\" Type=\"0\" LnksToObj=\"0\" CustomSearch=\"" +
         custom + "\" AddinAndMethodName=\"" + addin_and_method +
         "\"><SrchOn/><LnksTo/></Search></RootSearch>\r\n";
}

class SearchRunnerTest : public ::testing::Test {
 protected:
  SearchRunnerTest() { repository_->CreateInMemoryModel(); }

  SearchResult Run(const std::string& name, const std::string& term = "") {
    return RunSearch(repository_, lookup_, name, term);
  }
  void ExpectRefused(const std::string& name, const std::string& problem) {
    EXPECT_THAT([&] { Run(name); }, ::testing::ThrowsMessage<SearchError>(HasSubstr(problem)));
  }

  store::ModelRepositoryPtr repository_ = std::make_shared<store::ModelRepository>();
  std::shared_ptr<SearchAddin> addin_ = std::make_shared<SearchAddin>();
  AddinLookup lookup_ = [this](const std::string& name) -> automation::ObjectPtr {
    return name == "Test" ? addin_ : nullptr;
  };
};

// The add-in's table reaching `orba search` is in tests/orba/cli (search.txt).
TEST_F(SearchRunnerTest, ACustomSearchCallsTheAddinWithTheTermOrIsRefusedNamingTheProblem) {
  EXPECT_THAT(AvailableSearches(*repository_), ElementsAre(kRequirementsSearch));
  repository_->RegisterSearches(SearchDocument("1", "Test.Find"));
  EXPECT_THAT(AvailableSearches(*repository_), ElementsAre(kRequirementsSearch, "Finder"));
  EXPECT_EQ(ValueOf(Run("Finder", "wheel").table.rows.at(0), "Term"), "wheel");
  EXPECT_EQ(addin_->received_repository, repository_);
  addin_->answer = "<ReportViewData ><Fields/><Rows/></ReportViewData>\n";
  EXPECT_EQ(Run("Finder").document, addin_->answer) << "kept exactly as answered";
  const struct {
    const char* custom;
    const char* addin_and_method;
    const char* answer;
    const char* problem;
  } refused[] = {
      {"0", "Test.Find", "", "\"Finder\" is not answered by an add-in"},
      {"1", "Other.Find", "", "add-in Other is not loaded"},
      {"1", "TestFind", "", "\"TestFind\" is not ADDIN.OPERATION"},
      {"1", "Test.", "", "\"Test.\" is not ADDIN.OPERATION"},
      {"1", "Test.Lose", "", "add-in Test: Lose failed"},
      {"1", "Test.Find", "rows: none", "not well-formed XML"},
      {"1", "Test.Find", "fail", "add-in Test: Find failed: the index is damaged"},
  };
  for (const auto& each : refused) {
    repository_->RegisterSearches(SearchDocument(each.custom, each.addin_and_method));
    addin_->answer = each.answer;
    ExpectRefused("Finder", each.problem);
  }
  ExpectRefused("Finders", "no search named \"Finders\"; available: \"Requirements\", \"Finder\"");
}

// The layout the allocation search writes: declarations without a space
// before "/>", row fields with one, fields of a row in column order; each
// row is read in its own order and written back unchanged.
TEST(ReportViewDataTest, IsReadAndWrittenInTheLayoutAddinsWriteOrRefusedNamingTheProblem) {
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
  // A document that is no report table is refused naming the problem.
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
