#include "orba/searches/search_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "automation/dispatch.h"
#include "orba/searches/requirements_search.h"

namespace orba::searches {
namespace {

using automation::Variant;
using namespace std::string_literals;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// An add-in with one search operation, Find(Repository, term, result): it
// answers a one-row table holding the term, or fails when told to.
class SearchAddin : public automation::DispatchObject {
 public:
  SearchAddin() {
    AddMethod("Find", 3, [this](std::span<Variant> args) {
      received_repository = args[0].As<host::Repository>();
      if (fail) throw host::Error("the index is damaged");
      args[2] = answer.empty()
                    ? "<ReportViewData><Fields><Field name=\"Term\"/></Fields><Rows><Row>"
                      "<Field name=\"Term\" value=\"" +
                          args[1].ToString() + "\" /></Row></Rows></ReportViewData>"
                    : answer;
      return Variant(std::string());
    });
  }
  bool fail = false;
  std::string answer;  // what Find writes instead of its table, when set
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
    try {
      Run(name);
      FAIL() << "search " << name << " ran";
    } catch (const SearchError& error) {
      EXPECT_THAT(error.what(), HasSubstr(problem));
    }
  }

  store::ModelRepositoryPtr repository_ = std::make_shared<store::ModelRepository>();
  std::shared_ptr<SearchAddin> addin_ = std::make_shared<SearchAddin>();
  AddinLookup lookup_ = [this](const std::string& name) -> automation::ObjectPtr {
    return name == "Test" ? addin_ : nullptr;
  };
};

TEST_F(SearchRunnerTest, TheHostsOwnRequirementsSearchIsAlwaysThere) {
  EXPECT_THAT(AvailableSearches(*repository_), ElementsAre(kRequirementsSearch));
  const SearchResult result = Run(kRequirementsSearch);
  EXPECT_EQ(result.name, kRequirementsSearch);
  EXPECT_EQ(result.table.fields.front(), "CLASSGUID");
  EXPECT_EQ(result.document, WriteReportViewData(result.table));
}

TEST_F(SearchRunnerTest, ACustomSearchCallsTheAddinsOperationWithTheRepositoryAndTheTerm) {
  repository_->RegisterSearches(SearchDocument("1", "Test.Find"));
  EXPECT_THAT(AvailableSearches(*repository_), ElementsAre(kRequirementsSearch, "Finder"));
  const SearchResult result = Run("Finder", "wheel");
  EXPECT_EQ(addin_->received_repository, repository_);
  EXPECT_EQ(result.name, "Finder");
  EXPECT_THAT(result.table.fields, ElementsAre("Term"));
  ASSERT_EQ(result.table.rows.size(), 1u);
  EXPECT_EQ(ValueOf(result.table.rows[0], "Term"), "wheel");
  addin_->answer = "<ReportViewData ><Fields/><Rows/></ReportViewData>\n";
  EXPECT_EQ(Run("Finder").document, addin_->answer) << "kept exactly as answered";
}

// A name the model should never have held, raw or as a reference, costs its
// own value only; the document becomes XML 1.0.
TEST_F(SearchRunnerTest, CharactersXmlForbidsInTheAnswerBecomeReplacementCharacters) {
  repository_->RegisterSearches(SearchDocument("1", "Test.Find"));
  addin_->answer =
      "<ReportViewData><Fields><Field name=\"N\"/></Fields><Rows>"
      "<Row><Field name=\"N\" value=\"a\0b\" /></Row>"
      "<Row><Field name=\"N\" value=\"ok\" /></Row>"
      "<Row><Field name=\"N\" value=\"\x1B]0;&#x7;\" /></Row>"
      "</Rows></ReportViewData>"s;
  const SearchResult result = Run("Finder");
  std::vector<std::string> values;
  for (const SearchRow& row : result.table.rows) values.push_back(ValueOf(row, "N"));
  EXPECT_THAT(values, ElementsAre("a\uFFFDb", "ok", "\uFFFD]0;\uFFFD"));
  EXPECT_THAT(result.document, HasSubstr("value=\"a\uFFFDb\""));
  EXPECT_THAT(result.document, HasSubstr("value=\"\uFFFD]0;\uFFFD\""));
}

TEST_F(SearchRunnerTest, AFailingOperationOrAnAnswerThatIsNoReportTableIsRefused) {
  repository_->RegisterSearches(SearchDocument("1", "Test.Find"));
  addin_->answer = "rows: none";
  ExpectRefused("Finder", "not well-formed XML");
  addin_->fail = true;
  ExpectRefused("Finder", "add-in Test: Find failed: the index is damaged");
}

struct BadSearch {
  const char* custom;
  const char* addin_and_method;
  const char* problem;
  friend void PrintTo(const BadSearch& bad, std::ostream* out) { *out << bad.addin_and_method; }
};

class BadSearchDefinitionTest : public SearchRunnerTest,
                                public ::testing::WithParamInterface<BadSearch> {};

TEST_P(BadSearchDefinitionTest, IsRefusedNamingTheSearch) {
  repository_->RegisterSearches(SearchDocument(GetParam().custom, GetParam().addin_and_method));
  ExpectRefused("Finder", GetParam().problem);
}

INSTANTIATE_TEST_SUITE_P(
    Definitions, BadSearchDefinitionTest,
    ::testing::Values(BadSearch{"0", "Test.Find", "\"Finder\" is not answered by an add-in"},
                      BadSearch{"1", "Other.Find", "add-in Other is not loaded"},
                      BadSearch{"1", "TestFind", "\"TestFind\" is not ADDIN.OPERATION"},
                      BadSearch{"1", "Test.", "\"Test.\" is not ADDIN.OPERATION"},
                      BadSearch{"1", "Test.Lose", "add-in Test: Lose failed"}));

TEST_F(SearchRunnerTest, AnUnknownNameIsRefusedListingTheSearchesThereAre) {
  repository_->RegisterSearches(SearchDocument("1", "Test.Find"));
  ExpectRefused("Finders", "no search named \"Finders\"; available: \"Requirements\", \"Finder\"");
}

}  // namespace
}  // namespace orba::searches
