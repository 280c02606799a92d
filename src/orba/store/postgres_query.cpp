#include "orba/store/postgres_query.h"

#include <algorithm>
#include <map>
#include <regex>
#include <stdexcept>

#include "host/error.h"
#include "orba/store/postgres_dialect.h"
#include "orba/store/schema.h"

namespace orba::store {
namespace {

constexpr const char* kReadOnlyOnly = "the SQL query service runs read-only queries only";

// The query runs in a read-only transaction of its own, or in a savepoint
// of the running one made read-only; either is rolled back afterwards.
class ReadOnlyScope {
 public:
  explicit ReadOnlyScope(PgDatabase& db) : db_(db), nested_(db.InTransaction()) {
    db_.Execute(nested_ ? "SAVEPOINT orba_query; SET LOCAL transaction_read_only = on"
                        : "BEGIN READ ONLY");
  }
  ~ReadOnlyScope() {
    try {
      db_.Execute(nested_ ? "ROLLBACK TO SAVEPOINT orba_query; RELEASE SAVEPOINT orba_query"
                          : "ROLLBACK");
    } catch (const std::exception&) {
      // The connection is gone; nothing was written.
    }
  }
  ReadOnlyScope(const ReadOnlyScope&) = delete;
  ReadOnlyScope& operator=(const ReadOnlyScope&) = delete;

 private:
  PgDatabase& db_;
  bool nested_;
};

std::string ServerMessage(const PGresult* result) {
  const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
  return primary ? primary : "unknown error";
}

[[noreturn]] void FailQuery(PgDatabase& db, const PGresult* result) {
  const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
  const std::string message = ServerMessage(result);
  if (message.find("multiple commands") != std::string::npos)
    throw host::Error("the SQL query service runs one statement only");
  if (state && std::string_view(state) == "25006") throw host::Error(kReadOnlyOnly);
  throw host::Error(db.Location() + ": " + message);
}

// Prepares `sql` as the connection's unnamed statement and describes it.
PgResult PrepareDescribed(PgDatabase& db, const std::string& sql) {
  PgResult prepared(PQprepare(db.Connection(), "", sql.c_str(), 0, nullptr), PQclear);
  if (PQresultStatus(prepared.get()) != PGRES_COMMAND_OK) FailQuery(db, prepared.get());
  PgResult described(PQdescribePrepared(db.Connection(), ""), PQclear);
  if (PQresultStatus(described.get()) != PGRES_COMMAND_OK) FailQuery(db, described.get());
  return described;
}

bool IsTextType(Oid type) {
  constexpr Oid kText = 25, kVarchar = 1043, kBpchar = 1042, kName = 19;
  return type == kText || type == kVarchar || type == kBpchar || type == kName;
}

std::vector<bool> TextColumns(const PGresult* described) {
  std::vector<bool> text;
  for (int column = 0; column < PQnfields(described); ++column)
    text.push_back(IsTextType(PQftype(described, column)));
  return text;
}

std::string DeclaredOr(const std::string& name) { return DeclaredColumnName(name).value_or(name); }

// The answer's column names as SQLite gives them: the adapted query's names,
// with the columns of a `*` named by the declared names of the tables.
std::vector<std::string> AnswerNames(const PostgresQuery& query, const PGresult* rows) {
  const int count = PQnfields(rows);
  const auto& items = query.column_names;
  const auto stars = std::count(items.begin(), items.end(), std::nullopt);
  const int star_columns = count - static_cast<int>(items.size() - static_cast<size_t>(stars));
  std::vector<std::string> names;
  for (const std::optional<std::string>& item : items) {
    if (item) {
      names.push_back(*item);
      continue;
    }
    // With more than one `*`, how the columns divide among them is not known
    // here: each is named from PostgreSQL's name.
    const int taken = stars == 1 ? star_columns : 1;
    for (int i = 0; i < taken && static_cast<int>(names.size()) < count; ++i)
      names.push_back(DeclaredOr(PQfname(rows, static_cast<int>(names.size()))));
  }
  while (static_cast<int>(names.size()) < count)
    names.push_back(DeclaredOr(PQfname(rows, static_cast<int>(names.size()))));
  names.resize(static_cast<size_t>(count));
  return names;
}

std::optional<std::string> QueryRole(PgDatabase& db) {
  Statement role = db.Prepare("SELECT Value FROM orba_meta WHERE Name = 'query_role'");
  if (!role.Step()) return std::nullopt;
  return role.Text(0);
}

PostgresQuery Adapted(const std::string& sql) {
  try {
    return AdaptForPostgres(sql, DeclaredColumnName);
  } catch (const std::invalid_argument& error) {
    throw host::Error(std::string("SQL query failed: ") + error.what());
  }
}

std::string QuotedIdentifier(const std::string& name) {
  return "\"" + std::regex_replace(name, std::regex("\""), "\"\"") + "\"";
}

}  // namespace

std::optional<std::string> DeclaredColumnName(std::string_view lower_case) {
  static const std::map<std::string, std::string, std::less<>> kDeclared = [] {
    std::map<std::string, std::string, std::less<>> declared;
    static const std::regex kColumn(R"(\n  (\w+) [A-Z])");
    const std::string tables = ModelTablesSql();
    for (std::sregex_iterator it(tables.begin(), tables.end(), kColumn), end; it != end; ++it) {
      std::string name = (*it)[1];
      std::string lower = name;
      std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
      declared.emplace(lower, name);
    }
    return declared;
  }();
  const auto found = kDeclared.find(lower_case);
  if (found == kDeclared.end()) return std::nullopt;
  return found->second;
}

Statement RunPostgresQuery(PgDatabase& db, const std::string& sql) {
  const PostgresQuery query = Adapted(sql);
  if (query.sql.find_first_not_of(" \t\r\n") == std::string::npos)
    throw host::Error("the SQL query is empty");
  const std::optional<std::string> role = QueryRole(db);
  const ReadOnlyScope read_only(db);
  if (role) db.Execute("SET LOCAL ROLE " + QuotedIdentifier(*role));
  PgResult described = PrepareDescribed(db, query.sql);
  if (PQnfields(described.get()) == 0) throw host::Error(kReadOnlyOnly);
  if (query.needs_sqlite_compound_order) {
    const std::string ordered = OrderedAsSqliteCompound(query.sql, PQnfields(described.get()),
                                                        TextColumns(described.get()));
    described = PrepareDescribed(db, ordered);
  }
  PgResult rows(PQexecPrepared(db.Connection(), "", 0, nullptr, nullptr, nullptr, 0), PQclear);
  if (PQresultStatus(rows.get()) != PGRES_TUPLES_OK) FailQuery(db, rows.get());
  std::vector<std::string> names = AnswerNames(query, rows.get());
  return Statement(std::make_unique<PgRows>(std::move(rows), std::move(names)), db.Location());
}

}  // namespace orba::store
