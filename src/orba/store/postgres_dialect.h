// Adapts a query of the host's SQL query service, written in SQLite's dialect
// as add-ins write it, to PostgreSQL's, with what the caller needs to answer
// exactly as the SQLite store does: the column names SQLite gives and whether
// the rows must be put in the order SQLite returns them.
//
// What changes on the way:
// - quoted identifiers ("x", [x], `x`) become bare ones, or double-quoted lower-case
//   ones when bare would not do, since the model's tables are created unquoted
//   (stored lower case) and SQLite matches names without regard to case;
// - LIKE becomes ILIKE with ESCAPE '' after its pattern unless it has an ESCAPE
//   (SQLite's LIKE ignores ASCII case and has no escape character by default);
// - the top-level ORDER BY's items say NULLS FIRST (ascending) or NULLS LAST
//   (descending), SQLite's order of NULLs;
// - == becomes =, IFNULL( becomes COALESCE(, and a final ";" is dropped.
// Nothing inside a literal or a comment changes. Parameters are kept as written.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orba::store {

struct PostgresQuery {
  std::string sql;  // the text to send to PostgreSQL
  // Per item of the leftmost SELECT's select list, the column name SQLite gives it,
  // or nullopt for a `*` or `t.*` item (whose columns the caller names from the
  // declared names). Empty when the query has no SELECT at its top level.
  std::vector<std::optional<std::string>> column_names;
  // A compound SELECT whose last operator is UNION, INTERSECT or EXCEPT and that has
  // no ORDER BY: SQLite answers its rows sorted (see OrderedAsSqliteCompound).
  bool needs_sqlite_compound_order = false;
};

// The declared spelling of a column from its lower-case name ("object_id" ->
// "Object_ID"), nullopt when no table has it.
using DeclaredColumn = std::function<std::optional<std::string>(std::string_view)>;

// Throws std::invalid_argument for an unterminated string literal, quoted
// identifier or comment, naming it and its position (1 = the first character).
PostgresQuery AdaptForPostgres(std::string_view sqlite_sql, const DeclaredColumn& declared_column);

// `sql` (a query of `column_count` columns) wrapped so that its rows come sorted
// by every column from left to right, NULLs first, text byte by byte
// (`text_columns[i]` says whether column i holds text): the order SQLite gives a
// compound SELECT whose rows it deduplicates.
std::string OrderedAsSqliteCompound(const std::string& sql, int column_count,
                                    const std::vector<bool>& text_columns);

}  // namespace orba::store
