// The store's database seam: a connection to one model's database and its
// prepared statements, whatever the engine (an SQLite model file or a
// PostgreSQL repository). The store's SQL is written once, in the part of
// SQL both engines share; parameters are written `?`. Failures throw
// StoreError naming the model's location.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "orba/store/store_error.h"

namespace orba::store {

// A stored text as a damage message shows it: its start, in quotes.
std::string ShownText(std::string text);

// One engine's prepared statement, as Statement drives it.
class StatementBackend {
 public:
  virtual ~StatementBackend() = default;
  virtual void BindInteger(int index, int64_t value) = 0;
  virtual void BindText(int index, const std::string& value) = 0;
  virtual void BindNull(int index) = 0;
  virtual bool Step() = 0;  // true while a row is available
  virtual int ColumnCount() const = 0;
  virtual std::string ColumnName(int column) const = 0;
  virtual bool IsNull(int column) const = 0;
  virtual std::string Text(int column) const = 0;  // "" for NULL
  // The integer the column holds exactly; nullopt for anything else.
  virtual std::optional<int64_t> ExactInteger(int column) const = 0;
  // For damage messages: where the value came from ("t_object.ParentID of
  // the row with Object_ID 12", or the column's name) and the value as shown
  // ("NULL", a number, the start of a text in quotes).
  virtual std::string ValueOrigin(int column) const = 0;
  virtual std::string ShownValue(int column) const = 0;
};

class Statement {
 public:
  Statement(std::unique_ptr<StatementBackend> backend, const std::string& location);

  // Binds the arguments to the parameters 1, 2, ... in order.
  template <class... Args>
  Statement& Bind(const Args&... args) {
    int index = 0;
    (BindOne(++index, args), ...);
    return *this;
  }

  bool Step() { return backend_->Step(); }
  void Run();  // steps to the end, ignoring rows

  int ColumnCount() const { return backend_->ColumnCount(); }
  std::string ColumnName(int column) const { return backend_->ColumnName(column); }
  bool IsNull(int column) const { return backend_->IsNull(column); }
  // The 32-bit integer the column holds. Anything else (text or a real that
  // is not an exact integer, a blob, NULL, a wider number) is damage: throws
  // StoreError naming where the value came from.
  int32_t Int(int column) const;
  std::string Text(int column) const { return backend_->Text(column); }
  std::optional<std::string> OptionalText(int column) const;  // nullopt for NULL

  StatementBackend& Backend() const { return *backend_; }

 private:
  void BindOne(int index, int32_t value) { backend_->BindInteger(index, value); }
  void BindOne(int index, int64_t value) { backend_->BindInteger(index, value); }
  void BindOne(int index, const std::string& value) { backend_->BindText(index, value); }
  void BindOne(int index, const char* value) { backend_->BindText(index, value); }
  void BindOne(int index, const std::optional<std::string>& value);
  void BindOne(int index, const std::optional<int32_t>& value);
  [[noreturn]] void FailDamaged(int column, const std::string& problem) const;

  std::unique_ptr<StatementBackend> backend_;
  const std::string* location_;
};

class Database {
 public:
  // How long a statement waits for another process's write to end.
  static constexpr int kBusyWaitMilliseconds = 5000;

  explicit Database(std::string location) : location_(std::move(location)) {}
  virtual ~Database() = default;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  virtual Statement Prepare(std::string_view sql) = 0;
  virtual void Execute(const std::string& sql) = 0;  // statements without results
  // Starts the outermost transaction. On a writable model it holds the
  // model's write lock from its start (waiting up to kBusyWaitMilliseconds
  // for another writer), so that what it reads stays true until it commits;
  // every transaction reads one consistent state of the model.
  virtual void Begin() = 0;
  virtual bool IsReadOnly() const = 0;
  virtual bool InTransaction() const = 0;  // Begin or SAVEPOINT run and not yet ended
  virtual bool HasTable(const std::string& name) = 0;
  const std::string& Location() const { return location_; }

 private:
  std::string location_;
};

}  // namespace orba::store
