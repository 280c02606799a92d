// index.html, the diagram pages and search-index.js: the ways into the site.
#include <map>
#include <nlohmann/json.hpp>

#include "orba/report/html.h"
#include "orba/report/pages.h"

namespace orba::report {
namespace {

// Elements counted by one of their texts, in the text's order.
std::string CountTable(const std::string& id, const std::string& heading,
                       const std::map<std::string, size_t>& counts) {
  std::string rows;
  for (const auto& [text, count] : counts)
    rows += "<tr><td>" + Escape(text.empty() ? "(none)" : text) + "</td><td>" +
            std::to_string(count) + "</td></tr>\n";
  return SortableTable(id, HeadingRow({heading, "Elements"}), rows);
}

std::string Summary(const SiteContent& content) {
  std::map<std::string, size_t> kinds, metatypes;
  for (const IndexedElement& element : content.model.Elements()) {
    ++kinds[element.row.type];
    ++metatypes[element.metatype];
  }
  const TraceabilityMatrix& trace = content.traceability;
  return "<section>\n<h2>Summary</h2>\n<ul>\n<li>" +
         std::to_string(content.model.Elements().size()) + " elements, " +
         std::to_string(content.model.Connectors().size()) + " relationships, " +
         std::to_string(content.diagrams.size()) +
         (content.generated_views ? " views drawn for the model" : " diagrams") + "</li>\n<li>" +
         Link("validation.html",
              std::to_string(content.validation.violations.size()) + " violations") +
         "</li>\n<li>" +
         Link("traceability.html", std::to_string(trace.rows.size()) + " requirements") + ": " +
         Percent(trace.satisfied, trace.rows.size()) + " satisfied, " +
         Percent(trace.verified, trace.rows.size()) + " verified</li>\n<li>" +
         Link("allocations.html", std::to_string(content.allocations.size()) + " allocations") +
         "</li>\n</ul>\n<h3>Elements by kind</h3>\n" + CountTable("kinds", "Kind", kinds) +
         "<h3>Elements by metatype</h3>\n" + CountTable("metatypes", "Metatype", metatypes) +
         "</section>\n";
}

class TreeWriter {
 public:
  explicit TreeWriter(const SiteContent& content) : content_(content) {}

  std::string Tree() {
    WritePackages(0);
    return "<section>\n<h2>Packages</h2>\n" + tree_ + "</section>\n";
  }

 private:
  void WritePackages(int32_t parent_id) {
    const std::vector<int32_t>& packages = content_.model.PackagesIn(parent_id);
    if (packages.empty()) return;
    tree_ += "<ul class=\"tree\">\n";
    for (const int32_t package_id : packages) {
      const store::PackageRow& package = *content_.model.Package(package_id);
      const std::string href = content_.ElementHref("", package.element_id);
      tree_ += "<li class=\"package\">" + Link(href, package.name) + "\n";
      WritePackages(package_id);
      WriteElements(content_.model.TopElementsOf(package_id));
      tree_ += "</li>\n";
    }
    tree_ += "</ul>\n";
  }

  void WriteElements(const std::vector<int32_t>& elements) {
    if (elements.empty()) return;
    tree_ += "<ul>\n";
    for (const int32_t element_id : elements) {
      tree_ += "<li>" + content_.ElementLink("", element_id);
      WriteElements(content_.model.ChildrenOf(element_id));
      tree_ += "</li>\n";
    }
    tree_ += "</ul>\n";
  }

  const SiteContent& content_;
  std::string tree_;
};

std::string DiagramList(const SiteContent& content) {
  std::string list = "<section>\n<h2>Diagrams</h2>\n";
  if (content.generated_views)
    list += "<p>The model has no diagrams; these views are drawn from it.</p>\n";
  list += "<ul>\n";
  for (size_t at = 0; at < content.diagrams.size(); ++at)
    list += "<li>" + Link(DiagramPagePath(at + 1), content.diagrams[at].name) + "</li>\n";
  return list + "</ul>\n</section>\n";
}

}  // namespace

std::string IndexPage(const SiteContent& content) {
  return PageText({content.model_name, "", content.model_name},
                  Summary(content) + TreeWriter(content).Tree() + DiagramList(content));
}

std::string DiagramPage(const SiteContent& content, size_t index) {
  const SiteDiagram& diagram = content.diagrams[index];
  std::string shown;
  for (const int32_t element_id : diagram.element_ids)
    shown += "<li>" + content.ElementLink("../", element_id) + "</li>\n";
  const std::string origin =
      content.generated_views ? " (drawn from the model, which has no diagrams)" : "";
  return PageText({diagram.name, "../", content.model_name},
                  "<p>" + Escape(diagram.type) + origin + "</p>\n<div class=\"diagram\">\n" +
                      diagram.svg + "</div>\n<section>\n<h2>Shown</h2>\n<ul>\n" + shown +
                      "</ul>\n</section>\n");
}

std::string SearchIndexScript(const SiteContent& content) {
  nlohmann::ordered_json entries = nlohmann::ordered_json::array();
  for (const IndexedElement& element : content.model.Elements()) {
    entries.push_back({{"name", element.row.name},
                       {"kind", element.metatype.empty() ? element.row.type : element.metatype},
                       {"href", content.ElementHref("", element.row.id)}});
  }
  std::string json = entries.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  std::string script = "window.orbaSearchIndex = ";
  script.reserve(json.size() + 32);
  // "<" stands only inside strings in JSON, where \u003c means the same.
  for (const char c : json) script += c == '<' ? std::string("\\u003c") : std::string(1, c);
  return script + ";\n";
}

}  // namespace orba::report
