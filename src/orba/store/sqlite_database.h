// The database seam on SQLite: a model file, or a model in memory.
#pragma once

#include <sqlite3.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "orba/store/database.h"

namespace orba::store {

// Prepared statements a connection keeps for reuse, by their SQL text:
// preparing the same query again for every model item costs more than
// running it.
class StatementCache {
 public:
  ~StatementCache();
  sqlite3_stmt* Take(std::string_view sql);  // null when none is kept
  void Give(sqlite3_stmt* statement);        // reset and kept, or finalized when full

 private:
  static constexpr size_t kMaxKept = 128;
  // Looked up by the SQL text without copying it.
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  std::unordered_map<std::string, std::vector<sqlite3_stmt*>, TextHash, std::equal_to<>> kept_;
  size_t count_ = 0;
};

class SqliteStatement : public StatementBackend {
 public:
  // Prepares the first statement of `sql`; `tail`, when given, receives where
  // the rest of the text starts. An empty text gives a statement with no handle.
  SqliteStatement(sqlite3* db, std::string_view sql, const std::string& location,
                  const char** tail = nullptr);
  // A statement from `cache` (or newly prepared), given back to it at its end
  // while the cache lives.
  SqliteStatement(sqlite3* db, std::string_view sql, const std::string& location,
                  const std::shared_ptr<StatementCache>& cache);
  ~SqliteStatement() override;
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  void BindInteger(int index, int64_t value) override;
  void BindText(int index, const std::string& value) override;
  void BindNull(int index) override;
  bool Step() override;
  int ColumnCount() const override;
  std::string ColumnName(int column) const override;
  bool IsNull(int column) const override;
  std::string Text(int column) const override;
  std::optional<int64_t> ExactInteger(int column) const override;
  std::string ValueOrigin(int column) const override;
  std::string ShownValue(int column) const override;

  sqlite3_stmt* Handle() const { return statement_; }

 private:
  void Check(int result) const;
  std::string RowOf(int column) const;

  sqlite3_stmt* statement_ = nullptr;
  const std::string* location_;
  std::weak_ptr<StatementCache> cache_;
};

class SqliteDatabase : public Database {
 public:
  // Opens with sqlite3_open_v2 flags; throws StoreError naming `location`.
  SqliteDatabase(const std::string& path, int flags, std::string location);
  ~SqliteDatabase() override;

  Statement Prepare(std::string_view sql) override;
  void Execute(const std::string& sql) override;
  void Begin() override;
  bool IsReadOnly() const override;
  bool InTransaction() const override;
  bool HasTable(const std::string& name) override;
  sqlite3* Handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
  std::shared_ptr<StatementCache> cache_ = std::make_shared<StatementCache>();
};

// The SQLite connection of a model on SQLite; throws StoreError for a model
// on another engine.
SqliteDatabase& SqliteOf(Database& db);

// The message for a failed SQLite call on the model at `location`.
std::string SqliteFailure(sqlite3* db, const std::string& location);

// Whether the last failure on `db` was another connection holding the file.
bool IsBusy(sqlite3* db);

}  // namespace orba::store
