// elements/GUID.html: everything the model and the add-in tell of one element.
#include "orba/report/html.h"
#include "orba/report/pages.h"
#include "orba/validator/validation_output.h"

namespace orba::report {
namespace {

constexpr char kRoot[] = "../";

std::string Section(const std::string& title, const std::string& body) {
  return "<section>\n<h2>" + Escape(title) + "</h2>\n" + body + "</section>\n";
}

std::string PropertyRow(std::string_view name, const std::string& value_html) {
  return "<tr><th>" + Escape(name) + "</th><td>" + value_html + "</td></tr>\n";
}

class ElementPageWriter {
 public:
  ElementPageWriter(const SiteContent& content, const IndexedElement& element)
      : content_(content), model_(content.model), element_(element), row_(element.row) {}

  std::string Page(const std::vector<diagrams::CompartmentData>& compartments) {
    const std::string body = Properties() + TaggedValues() + Notes() + Operations() +
                             Compartments(compartments) + Relationships() + Diagrams() +
                             Violations() + Contents();
    return PageText({row_.name, kRoot, content_.model_name}, body);
  }

 private:
  std::string Linked(int32_t element_id) const { return content_.ElementLink(kRoot, element_id); }

  std::string Properties() const {
    const store::PackageRow* package = model_.Package(model_.PackageOfElement(row_.id));
    const bool is_package = package && package->element_id == row_.id;
    std::string rows = PropertyRow("Kind", Escape(row_.type)) +
                       PropertyRow("Stereotype", Escape(row_.stereotype.value_or(""))) +
                       PropertyRow("Metatype", Escape(element_.metatype));
    if (package && !is_package)
      rows += PropertyRow("Package", Link(content_.ElementHref(kRoot, package->element_id),
                                          model_.PackagePath(package->id)));
    if (is_package) rows += PropertyRow("Path", Escape(model_.PackagePath(package->id)));
    rows += PropertyRow("Owner", Linked(row_.parent_id)) +
            PropertyRow("Classifier", Linked(row_.classifier_id)) +
            PropertyRow("Property type", Linked(row_.property_type_id)) +
            PropertyRow("Abstract", row_.abstract == "1" ? "yes" : "no") +
            PropertyRow("Multiplicity", Escape(row_.multiplicity)) +
            PropertyRow("GUID", "<code>" + Escape(row_.guid) + "</code>");
    return Section("Properties",
                   "<table class=\"properties\">\n<tbody>\n" + rows + "</tbody>\n</table>\n");
  }

  std::string TaggedValues() const {
    std::string rows;
    for (const store::NamedText& tag : model_.Session().TagsOf(row_.id))
      rows += "<tr><td>" + Escape(tag.name) + "</td><td>" + Escape(tag.text) + "</td></tr>\n";
    if (rows.empty()) return Section("Tagged values", "<p>None.</p>\n");
    return Section("Tagged values", SortableTable("tags", HeadingRow({"Tag", "Value"}), rows));
  }

  std::string Notes() const {
    if (row_.notes.empty()) return "";
    return Section("Notes", "<div class=\"notes\">" + Escape(row_.notes) + "</div>\n");
  }

  std::string Operations() const {
    std::string items;
    for (const store::OperationRow& operation : model_.Session().OperationsOf(row_.id)) {
      const std::string stereotype =
          operation.stereotype ? " \xC2\xAB" + Escape(*operation.stereotype) + "\xC2\xBB" : "";
      items += "<li id=\"o" + std::to_string(operation.id) + "\">" + Escape(operation.name) +
               stereotype + "</li>\n";
    }
    return items.empty() ? "" : Section("Operations", "<ul>\n" + items + "</ul>\n");
  }

