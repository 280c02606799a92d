// The two matrices of a report: requirements traced to what satisfies,
// verifies, derives, refines and traces them; and allocations, from what is
// allocated to where.
//
// A requirement is an element whose metatype is one of the seven
// requirement kinds; it is satisfied when it is the supplier of at least one
// satisfy relation, verified when it is the supplier of at least one verify
// relation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "orba/report/model_index.h"
#include "orba/searches/search_table.h"

namespace orba::report {

// A column of the traceability matrix and the connector stereotypes it lists.
struct TraceRelation {
  std::string column;
  std::vector<std::string> stereotypes;
};
const std::vector<TraceRelation>& TraceRelations();

bool IsRequirementKind(const std::string& metatype);

// The element at the other end of a relation of a requirement.
struct TraceEnd {
  int32_t element_id = 0;
  bool requirement_is_client = false;  // requirement -> element; else element -> requirement
};

struct RequirementTrace {
  int32_t requirement_id = 0;
  std::vector<std::vector<TraceEnd>> cells;  // one per TraceRelations() column
  bool satisfied = false;
  bool verified = false;
};

struct TraceabilityMatrix {
  std::vector<RequirementTrace> rows;  // in the elements' id order
  size_t satisfied = 0;
  size_t verified = 0;
};

TraceabilityMatrix TraceRequirements(const ModelIndex& model);

// `part` of `whole` as "62.5 %" (one decimal, half rounded up); "0.0 %"
// when `whole` is 0.
std::string Percent(size_t part, size_t whole);

// One end of an allocation: the text the search shows, and the element when
// the model has it (0 when not).
struct AllocationEnd {
  std::string type;
  std::string name;
  int32_t element_id = 0;
  friend auto operator<=>(const AllocationEnd&, const AllocationEnd&) = default;
};

// "NAME [TYPE]", or the name alone when the type is empty: ends of one
// name (a block and its part) told apart.
std::string LabelOf(const AllocationEnd& end);

struct Allocation {
  std::string connector_type;  // CLASSTYPE
  std::string relation;
  AllocationEnd from;
  AllocationEnd to;
};

// The rows of the add-in's allocation search with their ends found in the
// model: a dependency's (CLASSGUID a connector) at its client and supplier,
// a partition's allocated element (CLASSGUID an element) at the start.
std::vector<Allocation> ReadAllocations(const searches::SearchTable& table,
                                        const ModelIndex& model);

struct AllocationMatrix {
  std::vector<AllocationEnd> from;                     // rows, in the order first allocated
  std::vector<AllocationEnd> to;                       // columns, likewise
  std::map<std::pair<size_t, size_t>, size_t> counts;  // (row, column) -> allocations
};

AllocationMatrix MatrixOf(const std::vector<Allocation>& allocations);

}  // namespace orba::report
