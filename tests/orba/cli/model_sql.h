// Changes a model file straight through SQLite, as an old host or a script
// might have: for models holding what the host itself would never write.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

namespace orba::cli::testing {

inline void ExecuteSql(const std::string& model, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(model.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
      << sqlite3_errmsg(db);
  sqlite3_close(db);
}

}  // namespace orba::cli::testing
