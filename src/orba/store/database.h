// A small RAII layer over the SQLite C API: a connection and its prepared
// statements. Failures throw StoreError with SQLite's message and the
// model's location.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "orba/store/store_error.h"

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

class Statement {
 public:
  // Prepares the first statement of `sql`; `tail`, when given, receives where
  // the rest of the text starts. An empty text gives a statement with no handle.
  Statement(sqlite3* db, std::string_view sql, const std::string& location,
            const char** tail = nullptr);
  // A statement from `cache` (or newly prepared), given back to it at its end
  // while the cache lives.
  Statement(sqlite3* db, std::string_view sql, const std::string& location,
            const std::shared_ptr<StatementCache>& cache);
  ~Statement();
  Statement(Statement&& other) noexcept;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  Statement& operator=(Statement&&) = delete;

  // Binds the arguments to the parameters 1, 2, ... in order.
  template <class... Args>
  Statement& Bind(const Args&... args) {
    int index = 0;
    (BindOne(++index, args), ...);
    return *this;
  }

  bool Step();  // true while a row is available
  void Run();   // steps to the end, ignoring rows

  int ColumnCount() const;
  std::string ColumnName(int column) const;
  bool IsNull(int column) const;
  // The 32-bit integer the column holds. Anything else (text or a real that
  // is not an exact integer, a blob, NULL, a wider number) is damage: throws
  // StoreError naming the table, the column and, when the statement reads it
  // too, the row's key.
  int32_t Int(int column) const;
  std::string Text(int column) const;
  std::optional<std::string> OptionalText(int column) const;  // nullopt for NULL

  sqlite3_stmt* Handle() const { return statement_; }

 private:
  void BindOne(int index, int32_t value);
  void BindOne(int index, int64_t value);
  void BindOne(int index, const std::string& value);
  void BindOne(int index, const char* value);
  void BindOne(int index, const std::optional<std::string>& value);
  void BindOne(int index, const std::optional<int32_t>& value);
  void BindNull(int index);
  void Check(int result) const;
  [[noreturn]] void FailDamaged(int column, const std::string& problem) const;
  std::string ColumnOrigin(int column) const;
  std::string RowOf(int column) const;

  sqlite3_stmt* statement_ = nullptr;
  const std::string* location_;
  std::weak_ptr<StatementCache> cache_;
};

class Database {
 public:
  // How long a statement waits for another process's write to end.
  static constexpr int kBusyWaitMilliseconds = 5000;

  // Opens with sqlite3_open_v2 flags; throws StoreError naming `location`.
  Database(const std::string& path, int flags, std::string location);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  Statement Prepare(std::string_view sql);
  void Execute(const std::string& sql);  // one or more statements without results
  int64_t LastInsertId() const;
  bool IsReadOnly() const;
  bool InTransaction() const;  // BEGIN or SAVEPOINT run and not yet ended
  const std::string& Location() const { return location_; }
  sqlite3* Handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
  std::string location_;
  std::shared_ptr<StatementCache> cache_ = std::make_shared<StatementCache>();
};

// The message for a failed SQLite call on the model at `location`.
std::string SqliteFailure(sqlite3* db, const std::string& location);

// Whether the last failure on `db` was another connection holding the file.
bool IsBusy(sqlite3* db);

}  // namespace orba::store
