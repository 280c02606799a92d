// The matrices as data (`orba matrix`): a table of text cells, written as
// CSV (RFC 4180) or as JSON.
//
// Traceability: one row per requirement; columns "Requirement", "GUID",
// "Kind", then one per relation ("satisfy", ...), then "Satisfied" and
// "Verified" ("yes"/"no"). A relation's cell lists the elements at the other
// end, "-> NAME" where the requirement is the client, "<- NAME" where it is
// the supplier, joined by "; ".
// Allocation: one row per allocated element; the first column "From", then
// one per element allocated to, each cell the number of allocations ("" for
// none). Ends are named "NAME [TYPE]" (LabelOf).
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "orba/report/matrices.h"

namespace orba::report {

struct DataTable {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
};

DataTable TraceabilityTable(const TraceabilityMatrix& matrix, const ModelIndex& model);
DataTable AllocationTable(const AllocationMatrix& matrix);

// CRLF line ends; a field holding a comma, quote, CR or LF is quoted, its
// quotes doubled. `bom`: a UTF-8 byte order mark first, for spreadsheets.
std::string CsvText(const DataTable& table, bool bom);

// {"matrix": NAME, "columns": [...], "rows": [[cell, ...], ...]}.
nlohmann::ordered_json TableJson(const std::string& matrix_name, const DataTable& table);

// {"requirements": N, "satisfied": N, "verified": N, "satisfiedPercent":
// "62.5 %", "verifiedPercent": "..."}.
nlohmann::ordered_json CoverageJson(const TraceabilityMatrix& matrix);

}  // namespace orba::report
