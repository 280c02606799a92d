// The model file's schema: creating it in a new database, and recognising a
// database as a model this host can read.
#pragma once

#include <cstdint>
#include <string>

#include "orba/store/database.h"

namespace orba::store {

// PRAGMA application_id of every model file: "ORBA" in ASCII.
inline constexpr int32_t kApplicationId = 0x4F524241;
// Raised whenever the tables change; a host refuses files of a newer version.
inline constexpr int32_t kSchemaVersion = 1;

// Creates the tables of an empty model.
void CreateSchema(Database& db);

// Reads the header of the file at `path` before SQLite opens it: throws
// StoreError naming the file when it is not an Orba model or was written with
// a newer schema version.
void CheckModelFileHeader(const std::string& path);

// Throws StoreError naming the file when the opened model is damaged.
void CheckIntegrity(Database& db);

}  // namespace orba::store
