// Adapting queries in SQLite's dialect to PostgreSQL's. The cases of
// cases/postgres_dialect.txt give the query and the PostgreSQL text, prefixed with
// "sorted: " when the rows must then be sorted as SQLite sorts a compound, or the
// error's message. Each query that adapts is also prepared by SQLite on a schema
// with mixed-case declared names, and the column names the adaptation gives must be
// those SQLite gives.
#include "orba/store/postgres_dialect.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <memory>
#include <stdexcept>

#include "support/case_lines.h"

namespace orba::store {
namespace {

using Case = testing_support::CaseLine;
using Database = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

constexpr const char* kSchema =
    "CREATE TABLE t_object(Object_ID INTEGER PRIMARY KEY, Name TEXT, Stereotype TEXT,"
    " Object_Type TEXT);"
    "CREATE TABLE t_connector(Connector_ID INTEGER PRIMARY KEY, Connector_Type TEXT,"
    " orba_guid TEXT, Stereotype TEXT, Start_Object_ID INTEGER, End_Object_ID INTEGER);";

Database SchemaDatabase() {
  sqlite3* db = nullptr;
  sqlite3_open(":memory:", &db);
  Database database(db, &sqlite3_close);
  EXPECT_EQ(sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr), SQLITE_OK);
  return database;
}

// The declared names of the schema's columns by their lower-case names, as SQLite reports them.
std::map<std::string, std::string, std::less<>> DeclaredColumns(sqlite3* db) {
  std::map<std::string, std::string, std::less<>> columns;
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(
      db, "SELECT lower(p.name), p.name FROM sqlite_schema s, pragma_table_info(s.name) p", -1,
      &statement, nullptr);
  while (sqlite3_step(statement) == SQLITE_ROW) {
    columns[reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))] =
        reinterpret_cast<const char*>(sqlite3_column_text(statement, 1));
  }
  sqlite3_finalize(statement);
  return columns;
}

// What the case file says for `sql`.
std::string Answer(const std::string& sql, const DeclaredColumn& declared_column) {
  try {
    const PostgresQuery query = AdaptForPostgres(sql, declared_column);
    return (query.needs_sqlite_compound_order ? "sorted: " : "") + query.sql;
  } catch (const std::invalid_argument& error) {
    return error.what();
  }
}

std::vector<std::string> SqliteNames(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK)
      << sqlite3_errmsg(db);
  std::vector<std::string> names;
  for (int column = 0; column < sqlite3_column_count(statement); ++column) {
    names.push_back(sqlite3_column_name(statement, column));
  }
  sqlite3_finalize(statement);
  return names;
}

// `names` with those from `first_star` up to `after_stars` made one "*": how many columns
// a `*` item stands for is the schema's business, not the adaptation's.
std::vector<std::string> StarsMerged(std::vector<std::string> names, size_t first_star,
                                     size_t after_stars) {
  if (first_star >= after_stars || after_stars > names.size()) return names;
  names.erase(names.begin() + first_star, names.begin() + after_stars);
  names.insert(names.begin() + first_star, "*");
  return names;
}

class PostgresDialectTest : public ::testing::TestWithParam<Case> {};

TEST_P(PostgresDialectTest, AdaptsAsTheCaseSaysAndNamesColumnsAsSqliteDoes) {
  const Case& c = GetParam();
  const Database db = SchemaDatabase();
  const auto declared = DeclaredColumns(db.get());
  const DeclaredColumn declared_column = [&declared](std::string_view lower_name) {
    const auto found = declared.find(lower_name);
    return found == declared.end() ? std::nullopt : std::optional(found->second);
  };
  EXPECT_EQ(Answer(c.input, declared_column), c.answer);
  if (c.answer.starts_with("unterminated")) return;
  const std::vector<std::optional<std::string>> names =
      AdaptForPostgres(c.input, declared_column).column_names;
  // Items before the first `*` item and after the last one must name SQLite's columns
  // one for one, counted from the left and from the right.
  std::vector<std::string> given;
  for (const std::optional<std::string>& name : names) given.push_back(name.value_or("*"));
  const size_t first_star = std::find(names.begin(), names.end(), std::nullopt) - names.begin();
  const size_t after_stars = names.rend() - std::find(names.rbegin(), names.rend(), std::nullopt);
  const std::vector<std::string> expected = SqliteNames(db.get(), c.input);
  const size_t named_after_stars = names.size() - std::max(after_stars, first_star);
  EXPECT_EQ(StarsMerged(given, first_star, after_stars),
            StarsMerged(expected, first_star,
                        expected.size() - std::min(named_after_stars, expected.size())));
}

INSTANTIATE_TEST_SUITE_P(Cases, PostgresDialectTest,
                         ::testing::ValuesIn(testing_support::ReadCaseLines(
                             TESSARY_SOURCE_ROOT "/tests/orba/store/cases", "postgres_dialect")),
                         [](const auto& info) { return info.param.name; });

TEST(PostgresDialect, SortsACompoundByEveryColumnWithNullsFirstAndTextByBytes) {
  EXPECT_EQ(OrderedAsSqliteCompound("SELECT a, b, c FROM t -- note", 3, {false, true}),
            "SELECT * FROM (SELECT a, b, c FROM t -- note\n) AS orba_compound(c1, c2, c3) "
            "ORDER BY c1 NULLS FIRST, c2 COLLATE \"C\" NULLS FIRST, c3 NULLS FIRST");
}

}  // namespace
}  // namespace orba::store
