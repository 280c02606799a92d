#include "orba/report/matrices.h"

#include <algorithm>
#include <array>
#include <optional>

namespace orba::report {
namespace {

constexpr size_t kSatisfyColumn = 0;
constexpr size_t kVerifyColumn = 1;

// The column of a connector stereotype; nullopt for one no column lists.
std::optional<size_t> ColumnOf(const std::optional<std::string>& stereotype) {
  if (!stereotype) return std::nullopt;
  const std::vector<TraceRelation>& relations = TraceRelations();
  for (size_t column = 0; column < relations.size(); ++column) {
    const std::vector<std::string>& names = relations[column].stereotypes;
    if (std::find(names.begin(), names.end(), *stereotype) != names.end()) return column;
  }
  return std::nullopt;
}

RequirementTrace TraceOf(const ModelIndex& model, int32_t requirement_id) {
  RequirementTrace trace{requirement_id,
                         std::vector<std::vector<TraceEnd>>(TraceRelations().size()), false, false};
  for (const store::ConnectorRow* connector : model.ConnectorsAt(requirement_id)) {
    const std::optional<size_t> column = ColumnOf(connector->stereotype);
    if (!column) continue;
    const bool is_client = connector->client_id == requirement_id;
    trace.cells[*column].push_back(
        {is_client ? connector->supplier_id : connector->client_id, is_client});
    const bool is_supplier = connector->supplier_id == requirement_id;
    trace.satisfied |= is_supplier && *column == kSatisfyColumn;
    trace.verified |= is_supplier && *column == kVerifyColumn;
  }
  return trace;
}

// The end of an allocation shown as `type` and `name`, at `element_id`.
AllocationEnd EndOf(const searches::SearchRow& row, const char* type_field, const char* name_field,
                    int32_t element_id) {
  return {searches::ValueOf(row, type_field), searches::ValueOf(row, name_field), element_id};
}

// Where `end` is in `ends`, added at the end when new.
size_t PositionOf(std::vector<AllocationEnd>& ends, const AllocationEnd& end) {
  const auto found = std::find(ends.begin(), ends.end(), end);
  if (found != ends.end()) return found - ends.begin();
  ends.push_back(end);
  return ends.size() - 1;
}

}  // namespace

const std::vector<TraceRelation>& TraceRelations() {
  static const std::vector<TraceRelation> kRelations = {{"satisfy", {"satisfy"}},
                                                        {"verify", {"verify"}},
                                                        {"derive", {"deriveReqt", "derive"}},
                                                        {"refine", {"refine"}},
                                                        {"trace", {"trace"}}};
  return kRelations;
}

bool IsRequirementKind(const std::string& metatype) {
  static constexpr std::array<const char*, 7> kKinds = {
      "Requirement",           "DesignRequirement",    "ExtendedRequirement",
      "FunctionalRequirement", "InterfaceRequirement", "PerformanceRequirement",
      "PhysicalRequirement"};
  return std::find(kKinds.begin(), kKinds.end(), metatype) != kKinds.end();
}

TraceabilityMatrix TraceRequirements(const ModelIndex& model) {
  TraceabilityMatrix matrix;
  for (const IndexedElement& element : model.Elements()) {
    if (!IsRequirementKind(element.metatype)) continue;
    matrix.rows.push_back(TraceOf(model, element.row.id));
    matrix.satisfied += matrix.rows.back().satisfied;
    matrix.verified += matrix.rows.back().verified;
  }
  return matrix;
}

// In tenths of a per cent, rounded half up, so that 5 of 16 reads 31.3 %.
std::string Percent(size_t part, size_t whole) {
  const size_t tenths = whole == 0 ? 0 : (2000 * part + whole) / (2 * whole);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " %";
}

std::string LabelOf(const AllocationEnd& end) {
  return end.type.empty() ? end.name : end.name + " [" + end.type + "]";
}

std::vector<Allocation> ReadAllocations(const searches::SearchTable& table,
                                        const ModelIndex& model) {
  std::vector<Allocation> allocations;
  for (const searches::SearchRow& row : table.rows) {
    const std::string guid = searches::ValueOf(row, "CLASSGUID");
    int32_t from_id = 0, to_id = 0;
    if (const store::ConnectorRow* connector = model.ConnectorByGuid(guid)) {
      from_id = connector->client_id;
      to_id = connector->supplier_id;
    } else if (const IndexedElement* element = model.ElementByGuid(guid)) {
      from_id = element->row.id;
    }
    allocations.push_back({searches::ValueOf(row, "CLASSTYPE"), searches::ValueOf(row, "Relation"),
                           EndOf(row, "From Type", "From Name", from_id),
                           EndOf(row, "To Type", "To Name", to_id)});
  }
  return allocations;
}

AllocationMatrix MatrixOf(const std::vector<Allocation>& allocations) {
  AllocationMatrix matrix;
  for (const Allocation& allocation : allocations) {
    const size_t row = PositionOf(matrix.from, allocation.from);
    const size_t column = PositionOf(matrix.to, allocation.to);
    ++matrix.counts[{row, column}];
  }
  return matrix;
}

}  // namespace orba::report
