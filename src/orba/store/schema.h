// The model file's schema: creating it in a new database, recognising a
// database as a model this host can read, and opening model files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "orba/store/database.h"

namespace orba::store {

// PRAGMA application_id of every model file: "ORBA" in ASCII.
inline constexpr int32_t kApplicationId = 0x4F524241;
// Raised whenever the tables change; a host refuses files of a newer version.
inline constexpr int32_t kSchemaVersion = 1;

// The model's tables and indexes in SQLite's SQL, as CREATE statements.
const char* ModelTablesSql();
std::vector<std::string> ModelIndexesSql();

// Creates the tables of an empty model file, with their indexes.
void CreateSchema(Database& db);

// A model file written in bulk is faster to write without its indexes and
// to index once its rows are in (one sort per index instead of a B-tree
// insert per row): DropIndexes takes them from a model file that is still
// being built, CreateIndexes puts them back in one transaction (throwing
// StoreError when the rows break a unique index).
void DropIndexes(Database& db);
void CreateIndexes(Database& db);

// Reads the header of the file at `path` before SQLite opens it: throws
// StoreError naming the file when it is missing, is not a regular file (a
// FIFO or a device is never read, so this does not wait), cannot be read, is
// not an Orba model, or was written with a newer schema version.
void CheckModelFileHeader(const std::string& path);

// Opens the model file at `path` once its header is checked: read-only when
// `read_only` or when the file cannot be written. A write that was
// interrupted (a writer killed mid-transaction) is rolled back first, so the
// model reads as it was before that write. Throws StoreError naming the file
// when it cannot be opened or read, or is damaged as far as checks that take
// no longer on a large model show (a file shorter than its header says,
// tables missing). Damage elsewhere is found when it is read, or by
// CheckModelFileIntegrity.
std::unique_ptr<Database> OpenModelFile(const std::string& path, bool read_only);

// Reads every page and index of the open model file (SQLite's
// integrity_check): throws StoreError "model file is damaged: PATH (the
// first problems found)" when anything is wrong. For a repository, checks
// that the model's tables are all there.
void CheckModelFileIntegrity(Database& db);

}  // namespace orba::store
