#include "orba/store/postgres_schema.h"

#include <regex>
#include <sstream>

#include "base/text.h"
#include "orba/store/schema.h"

namespace orba::store {
namespace {

// One CREATE TABLE statement of the model schema, as PostgreSQL needs it.
struct TableDefinition {
  std::string name;
  std::string id_column;  // "" for a table without an integer key
  std::string sql;
};

// The model's tables, with their text columns compared byte by byte (as
// SQLite compares) and a rowid for the tables that have no integer key.
std::vector<TableDefinition> PostgresTables() {
  static const std::regex kCreate(R"(CREATE TABLE (\w+) \(([^;]*)\);)");
  static const std::regex kIntegerKey(R"((\w+) INTEGER PRIMARY KEY)");
  static const std::regex kText(R"(\bTEXT\b)");
  std::vector<TableDefinition> tables;
  const std::string all = ModelTablesSql();
  for (std::sregex_iterator it(all.begin(), all.end(), kCreate), end; it != end; ++it) {
    TableDefinition table{(*it)[1], "", ""};
    std::string columns = std::regex_replace((*it)[2].str(), kText, "TEXT COLLATE \"C\"");
    std::smatch key;
    if (std::regex_search(columns, key, kIntegerKey)) {
      table.id_column = key[1];
    } else {
      columns += ",\n  rowid BIGSERIAL";
    }
    table.sql = "CREATE TABLE " + table.name + " (" + columns + ");\n";
    tables.push_back(std::move(table));
  }
  return tables;
}

// A trigger that gives a row inserted with a NULL id the largest id plus
// one. It takes the model's write lock first, so two writers never pick the
// same id.
std::string NextIdTrigger(const TableDefinition& table) {
  const std::string function = "orba_next_" + table.name + "_id";
  return "CREATE FUNCTION " + function +
         "() RETURNS trigger LANGUAGE plpgsql AS $$\n"
         "BEGIN\n"
         "  IF NEW." +
         table.id_column +
         " IS NULL THEN\n"
         "    LOCK TABLE orba_meta IN EXCLUSIVE MODE;\n"
         "    SELECT coalesce(max(" +
         table.id_column + "), 0) + 1 INTO NEW." + table.id_column + " FROM " + table.name +
         ";\n"
         "  END IF;\n"
         "  RETURN NEW;\n"
         "END $$;\n"
         "CREATE TRIGGER " +
         table.name + "_next_id BEFORE INSERT ON " + table.name +
         " FOR EACH ROW EXECUTE FUNCTION " + function + "();\n";
}

// SQLite compares a text with a number as its column's affinity says: a
// text column compares the number as text, an integer column the text as a
// number when it reads as one (and never equal when it does not). The model's
// schema gives PostgreSQL the same = and <> between text and integer, so that
// queries written for SQLite (Abstract = 1, Object_ID = '12') answer alike.
constexpr const char* kLooseComparisons = R"sql(
CREATE FUNCTION orba_text_equals_integer(text, integer) RETURNS boolean
  LANGUAGE sql IMMUTABLE AS 'SELECT $1 = $2::text';
CREATE FUNCTION orba_integer_equals_text(integer, text) RETURNS boolean
  LANGUAGE sql IMMUTABLE AS
  'SELECT CASE WHEN $2 ~ ''^\s*[-+]?[0-9]+\s*$'' THEN $1 = $2::numeric ELSE false END';
CREATE FUNCTION orba_text_differs_from_integer(text, integer) RETURNS boolean
  LANGUAGE sql IMMUTABLE AS 'SELECT NOT orba_text_equals_integer($1, $2)';
CREATE FUNCTION orba_integer_differs_from_text(integer, text) RETURNS boolean
  LANGUAGE sql IMMUTABLE AS 'SELECT NOT orba_integer_equals_text($1, $2)';
CREATE OPERATOR = (LEFTARG = text, RIGHTARG = integer, FUNCTION = orba_text_equals_integer,
                   COMMUTATOR = =, NEGATOR = <>);
CREATE OPERATOR = (LEFTARG = integer, RIGHTARG = text, FUNCTION = orba_integer_equals_text,
                   COMMUTATOR = =, NEGATOR = <>);
CREATE OPERATOR <> (LEFTARG = text, RIGHTARG = integer,
                    FUNCTION = orba_text_differs_from_integer, COMMUTATOR = <>, NEGATOR = =);
CREATE OPERATOR <> (LEFTARG = integer, RIGHTARG = text,
                    FUNCTION = orba_integer_differs_from_text, COMMUTATOR = <>, NEGATOR = =);
)sql";

std::string FirstAnswer(PgDatabase& db, const std::string& sql) {
  Statement statement = db.Prepare(sql);
  return statement.Step() ? statement.Text(0) : std::string();
}

// The schema the search_path puts first ("" for the user's own, "$user").
std::string FirstSearchPathSchema(PgDatabase& db) {
  static const std::regex kFirst(R"(^\s*("(?:[^"]|"")*"|[^,\s]+))");
  const std::string path = FirstAnswer(db, "SELECT current_setting('search_path')");
  std::smatch first;
  if (!std::regex_search(path, first, kFirst) || first[1] == "\"$user\"" || first[1] == "$user")
    return "";
  return first[1];
}

bool HoldsModel(PgDatabase& db) {
  return FirstAnswer(db, "SELECT to_regclass('orba_meta') IS NOT NULL") == "t";
}

}  // namespace

std::string PostgresModelSchemaSql() {
  std::ostringstream sql;
  const std::vector<TableDefinition> tables = PostgresTables();
  for (const TableDefinition& table : tables) sql << table.sql;
  for (const std::string& index : ModelIndexesSql()) sql << index << ";\n";
  for (const TableDefinition& table : tables) {
    if (!table.id_column.empty()) sql << NextIdTrigger(table);
  }
  sql << kLooseComparisons;
  sql << "INSERT INTO orba_meta (Name, Value) VALUES ('schema_version', '" << kSchemaVersion
      << "');\n";
  return sql.str();
}

std::unique_ptr<PgDatabase> CreateRepositoryModel(const std::string& uri) {
  auto db = std::make_unique<PgDatabase>(uri, PgDatabase::Access::kReadWrite);
  db->Execute("BEGIN");
  const std::string schema = FirstSearchPathSchema(*db);
  if (!schema.empty()) db->Execute("CREATE SCHEMA IF NOT EXISTS " + schema);
  if (HoldsModel(*db)) {
    db->Execute("ROLLBACK");
    throw StoreError("model repository already holds a model: " + db->Location());
  }
  db->Execute(PostgresModelSchemaSql());
  db->Execute("COMMIT");
  return db;
}

void DropRepositoryModel(const std::string& uri) {
  PgDatabase db(uri, PgDatabase::Access::kReadWrite);
  std::string drop = "BEGIN;\n";
  for (const TableDefinition& table : PostgresTables()) {
    drop += "DROP TABLE IF EXISTS " + table.name + ";\n";
    if (!table.id_column.empty())
      drop += "DROP FUNCTION IF EXISTS orba_next_" + table.name + "_id();\n";
  }
  for (const char* function :
       {"orba_text_equals_integer(text, integer)", "orba_integer_equals_text(integer, text)",
        "orba_text_differs_from_integer(text, integer)",
        "orba_integer_differs_from_text(integer, text)"}) {
    drop += std::string("DROP FUNCTION IF EXISTS ") + function + " CASCADE;\n";
  }
  db.Execute(drop + "COMMIT");
}

void CheckRepositoryModel(PgDatabase& db) {
  for (const TableDefinition& table : PostgresTables()) {
    if (!db.HasTable(table.name)) {
      throw StoreError("model repository is damaged: " + db.Location() + " (table " + table.name +
                       " is missing)");
    }
  }
}

std::unique_ptr<PgDatabase> OpenRepositoryModel(const std::string& uri, PgDatabase::Access access) {
  auto db = std::make_unique<PgDatabase>(uri, access);
  if (!HoldsModel(*db)) throw StoreError("no Orba model in repository " + db->Location());
  const std::string version =
      FirstAnswer(*db, "SELECT Value FROM orba_meta WHERE Name = 'schema_version'");
  const std::optional<int64_t> number = base::IntegerOfText(version);
  if (!number || *number < 1) {
    throw StoreError("model repository is damaged: " + db->Location() + " (no schema version)");
  }
  if (*number > kSchemaVersion) {
    throw StoreError("model repository " + db->Location() + " has schema version " + version +
                     ", newer than this host reads (" + std::to_string(kSchemaVersion) + ")");
  }
  return db;
}

}  // namespace orba::store
