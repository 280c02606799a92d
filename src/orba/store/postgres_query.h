// The host's SQL query service on a PostgreSQL repository: one query of the
// host's dialect (SQLite's), adapted to PostgreSQL and answered as SQLite
// answers it (the same column names, the same order of a deduplicated
// compound SELECT). The server refuses everything else, not the text: the
// query is prepared alone (the extended protocol takes one statement), runs
// in a read-only transaction, and, when the model names a query role in
// orba_meta ("query_role"), as that role.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "orba/store/pg_database.h"

namespace orba::store {

// The query's rows. Throws host::Error for anything but one read-only query,
// and for a query that fails.
Statement RunPostgresQuery(PgDatabase& db, const std::string& sql);

// The declared spelling of a model column from its lower-case name
// ("object_id" -> "Object_ID"); nullopt when no table has it.
std::optional<std::string> DeclaredColumnName(std::string_view lower_case);

}  // namespace orba::store
