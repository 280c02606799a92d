#include "orba/store/sqlite_database.h"

#include <cmath>
#include <cstdint>

#include "base/text.h"

namespace orba::store {
namespace {

// The integer a column holds exactly: an integer, a real without a fraction,
// or a text of decimal digits; nullopt for anything else.
std::optional<int64_t> ExactIntegerAt(sqlite3_stmt* statement, int column) {
  switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER: return sqlite3_column_int64(statement, column);
    case SQLITE_FLOAT: {
      const double real = sqlite3_column_double(statement, column);
      if (real != std::trunc(real) || std::fabs(real) > 1e18) return std::nullopt;
      return static_cast<int64_t>(real);
    }
    case SQLITE_TEXT:
      return base::IntegerOfText(
          std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                           static_cast<size_t>(sqlite3_column_bytes(statement, column))));
    default: return std::nullopt;
  }
}

// A stored value as a damage message shows it: NULL, a blob's size, a number,
// or the start of a text in quotes.
std::string StoredValue(sqlite3_stmt* statement, int column) {
  const int type = sqlite3_column_type(statement, column);
  if (type == SQLITE_NULL) return "NULL";
  if (type == SQLITE_BLOB) {
    const int size = sqlite3_column_bytes(statement, column);
    return "a blob of " + std::to_string(size) + (size == 1 ? " byte" : " bytes");
  }
  std::string text(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                   static_cast<size_t>(sqlite3_column_bytes(statement, column)));
  return type == SQLITE_TEXT ? ShownText(std::move(text)) : text;
}

// Whether `column` of `table` identifies its rows: the primary key, or the GUID.
bool IsRowKey(sqlite3* db, const char* table, const char* column) {
  if (column == nullptr) return false;
  int primary_key = 0;
  sqlite3_table_column_metadata(db, nullptr, table, column, nullptr, nullptr, nullptr, &primary_key,
                                nullptr);
  return primary_key != 0 || std::string_view(column) == "orba_guid";
}

}  // namespace

std::string SqliteFailure(sqlite3* db, const std::string& location) {
  const int code = sqlite3_extended_errcode(db) & 0xff;
  if (code == SQLITE_READONLY) return "model is read-only: " + location;
  if (code == SQLITE_BUSY || code == SQLITE_LOCKED) {
    return "model file is in use by another process: " + location + " (" + sqlite3_errmsg(db) + ")";
  }
  if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB)
    return "model file is damaged: " + location + " (" + sqlite3_errmsg(db) + ")";
  return location + ": " + sqlite3_errmsg(db);
}

bool IsBusy(sqlite3* db) {
  const int code = sqlite3_extended_errcode(db) & 0xff;
  return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

StatementCache::~StatementCache() {
  for (auto& [sql, statements] : kept_) {
    for (sqlite3_stmt* statement : statements) sqlite3_finalize(statement);
  }
}

sqlite3_stmt* StatementCache::Take(std::string_view sql) {
  auto found = kept_.find(sql);
  if (found == kept_.end() || found->second.empty()) return nullptr;
  sqlite3_stmt* statement = found->second.back();
  found->second.pop_back();
  --count_;
  return statement;
}

void StatementCache::Give(sqlite3_stmt* statement) {
  const char* sql = sqlite3_sql(statement);
  if (count_ >= kMaxKept || sql == nullptr) {
    sqlite3_finalize(statement);
    return;
  }
  sqlite3_reset(statement);
  sqlite3_clear_bindings(statement);
  auto kept = kept_.find(std::string_view(sql));
  if (kept == kept_.end()) kept = kept_.emplace(sql, std::vector<sqlite3_stmt*>()).first;
  kept->second.push_back(statement);
  ++count_;
}

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql, const std::string& location,
                                 const char** tail)
    : location_(&location) {
  if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement_, tail) !=
      SQLITE_OK) {
    std::string message = SqliteFailure(db, location);
    sqlite3_finalize(statement_);
    throw StoreError(message);
  }
}

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql, const std::string& location,
                                 const std::shared_ptr<StatementCache>& cache)
    : statement_(cache->Take(sql)), location_(&location), cache_(cache) {
  if (statement_) return;
  if (sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                         &statement_, nullptr) != SQLITE_OK) {
    std::string message = SqliteFailure(db, location);
    sqlite3_finalize(statement_);
    throw StoreError(message);
  }
}

SqliteStatement::~SqliteStatement() {
  if (statement_ == nullptr) return;
  if (const std::shared_ptr<StatementCache> cache = cache_.lock()) {
    cache->Give(statement_);
  } else {
    sqlite3_finalize(statement_);
  }
}

