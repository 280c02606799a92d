#include "orba/store/sql_query.h"

#include <set>
#include <string_view>
#include <vector>

#include "base/xml_escape.h"
#include "host/error.h"
#include "orba/store/postgres_query.h"
#include "orba/store/sqlite_database.h"
#include "orba/store/xml_text.h"

namespace orba::store {
namespace {

// Fails unless the text from `tail` to `end` holds no statement.
void RefuseTrailingStatement(SqliteDatabase& db, const char* tail, const char* end) {
  sqlite3_stmt* next = nullptr;
  int result = sqlite3_prepare_v2(db.Handle(), tail, static_cast<int>(end - tail), &next, nullptr);
  bool has_statement = next != nullptr;
  sqlite3_finalize(next);
  if (result != SQLITE_OK || has_statement) {
    throw host::Error("the SQL query service runs one statement only");
  }
}

// Pragmas that only read what the file says about itself.
bool IsReadingPragma(const char* name, const char* value) {
  static const std::set<std::string, std::less<>> kDescribing = {
      "table_info", "table_xinfo", "table_list", "index_list", "index_info", "foreign_key_list"};
  if (name == nullptr) return false;
  const std::string_view pragma(name);
  if (pragma == "user_version" || pragma == "application_id")
    return value == nullptr;  // read, not set
  return kDescribing.contains(pragma);
}

// While a query is prepared only reading is authorized: any change, and any
// other pragma (some write the file, as "PRAGMA optimize" does), is refused.
int AuthorizeReadingOnly(void*, int action, const char* first, const char* second, const char*,
                         const char*) {
  switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_FUNCTION:
    case SQLITE_RECURSIVE: return SQLITE_OK;
    case SQLITE_PRAGMA: return IsReadingPragma(first, second) ? SQLITE_OK : SQLITE_DENY;
    default: return SQLITE_DENY;
  }
}

class ReadingOnly {
 public:
  explicit ReadingOnly(sqlite3* db) : db_(db) {
    sqlite3_set_authorizer(db_, AuthorizeReadingOnly, nullptr);
  }
  ~ReadingOnly() { sqlite3_set_authorizer(db_, nullptr, nullptr); }
  ReadingOnly(const ReadingOnly&) = delete;
  ReadingOnly& operator=(const ReadingOnly&) = delete;

 private:
  sqlite3* db_;
};

void RequireReadOnlyQuery(const SqliteStatement& statement) {
  if (!sqlite3_stmt_readonly(statement.Handle()) || statement.ColumnCount() == 0) {
    throw host::Error("the SQL query service runs read-only queries only");
  }
}

Statement PrepareQuery(SqliteDatabase& db, const std::string& sql) {
  const ReadingOnly reading_only(db.Handle());
  const char* tail = nullptr;
  try {
    auto statement = std::make_unique<SqliteStatement>(db.Handle(), sql, db.Location(), &tail);
    if (!statement->Handle()) throw host::Error("the SQL query is empty");
    RefuseTrailingStatement(db, tail, sql.data() + sql.size());
    RequireReadOnlyQuery(*statement);
    return Statement(std::move(statement), db.Location());
  } catch (const StoreError&) {
    if (sqlite3_errcode(db.Handle()) == SQLITE_AUTH) {
      throw host::Error("the SQL query service runs read-only queries only");
    }
    throw;
  }
}

std::vector<std::string> ColumnElementNames(const Statement& statement) {
  std::vector<std::string> names;
  for (int column = 0; column < statement.ColumnCount(); ++column) {
    names.push_back(ToXmlName(statement.ColumnName(column)));
  }
  return names;
}

void AppendRowXml(const Statement& statement, const std::vector<std::string>& names,
                  std::string& answer) {
  answer += "<Row>";
  for (int column = 0; column < statement.ColumnCount(); ++column) {
    const std::string& name = names[static_cast<size_t>(column)];
    answer += '<';
    answer += name;
    answer += '>';
    answer += base::EscapeXml(statement.Text(column), base::XmlEscaping::kText);
    answer += "</";
    answer += name;
    answer += '>';
  }
  answer += "</Row>";
}

}  // namespace

std::string ExecuteReadOnlyQuery(Database& db, const std::string& sql) {
  auto* repository = dynamic_cast<PgDatabase*>(&db);
  Statement statement =
      repository ? RunPostgresQuery(*repository, sql) : PrepareQuery(SqliteOf(db), sql);
  std::vector<std::string> names = ColumnElementNames(statement);
  std::string answer = "<?xml version=\"1.0\"?><OrbaData><Dataset_0><Data>";
  try {
    while (statement.Step()) AppendRowXml(statement, names, answer);
  } catch (const StoreError& error) {
    throw host::Error(std::string("SQL query failed: ") + error.what());
  }
  return answer + "</Data></Dataset_0></OrbaData>";
}

}  // namespace orba::store
