// The model's schema on PostgreSQL: the same tables, columns and indexes as a
// model file, in the schema the repository URI selects (the first of its
// search_path). What SQLite does on its own is added: an id left NULL gets
// the next one (the largest plus one, as SQLite gives it), the tables without
// an integer key keep their insertion order in a rowid column, and text
// compares byte by byte.
#pragma once

#include <memory>
#include <string>

#include "orba/store/pg_database.h"

namespace orba::store {

// The PostgreSQL statements that create a model's tables, indexes and id triggers.
std::string PostgresModelSchemaSql();

// Creates an empty model in the repository at `uri`, creating the schema its
// search_path names first when it does not exist. Throws StoreError when the
// schema already holds a model or the repository cannot be reached.
std::unique_ptr<PgDatabase> CreateRepositoryModel(const std::string& uri);

// Removes the model's tables and triggers from the repository at `uri`
// (what CreateRepositoryModel made), as one transaction.
void DropRepositoryModel(const std::string& uri);

// Checks that every table of the model is in the repository (the server
// keeps its own pages whole): throws StoreError "model repository is
// damaged: LOCATION (...)" naming a missing table.
void CheckRepositoryModel(PgDatabase& db);

// Opens the model in the repository at `uri`. Throws StoreError when the
// repository cannot be reached, holds no model, or holds one of a newer
// schema version.
std::unique_ptr<PgDatabase> OpenRepositoryModel(const std::string& uri, PgDatabase::Access access);

}  // namespace orba::store
