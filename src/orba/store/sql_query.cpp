#include "orba/store/sql_query.h"

#include <vector>

#include "host/error.h"
#include "orba/store/xml_text.h"

namespace orba::store {
namespace {

// Fails unless the text from `tail` to `end` holds no statement.
void RefuseTrailingStatement(Database& db, const char* tail, const char* end) {
  sqlite3_stmt* next = nullptr;
  int result = sqlite3_prepare_v2(db.Handle(), tail, static_cast<int>(end - tail), &next, nullptr);
  bool has_statement = next != nullptr;
  sqlite3_finalize(next);
  if (result != SQLITE_OK || has_statement) {
    throw host::Error("the SQL query service runs one statement only");
  }
}

Statement PrepareQuery(Database& db, const std::string& sql) {
  const char* tail = nullptr;
  Statement statement(db.Handle(), sql, db.Location(), &tail);
  if (!statement.Handle()) throw host::Error("the SQL query is empty");
  RefuseTrailingStatement(db, tail, sql.data() + sql.size());
  return statement;
}

void RequireReadOnlyQuery(Statement& statement) {
  if (!sqlite3_stmt_readonly(statement.Handle()) || statement.ColumnCount() == 0) {
    throw host::Error("the SQL query service runs read-only queries only");
  }
}

std::vector<std::string> ColumnElementNames(const Statement& statement) {
  std::vector<std::string> names;
  for (int column = 0; column < statement.ColumnCount(); ++column) {
    names.push_back(ToXmlName(statement.ColumnName(column)));
  }
  return names;
}

std::string RowXml(const Statement& statement, const std::vector<std::string>& names) {
  std::string row = "<Row>";
  for (int column = 0; column < statement.ColumnCount(); ++column) {
    const std::string& name = names[static_cast<size_t>(column)];
    row += "<" + name + ">" + EscapeXmlText(statement.Text(column)) + "</" + name + ">";
  }
  return row + "</Row>";
}

}  // namespace

std::string ExecuteReadOnlyQuery(Database& db, const std::string& sql) {
  Statement statement = PrepareQuery(db, sql);
  RequireReadOnlyQuery(statement);
  std::vector<std::string> names = ColumnElementNames(statement);
  std::string answer = "<?xml version=\"1.0\"?><OrbaData><Dataset_0><Data>";
  try {
    while (statement.Step()) answer += RowXml(statement, names);
  } catch (const StoreError& error) {
    throw host::Error(std::string("SQL query failed: ") + error.what());
  }
  return answer + "</Data></Dataset_0></OrbaData>";
}

}  // namespace orba::store