void SqliteStatement::Check(int result) const {
  if (result != SQLITE_OK)
    throw StoreError(SqliteFailure(sqlite3_db_handle(statement_), *location_));
}

void SqliteStatement::BindInteger(int index, int64_t value) {
  Check(sqlite3_bind_int64(statement_, index, value));
}

void SqliteStatement::BindText(int index, const std::string& value) {
  Check(sqlite3_bind_text(statement_, index, value.data(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT));
}

void SqliteStatement::BindNull(int index) { Check(sqlite3_bind_null(statement_, index)); }

bool SqliteStatement::Step() {
  int result = sqlite3_step(statement_);
  if (result == SQLITE_ROW) return true;
  if (result == SQLITE_DONE) return false;
  throw StoreError(SqliteFailure(sqlite3_db_handle(statement_), *location_));
}

int SqliteStatement::ColumnCount() const { return sqlite3_column_count(statement_); }

std::string SqliteStatement::ColumnName(int column) const {
  const char* name = sqlite3_column_name(statement_, column);
  return name ? name : "";
}

bool SqliteStatement::IsNull(int column) const {
  return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

// "t_object.ParentID of the row with Object_ID 12" for a column read
// straight from a table, else the column's name.
std::string SqliteStatement::ValueOrigin(int column) const {
  const char* table = sqlite3_column_table_name(statement_, column);
  const char* origin = sqlite3_column_origin_name(statement_, column);
  if (!table || !origin) return ColumnName(column);
  return std::string(table) + "." + origin + RowOf(column);
}

std::string SqliteStatement::ShownValue(int column) const {
  return StoredValue(statement_, column);
}

std::optional<int64_t> SqliteStatement::ExactInteger(int column) const {
  return ExactIntegerAt(statement_, column);
}

// " of the row with Object_ID 12": the key of the row `column` was read from,
// when the statement reads that key too; else "".
std::string SqliteStatement::RowOf(int column) const {
  const char* table = sqlite3_column_table_name(statement_, column);
  if (!table) return "";
  for (int other = 0; other < ColumnCount(); ++other) {
    const char* other_table = sqlite3_column_table_name(statement_, other);
    const char* origin = sqlite3_column_origin_name(statement_, other);
    if (other != column && other_table && std::string_view(other_table) == table &&
        IsRowKey(sqlite3_db_handle(statement_), table, origin)) {
      return std::string(" of the row with ") + origin + " " + Text(other);
    }
  }
  return "";
}

std::string SqliteStatement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
  if (!text) return "";
  return std::string(text, static_cast<size_t>(sqlite3_column_bytes(statement_, column)));
}

SqliteDatabase::SqliteDatabase(const std::string& path, int flags, std::string location)
    : Database(std::move(location)) {
  // A connection is used by one thread at a time, so SQLite's own locking of
  // every call is left out (it took a twentieth of a validation run).
  if (sqlite3_open_v2(path.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
    std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close_v2(db_);
    throw StoreError("cannot open model file " + Location() + ": " + message);
  }
  sqlite3_extended_result_codes(db_, 1);
  // Another process writing the model holds it briefly; wait rather than fail.
  sqlite3_busy_timeout(db_, kBusyWaitMilliseconds);
}

SqliteDatabase::~SqliteDatabase() {
  cache_.reset();  // its statements are finalized before the connection closes
  sqlite3_close_v2(db_);
}

Statement SqliteDatabase::Prepare(std::string_view sql) {
  return Statement(std::make_unique<SqliteStatement>(db_, sql, Location(), cache_), Location());
}

void SqliteDatabase::Execute(const std::string& sql) {
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
    throw StoreError(SqliteFailure(db_, Location()));
  }
}

// A writer takes the write lock at once (BEGIN IMMEDIATE), waiting while
// another process holds it. A deferred transaction would read first and then
// be refused the lock, without waiting, when another writer got it in between.
void SqliteDatabase::Begin() { Execute(IsReadOnly() ? "BEGIN" : "BEGIN IMMEDIATE"); }

bool SqliteDatabase::IsReadOnly() const { return sqlite3_db_readonly(db_, "main") == 1; }

bool SqliteDatabase::InTransaction() const { return sqlite3_get_autocommit(db_) == 0; }

bool SqliteDatabase::HasTable(const std::string& name) {
  Statement table = Prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
  table.Bind(name);
  return table.Step();
}

SqliteDatabase& SqliteOf(Database& db) {
  auto* sqlite = dynamic_cast<SqliteDatabase*>(&db);
  if (!sqlite) throw StoreError("not a model file: " + db.Location());
  return *sqlite;
}

}  // namespace orba::store
