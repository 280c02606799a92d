// traceability.html and allocations.html: the two matrices as pages.
#include "orba/report/html.h"
#include "orba/report/pages.h"

namespace orba::report {
namespace {

constexpr char kRightArrow[] = "\xE2\x86\x92 ";
constexpr char kLeftArrow[] = "\xE2\x86\x90 ";

constexpr char kTraceabilityDefinitions[] =
    "<p>A requirement is an element whose metatype is one of the seven requirement kinds "
    "(Requirement, DesignRequirement, ExtendedRequirement, FunctionalRequirement, "
    "InterfaceRequirement, PerformanceRequirement, PhysicalRequirement). It is satisfied when "
    "it is the supplier of at least one satisfy relationship, and verified when it is the "
    "supplier of at least one verify relationship. A cell lists the elements at the other end: "
    "\xE2\x86\x92 where the requirement is the client (requirement \xE2\x86\x92 element), "
    "\xE2\x86\x90 where it is the supplier (element \xE2\x86\x92 requirement).</p>\n";

std::string Cell(const SiteContent& content, const std::vector<TraceEnd>& ends) {
  std::string cell;
  for (const TraceEnd& end : ends) {
    if (!cell.empty()) cell += "<br/>";
    cell += (end.requirement_is_client ? kRightArrow : kLeftArrow) +
            content.ElementLink("", end.element_id);
  }
  return "<td>" + cell + "</td>";
}

std::string MatrixRows(const SiteContent& content) {
  std::string rows;
  for (const RequirementTrace& trace : content.traceability.rows) {
    const IndexedElement& requirement = *content.model.Element(trace.requirement_id);
    rows += "<tr data-guid=\"" + Escape(requirement.row.guid) + "\"><td>" +
            content.ElementLink("", trace.requirement_id) + "</td><td>" +
            Escape(requirement.metatype) + "</td>";
    for (const std::vector<TraceEnd>& cell : trace.cells) rows += Cell(content, cell);
    rows += "</tr>\n";
  }
  return rows;
}

std::string MatrixHead() {
  std::string head = "<tr><th>Requirement</th><th>Kind</th>";
  for (const TraceRelation& relation : TraceRelations())
    head += "<th>" + Escape(relation.column) + "</th>";
  return head + "</tr>";
}

std::string Coverage(const TraceabilityMatrix& matrix) {
  const size_t total = matrix.rows.size();
  return "<p class=\"coverage\">Satisfied: <span id=\"satisfied-percent\">" +
         Percent(matrix.satisfied, total) + "</span> (" + std::to_string(matrix.satisfied) +
         " of " + std::to_string(total) +
         " requirements). Verified: <span id=\"verified-percent\">" +
         Percent(matrix.verified, total) + "</span> (" + std::to_string(matrix.verified) + " of " +
         std::to_string(total) + " requirements).</p>\n";
}

// The requirements for which `covered` is false, as a list with `id`.
std::string Uncovered(const SiteContent& content, const std::string& id, const std::string& title,
                      bool RequirementTrace::*covered) {
  std::string items;
  for (const RequirementTrace& trace : content.traceability.rows) {
    if (!(trace.*covered))
      items += "<li>" + content.ElementLink("", trace.requirement_id) + "</li>\n";
  }
  return "<section>\n<h2>" + Escape(title) + "</h2>\n<ul id=\"" + id + "\">\n" + items +
         "</ul>\n</section>\n";
}

// An end of an allocation, linked when the model has it; `label`: its
// type shown too.
std::string EndLink(const SiteContent& content, const AllocationEnd& end, bool label = false) {
  return Link(content.ElementHref("", end.element_id), label ? LabelOf(end) : end.name);
}

std::string AllocationRows(const SiteContent& content) {
  std::string rows;
  for (const Allocation& allocation : content.allocations) {
    rows += "<tr><td>" + Escape(allocation.connector_type) + "</td><td>" +
            Escape(allocation.from.type) + "</td><td>" + EndLink(content, allocation.from) +
            "</td><td>" + Escape(allocation.relation) + "</td><td>" + Escape(allocation.to.type) +
            "</td><td>" + EndLink(content, allocation.to) + "</td></tr>\n";
  }
  return rows;
}

std::string AllocationMatrixTable(const SiteContent& content) {
  const AllocationMatrix matrix = MatrixOf(content.allocations);
  std::string head = "<tr><th>From \xE2\x86\x93 / to \xE2\x86\x92</th>";
  for (const AllocationEnd& to : matrix.to) head += "<th>" + EndLink(content, to, true) + "</th>";
  head += "</tr>";
  std::string rows;
  for (size_t row = 0; row < matrix.from.size(); ++row) {
    rows += "<tr><th scope=\"row\">" + EndLink(content, matrix.from[row], true) + "</th>";
    for (size_t column = 0; column < matrix.to.size(); ++column) {
      const auto count = matrix.counts.find({row, column});
      rows +=
          "<td>" + (count == matrix.counts.end() ? "" : std::to_string(count->second)) + "</td>";
    }
    rows += "</tr>\n";
  }
  return SortableTable("allocation-matrix", head, rows);
}

}  // namespace

std::string TraceabilityPage(const SiteContent& content) {
  return PageText(
      {"Requirements traceability", "", content.model_name},
      kTraceabilityDefinitions + Coverage(content.traceability) +
          SortableTable("traceability-matrix", MatrixHead(), MatrixRows(content)) +
          Uncovered(content, "unsatisfied", "Unsatisfied requirements",
                    &RequirementTrace::satisfied) +
          Uncovered(content, "unverified", "Unverified requirements", &RequirementTrace::verified));
}

std::string AllocationsPage(const SiteContent& content) {
  const std::string intro =
      "<p>The rows of the SysML add-in's \xE2\x80\x9CSysML Allocations\xE2\x80\x9D search: " +
      std::to_string(content.allocations.size()) + " allocations.</p>\n";
  return PageText({"Allocations", "", content.model_name},
                  intro + "<section>\n<h2>Allocation table</h2>\n" +
                      SortableTable("allocation-table",
                                    HeadingRow({"Relationship", "From kind", "From", "Relation",
                                                "To kind", "To"}),
                                    AllocationRows(content)) +
                      "</section>\n<section>\n<h2>Allocation matrix</h2>\n" +
                      AllocationMatrixTable(content) + "</section>\n");
}

}  // namespace orba::report
