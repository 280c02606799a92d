// Model text is text on every page: names that look like markup, quotes and
// ampersands reach the pages and the search index only escaped, and read
// back as the same text.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>

#include "orba/report/html.h"
#include "orba/report/reported_site.h"

namespace orba::report {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr char kScriptName[] = "<script>alert(1)</script>";
constexpr char kQuotedName[] = "Tom's \"fast\" car & <b>co</b>";
constexpr char kEndOfScript[] = "</script><img src=x>";

// A requirement satisfied by a block, both with hostile names and notes, and
// a tag whose value closes an attribute.
constexpr char kHostileModel[] = R"json({"packages": [{"key": "root", "name": "<i>Model</i>"}],
  "elements": [
    {"key": "r", "package": "root", "type": "Requirement", "name": "<script>alert(1)</script>",
     "metatype": "Requirement", "guid": "{11111111-2222-3333-4444-555555555555}",
     "notes": "</script><img src=x>",
     "tags": [{"name": "Id", "value": "\" onmouseover=\"alert(2)"}]},
    {"key": "b", "package": "root", "type": "Class", "name": "Tom's \"fast\" car & <b>co</b>",
     "stereotype": "block", "metatype": "Block"},
    {"key": "t", "package": "root", "type": "Class", "name": "</script><img src=x>"}],
  "connectors": [{"key": "s", "type": "Realisation", "stereotype": "satisfy", "client": "b",
                  "supplier": "r"}]})json";

class HostileNamesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::filesystem::path model = folder_->path() / "hostile.json";
    std::ofstream(model) << kHostileModel;
    site_ = new ReportedSite(model.string());
  }
  static void TearDownTestSuite() {
    delete site_;
    delete folder_;
  }

  static std::vector<std::filesystem::path> Pages() {
    std::vector<std::filesystem::path> pages;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(site_->Root()))
      if (entry.path().extension() == ".html") pages.push_back(entry.path());
    return pages;
  }

  static inline testing_support::TempFolder* folder_ = new testing_support::TempFolder;
  static inline ReportedSite* site_ = nullptr;
};

TEST_F(HostileNamesTest, NoPageHoldsAModelTextAsMarkup) {
  for (const std::filesystem::path& page : Pages()) {
    const std::string text = testing_support::FileBytes(page);
    EXPECT_THAT(text, Not(HasSubstr("<script>alert"))) << page;
    EXPECT_THAT(text, Not(HasSubstr("<img"))) << page;
    EXPECT_THAT(text, Not(HasSubstr("<b>co"))) << page;
    EXPECT_THAT(text, Not(HasSubstr("<i>Model"))) << page;
    EXPECT_THAT(text, Not(HasSubstr("\" onmouseover"))) << page;
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(text.c_str())) << page;
    EXPECT_EQ(document.select_nodes("//script").size(), 2u) << page;
    EXPECT_TRUE(document.select_nodes("//script[not(@src)]").empty()) << page;
  }
}

// The element pages read back as the names, unchanged: escaped, not mangled.
TEST_F(HostileNamesTest, PagesReadBackAsTheModelsText) {
  pugi::xml_document page;
  ASSERT_TRUE(
      page.load_string(site_->Read(PageOfGuid("{11111111-2222-3333-4444-555555555555}")).c_str()));
  EXPECT_STREQ(page.select_node("//h1").node().text().get(), kScriptName);
  EXPECT_STREQ(page.select_node("//div[@class='notes']").node().text().get(), kEndOfScript);
  EXPECT_STREQ(page.select_node("//title").node().text().get(),
               (std::string(kScriptName) + " \xE2\x80\x94 <i>Model</i>").c_str());
  EXPECT_TRUE(page.select_node("//td[text()='\" onmouseover=\"alert(2)']"));
  const pugi::xpath_node satisfier = page.select_node("//tr[starts-with(@id, 'c')]/td[4]/a");
  EXPECT_STREQ(satisfier.node().text().get(), kQuotedName);
}

// A control character that no page may hold (a model edited outside the
// host may have one) reads as U+FFFD; TAB, LF and CR stay.
TEST(EscapeTest, ControlCharactersBecomeReplacementCharacters) {
  EXPECT_EQ(Escape("bell\x07\x7F\tx\r\n"), "bell\xEF\xBF\xBD\xEF\xBF\xBD\tx\r\n");
}

// The search index is JavaScript that no name can end: no "</" at all, and
// the names back as they are once the script's JSON is read.
TEST_F(HostileNamesTest, TheSearchIndexHoldsNamesOnlyEscaped) {
  const std::string script = site_->Read("search-index.js");
  EXPECT_THAT(script, Not(HasSubstr("</")));
  EXPECT_THAT(script, Not(HasSubstr("<")));
  const size_t start = script.find('[');
  const nlohmann::json index =
      nlohmann::json::parse(script.substr(start, script.rfind(']') - start + 1));
  std::vector<std::string> names;
  for (const nlohmann::json& entry : index) names.push_back(entry["name"]);
  EXPECT_THAT(names, ::testing::IsSupersetOf({std::string(kScriptName), std::string(kQuotedName),
                                              std::string(kEndOfScript)}));
}

}  // namespace
}  // namespace orba::report
