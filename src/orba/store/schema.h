// The model file's schema: creating it in a new database, and recognising a
// database as a model this host can read.
#pragma once

#include <cstdint>

#include "orba/store/database.h"

namespace orba::store {

// PRAGMA application_id of every model file: "ORBA" in ASCII.
inline constexpr int32_t kApplicationId = 0x4F524241;
// Raised whenever the tables change; a host refuses files of a newer version.
inline constexpr int32_t kSchemaVersion = 1;

// Creates the tables of an empty model.
void CreateSchema(Database& db);

// Throws StoreError naming the file when the database is not an Orba model,
// is damaged, or was written with a newer schema version.
void CheckSchema(Database& db);

}  // namespace orba::store
