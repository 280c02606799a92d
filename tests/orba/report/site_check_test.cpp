// The site checker: every page of a report parses, carries the search box
// and its scripts, and every local link (href, src, xlink:href) leads to a
// file of the site, and its #fragment to an id on that page; no link is
// absolute; every element of the model has its page and its entry in the
// search index.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <set>

#include "orba/report/reported_site.h"
#include "orba/store/model_repository.h"

namespace orba::report {
namespace {

using ::testing::IsEmpty;

constexpr char kXmiModel[] =
    TESSARY_SOURCE_ROOT "/../shared/realdata/xmi/papyrus-incose-vehicle/INCOSE.uml";
constexpr char kIndexPrefix[] = "window.orbaSearchIndex = ";

struct PageLink {
  std::filesystem::path page;
  std::string target;
};

class SiteChecker {
 public:
  explicit SiteChecker(std::filesystem::path root) : root_(std::move(root)) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root_)) {
      if (entry.path().extension() == ".html") ReadPage(entry.path());
    }
    for (const PageLink& link : links_) CheckLink(link);
  }

  const std::vector<std::string>& Problems() const { return problems_; }
  size_t Pages() const { return ids_.size(); }
  size_t Links() const { return links_.size(); }

 private:
  void ReadPage(const std::filesystem::path& page) {
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_file(page.c_str());
    if (!parsed) return Problem(page, std::string("does not parse: ") + parsed.description());
    std::set<std::string>& ids = ids_[page.lexically_normal()];
    for (const pugi::xpath_node& node : document.select_nodes("//*")) {
      for (const pugi::xml_attribute& attribute : node.node().attributes()) {
        const std::string name = attribute.name();
        if (name == "id") ids.insert(attribute.value());
        if (name == "href" || name == "src" || name == "xlink:href")
          links_.push_back({page, attribute.value()});
      }
    }
    CheckFrame(page, document);
  }

  void CheckFrame(const std::filesystem::path& page, const pugi::xml_document& document) {
    if (!document.select_node("//input[@id='search' and @type='search']"))
      Problem(page, "has no search box");
    const pugi::xpath_node results = document.select_node("//ul[@id='search-results']");
    if (!results || results.node().first_child()) Problem(page, "has no empty search results");
    std::set<std::string> scripts;
    for (const pugi::xpath_node& script : document.select_nodes("//script"))
      scripts.insert(std::filesystem::path(script.node().attribute("src").value()).filename());
    if (scripts != std::set<std::string>{"search-index.js", "site.js"})
      Problem(page, "does not load exactly search-index.js and site.js");
    if (!document.select_node("//meta[@charset='utf-8']")) Problem(page, "has no charset");
  }

  void CheckLink(const PageLink& link) {
    const std::string& target = link.target;
    if (target.empty() || target.front() == '/' || target.find(':') != std::string::npos)
      return Problem(link.page, "links to \"" + target + "\", not a relative path");
    const size_t hash = target.find('#');
    const std::filesystem::path file =
        hash == 0 ? link.page
                  : (link.page.parent_path() / target.substr(0, hash)).lexically_normal();
    if (!file.string().starts_with(root_.string()) || !std::filesystem::is_regular_file(file))
      return Problem(link.page, "links to \"" + target + "\", which is no file of the site");
    if (hash == std::string::npos) return;
    const std::string fragment = target.substr(hash + 1);
    if (!ids_[file].contains(fragment))
      Problem(link.page, "links to \"" + target + "\", whose page has no such id");
  }

  void Problem(const std::filesystem::path& page, const std::string& what) {
    problems_.push_back(page.lexically_relative(root_).string() + " " + what);
  }

  std::filesystem::path root_;
  std::map<std::filesystem::path, std::set<std::string>> ids_;
  std::vector<PageLink> links_;
  std::vector<std::string> problems_;
};

// The GUIDs of the model's elements, packages' own included.
std::vector<std::string> ElementGuids(store::ModelSession& session) {
  std::vector<std::string> guids;
  for (const store::ElementRow& row : session.SelectElements("ORDER BY Object_ID"))
    guids.push_back(row.guid);
  return guids;
}

nlohmann::json SearchIndex(const ReportedSite& site) {
  const std::string script = site.Read("search-index.js");
  EXPECT_TRUE(script.starts_with(kIndexPrefix));
  return nlohmann::json::parse(
      script.substr(sizeof kIndexPrefix - 1, script.rfind(';') - (sizeof kIndexPrefix - 1)));
}

// Every element has its page, and the index leads to each.
void ExpectEveryElementHasItsPage(const ReportedSite& site, const std::vector<std::string>& guids) {
  for (const std::string& guid : guids)
    EXPECT_TRUE(std::filesystem::is_regular_file(site.Root() / PageOfGuid(guid))) << guid;
  std::set<std::string> indexed;
  for (const nlohmann::json& entry : SearchIndex(site)) {
    indexed.insert(entry["href"].get<std::string>());
    EXPECT_TRUE(std::filesystem::is_regular_file(site.Root() / entry["href"].get<std::string>()));
  }
  EXPECT_EQ(indexed.size(), guids.size());
}

TEST(ReportSiteTest, EveryLinkOfTheExampleModelsSiteLeadsToAPageAndEveryElementHasOne) {
  const ReportedSite site(kExampleModel);
  const SiteChecker checker(site.Root());
  EXPECT_THAT(checker.Problems(), IsEmpty());
  store::ModelRepository repository;
  repository.Open(kExampleModel, store::ModelRepository::Access::kReadOnly);
  const std::vector<std::string> guids = ElementGuids(repository.Session());
  ExpectEveryElementHasItsPage(site, guids);
  // The pages: every element, the 11 diagrams, index, validation, traceability, allocations.
  EXPECT_EQ(checker.Pages(), guids.size() + 11 + 4);
  EXPECT_GT(checker.Links(), guids.size());
  EXPECT_FALSE(site.Summary().generated_views);
}

TEST(ReportSiteTest, EveryLinkOfARealXmiModelsSiteLeadsToAPageAndEveryElementHasOne) {
  const ReportedSite site(kXmiModel);
  const SiteChecker checker(site.Root());
  EXPECT_THAT(checker.Problems(), IsEmpty());
  testing_support::TempFolder folder;
  session::SessionOptions options;
  options.ui = "none";
  std::ostringstream diagnostics;
  options.diagnostics = &diagnostics;
  session::HostSession session(options);
  cli::StartSession(session, kXmiModel, store::ModelRepository::Access::kReadOnly);
  const std::vector<std::string> guids = ElementGuids(session.Repository()->Session());
  ExpectEveryElementHasItsPage(site, guids);
  EXPECT_EQ(site.Summary().element_pages, guids.size());
}

// Diagram objects link to their elements' pages from the inline drawing.
TEST(ReportSiteTest, DiagramPagesDrawTheDiagramInlineWithLinksToElementPages) {
  const ReportedSite site(kExampleModel);
  pugi::xml_document page;
  ASSERT_TRUE(page.load_string(site.Read("diagrams/1.html").c_str()));
  const pugi::xpath_node_set linked = page.select_nodes("//svg//a[@href]");
  ASSERT_FALSE(linked.empty());
  for (const pugi::xpath_node& link : linked)
    EXPECT_TRUE(std::string(link.node().attribute("href").value()).starts_with("../elements/"));
  EXPECT_EQ(site.Read("diagrams/1.html").find("<?xml"), std::string::npos);
}

}  // namespace
}  // namespace orba::report
