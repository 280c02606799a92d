// validation.html: the validator's findings by rule family and by package,
// each linked to the page of its item.
#include <map>

#include "orba/report/html.h"
#include "orba/report/pages.h"
#include "orba/validator/validation_output.h"

namespace orba::report {
namespace {

using FindingGroups = std::map<std::string, std::vector<size_t>>;  // heading -> violations

class ValidationPageWriter {
 public:
  explicit ValidationPageWriter(const SiteContent& content)
      : content_(content), violations_(content.validation.violations) {}

  std::string Page() {
    FindingGroups by_family, by_package;
    for (size_t at = 0; at < violations_.size(); ++at) {
      by_family[violations_[at].rule].push_back(at);
      by_package[PackageOf(at)].push_back(at);
    }
    const std::string summary = "<p>" + std::to_string(violations_.size()) + " violations of " +
                                std::to_string(content_.validation.rules.size()) + " rules on " +
                                std::to_string(content_.validation.items_checked) +
                                " items checked.</p>\n";
    return PageText({"Validation", "", content_.model_name},
                    summary + Failures() +
                        Groups("By rule family", "family", by_family,
                               {"Package", &ValidationPageWriter::PackageOf}) +
                        Groups("By package", "package", by_package,
                               {"Rule family", &ValidationPageWriter::FamilyOf}));
  }

 private:
  // The column a grouping adds: what it does not group by.
  struct OtherColumn {
    const char* heading;
    std::string (ValidationPageWriter::*text_of)(size_t at) const;
  };

  std::string FamilyOf(size_t at) const { return violations_[at].rule; }

  std::string PackageOf(size_t at) const {
    const int32_t element_id = content_.violation_places[at].element_id;
    if (element_id == 0) return "(not in a package)";
    return content_.model.PackagePath(content_.model.PackageOfElement(element_id));
  }

  std::string ItemLink(size_t at) const {
    const ItemPlace& place = content_.violation_places[at];
    std::string href = content_.ElementHref("", place.element_id);
    if (!href.empty() && !place.anchor.empty()) href += "#" + place.anchor;
    return Link(href, violations_[at].item.name);
  }

  // One table per group.
  std::string Groups(const std::string& title, const std::string& id_prefix,
                     const FindingGroups& groups, const OtherColumn& other) const {
    std::string body = "<section>\n<h2>" + Escape(title) + "</h2>\n";
    if (groups.empty()) body += "<p>No violations.</p>\n";
    size_t number = 0;
    for (const auto& [heading, findings] : groups) {
      std::string rows;
      for (const size_t at : findings) {
        const validator::Violation& violation = violations_[at];
        rows += "<tr><td>" + std::string(validator::LevelOf(violation.error_type)) + "</td><td>" +
                ItemLink(at) + "</td><td>" + store::ItemKindName(violation.item.kind) +
                "</td><td>" + Escape((this->*other.text_of)(at)) + "</td><td>" +
                Escape(violation.message) + "</td></tr>\n";
      }
      const std::string id = id_prefix + "-" + std::to_string(++number);
      body += "<h3>" + Escape(heading) + " (" + std::to_string(findings.size()) + ")</h3>\n" +
              SortableTable(
                  id, HeadingRow({"Level", "Item", "Item kind", other.heading, "Message"}), rows);
    }
    return body + "</section>\n";
  }

  std::string Failures() const {
    if (content_.validation.failures.empty()) return "";
    std::string items;
    for (const validator::Failure& failure : content_.validation.failures)
      items += "<li>" + Escape(failure.operation) + " " + Escape(failure.rule) +
               (failure.item ? " on " + Escape(failure.item->name) : "") + ": " +
               Escape(failure.error) + "</li>\n";
    return "<section>\n<h2>Add-in calls that failed</h2>\n<ul>\n" + items + "</ul>\n</section>\n";
  }

  const SiteContent& content_;
  const std::vector<validator::Violation>& violations_;
};

}  // namespace

std::string ValidationPage(const SiteContent& content) {
  return ValidationPageWriter(content).Page();
}

}  // namespace orba::report