  std::string Compartments(const std::vector<diagrams::CompartmentData>& compartments) const {
    if (compartments.empty())
      return Section("Compartments", "<p>The add-in offers no compartment with rows for it.</p>\n");
    std::string body;
    for (const diagrams::CompartmentData& compartment : compartments) {
      body += "<h3>" + Escape(compartment.name) + "</h3>\n<ul>\n";
      for (const diagrams::CompartmentRow& row : compartment.rows) {
        const IndexedElement* shown = model_.ElementByGuid(row.guid);
        body += "<li>" +
                (shown ? Link(content_.ElementHref(kRoot, shown->row.id), row.text)
                       : Escape(row.text)) +
                "</li>\n";
      }
      body += "</ul>\n";
    }
    return Section("Compartments", body);
  }

  std::string Relationships() const {
    std::string rows;
    for (const store::ConnectorRow* connector : model_.ConnectorsAt(row_.id)) {
      const bool outgoing = connector->client_id == row_.id;
      const int32_t other_id = outgoing ? connector->supplier_id : connector->client_id;
      const IndexedElement* other = model_.Element(other_id);
      rows += "<tr id=\"c" + std::to_string(connector->id) + "\"><td>" +
              (outgoing ? "to \xE2\x86\x92" : "from \xE2\x86\x90") + "</td><td>" +
              Escape(connector->type) + "</td><td>" + Escape(connector->stereotype.value_or("")) +
              "</td><td>" + Linked(other_id) + "</td><td>" + Escape(other ? other->row.type : "") +
              "</td></tr>\n";
    }
    if (rows.empty()) return Section("Relationships", "<p>None.</p>\n");
    return Section("Relationships",
                   SortableTable("relationships",
                                 HeadingRow({"Direction", "Relationship", "Stereotype", "Other end",
                                             "Its kind"}),
                                 rows));
  }

  std::string Diagrams() const {
    const auto shown = content_.diagrams_of_element.find(row_.id);
    if (shown == content_.diagrams_of_element.end()) return "";
    std::string items;
    for (const size_t at : shown->second)
      items +=
          "<li>" + Link(kRoot + DiagramPagePath(at + 1), content_.diagrams[at].name) + "</li>\n";
    return Section("Diagrams", "<ul>\n" + items + "</ul>\n");
  }

  std::string Violations() const {
    const auto found = content_.violations_of_element.find(row_.id);
    if (found == content_.violations_of_element.end()) return "";
    std::string items;
    for (const size_t at : found->second) {
      const validator::Violation& violation = content_.validation.violations[at];
      items += "<li class=\"" + std::string(validator::LevelOf(violation.error_type)) + "\">" +
               Escape(validator::LevelOf(violation.error_type)) + ": " + Escape(violation.message) +
               " <span class=\"family\">(" + Escape(violation.rule) + ", " +
               store::ItemKindName(violation.item.kind) + " " + Escape(violation.item.name) +
               ")</span></li>\n";
    }
    return Section("Violations", "<ul class=\"violations\">\n" + items + "</ul>\n");
  }

  // What the element holds: a package's packages and elements, an
  // element's children.
  std::string Contents() const {
    std::vector<int32_t> held = model_.ChildrenOf(row_.id);
    const store::PackageRow* package = model_.Package(model_.PackageOfElement(row_.id));
    if (package && package->element_id == row_.id) {
      for (const int32_t inner : model_.PackagesIn(package->id))
        held.push_back(model_.Package(inner)->element_id);
      const std::vector<int32_t>& top = model_.TopElementsOf(package->id);
      held.insert(held.end(), top.begin(), top.end());
    }
    if (held.empty()) return "";
    std::string items;
    for (const int32_t element_id : held) items += "<li>" + Linked(element_id) + "</li>\n";
    return Section("Contents", "<ul>\n" + items + "</ul>\n");
  }

  const SiteContent& content_;
  const ModelIndex& model_;
  const IndexedElement& element_;
  const store::ElementRow& row_;
};

}  // namespace

std::string ElementPage(const SiteContent& content, const IndexedElement& element,
                        const std::vector<diagrams::CompartmentData>& compartments) {
  return ElementPageWriter(content, element).Page(compartments);
}

}  // namespace orba::report
