// The database seam on PostgreSQL (libpq): a model in a team repository,
// named by a URI "postgresql://user@host/database?options=-csearch_path%3Dteam".
//
// The store's `?` parameters become `$1`, `$2`, ...; each distinct statement
// is prepared once per connection. A writer's transaction takes the model's
// write lock (an EXCLUSIVE lock on orba_meta) first, so writers run one after
// another and no update is lost; a read-only connection reads one snapshot
// for as long as it is open. Passwords never appear in a location or message.
#pragma once

#include <libpq-fe.h>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "orba/store/database.h"

namespace orba::store {

// The result of a libpq call, freed at its end.
using PgResult = std::unique_ptr<PGresult, decltype(&PQclear)>;

// The rows of a query that has run, read as a statement reads them. Its
// columns have the names given, or PostgreSQL's when none are.
class PgRows : public StatementBackend {
 public:
  explicit PgRows(PgResult result, std::vector<std::string> names = {});

  void BindInteger(int, int64_t) override { RefuseBinding(); }
  void BindText(int, const std::string&) override { RefuseBinding(); }
  void BindNull(int) override { RefuseBinding(); }
  bool Step() override { return ++row_ < PQntuples(result_.get()); }
  int ColumnCount() const override { return PQnfields(result_.get()); }
  std::string ColumnName(int column) const override;
  bool IsNull(int column) const override;
  std::string Text(int column) const override;
  std::optional<int64_t> ExactInteger(int column) const override;
  std::string ValueOrigin(int column) const override { return ColumnName(column); }
  std::string ShownValue(int column) const override;

 private:
  [[noreturn]] static void RefuseBinding();

  PgResult result_;
  std::vector<std::string> names_;
  int row_ = -1;
};

// Whether `location` names a PostgreSQL repository rather than a file.
bool IsRepositoryUri(std::string_view location);

// The URI without its password ("postgresql://ann@db/models"), as messages show it.
std::string MaskedUri(const std::string& uri);

class PgDatabase : public Database {
 public:
  enum class Access { kReadWrite, kReadOnly };
  // Connects; throws StoreError "cannot connect to model repository LOCATION:
  // REASON" when the server is unreachable or refuses the login.
  PgDatabase(const std::string& uri, Access access);
  ~PgDatabase() override;

  Statement Prepare(std::string_view sql) override;
  void Execute(const std::string& sql) override;
  void Begin() override;
  bool IsReadOnly() const override { return read_only_; }
  bool InTransaction() const override;
  bool HasTable(const std::string& name) override;
  PGconn* Connection() const { return connection_; }

  // The message for a failed result (StoreError's text): busy, read-only,
  // or the server's message, each naming the repository.
  std::string Failure(const PGresult* result) const;
  // The name of the prepared statement for `sql` (in PostgreSQL's
  // placeholders), preparing it on first use.
  const std::string& PreparedName(const std::string& sql);

 private:
  PGconn* connection_ = nullptr;
  bool read_only_;
  std::unordered_map<std::string, std::string> prepared_;
};

// `sql` with its `?` parameters numbered as PostgreSQL writes them ($1, $2,
// ...); a `?` within quotes or a comment stays.
std::string NumberedParameters(std::string_view sql);

}  // namespace orba::store
