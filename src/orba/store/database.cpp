#include "orba/store/database.h"

#include <cstdint>

namespace orba::store {

std::string SqliteFailure(sqlite3* db, const std::string& location) {
  const int code = sqlite3_extended_errcode(db) & 0xff;
  if (code == SQLITE_READONLY) return "model is read-only: " + location;
  if (code == SQLITE_BUSY || code == SQLITE_LOCKED) {
    return "model file is in use by another process: " + location + " (" + sqlite3_errmsg(db) + ")";
  }
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
  auto found = kept_.find(std::string(sql));
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
  kept_[sql].push_back(statement);
  ++count_;
}

Statement::Statement(sqlite3* db, std::string_view sql, const std::string& location,
                     const char** tail)
    : location_(&location) {
  if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement_, tail) !=
      SQLITE_OK) {
    std::string message = SqliteFailure(db, location);
    sqlite3_finalize(statement_);
    throw StoreError(message);
  }
}

Statement::Statement(sqlite3* db, std::string_view sql, const std::string& location,
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

Statement::~Statement() {
  if (statement_ == nullptr) return;
  if (const std::shared_ptr<StatementCache> cache = cache_.lock()) {
    cache->Give(statement_);
  } else {
    sqlite3_finalize(statement_);
  }
}

Statement::Statement(Statement&& other) noexcept
    : statement_(other.statement_), location_(other.location_), cache_(std::move(other.cache_)) {
  other.statement_ = nullptr;
}

void Statement::Check(int result) const {
  if (result != SQLITE_OK)
    throw StoreError(SqliteFailure(sqlite3_db_handle(statement_), *location_));
}

void Statement::BindOne(int index, int32_t value) {
  Check(sqlite3_bind_int(statement_, index, value));
}

void Statement::BindOne(int index, int64_t value) {
  Check(sqlite3_bind_int64(statement_, index, value));
}

void Statement::BindOne(int index, const std::string& value) {
  Check(sqlite3_bind_text(statement_, index, value.data(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT));
}

void Statement::BindOne(int index, const char* value) { BindOne(index, std::string(value)); }

void Statement::BindOne(int index, const std::optional<std::string>& value) {
  if (value) {
    BindOne(index, *value);
  } else {
    BindNull(index);
  }
}

void Statement::BindOne(int index, const std::optional<int32_t>& value) {
  if (value) {
    BindOne(index, *value);
  } else {
    BindNull(index);
  }
}

void Statement::BindNull(int index) { Check(sqlite3_bind_null(statement_, index)); }

bool Statement::Step() {
  int result = sqlite3_step(statement_);
  if (result == SQLITE_ROW) return true;
  if (result == SQLITE_DONE) return false;
  throw StoreError(SqliteFailure(sqlite3_db_handle(statement_), *location_));
}

void Statement::Run() {
  while (Step()) {
  }
}

int Statement::ColumnCount() const { return sqlite3_column_count(statement_); }

std::string Statement::ColumnName(int column) const {
  const char* name = sqlite3_column_name(statement_, column);
  return name ? name : "";
}

bool Statement::IsNull(int column) const {
  return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

int32_t Statement::Int(int column) const {
  const sqlite3_int64 value = sqlite3_column_int64(statement_, column);
  if (value < INT32_MIN || value > INT32_MAX) {
    // Ids and numbers of the model are 32-bit; a wider one was not written by a host.
    throw StoreError("model file is damaged: " + *location_ + " (" + std::to_string(value) +
                     " in column " + ColumnName(column) + " does not fit in 32 bits)");
  }
  return static_cast<int32_t>(value);
}

std::string Statement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
  if (!text) return "";
  return std::string(text, static_cast<size_t>(sqlite3_column_bytes(statement_, column)));
}

std::optional<std::string> Statement::OptionalText(int column) const {
  if (IsNull(column)) return std::nullopt;
  return Text(column);
}

Database::Database(const std::string& path, int flags, std::string location)
    : location_(std::move(location)) {
  if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
    std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close_v2(db_);
    throw StoreError("cannot open model file " + location_ + ": " + message);
  }
  sqlite3_extended_result_codes(db_, 1);
  // Another process writing the model holds it briefly; wait rather than fail.
  sqlite3_busy_timeout(db_, kBusyWaitMilliseconds);
}

Database::~Database() {
  cache_.reset();  // its statements are finalized before the connection closes
  sqlite3_close_v2(db_);
}

Statement Database::Prepare(std::string_view sql) { return Statement(db_, sql, location_, cache_); }

void Database::Execute(const std::string& sql) {
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
    throw StoreError(SqliteFailure(db_, location_));
  }
}

int64_t Database::LastInsertId() const { return sqlite3_last_insert_rowid(db_); }

bool Database::IsReadOnly() const { return sqlite3_db_readonly(db_, "main") == 1; }

}  // namespace orba::store
