#include "orba/store/schema.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/files.h"
#include "orba/store/postgres_schema.h"
#include "orba/store/sqlite_database.h"

namespace orba::store {
namespace {

// t_object and t_connector keep the column names that SQL searches of add-ins
// rely on. Every package also has its element in t_object (type "Package").
// The host's order of every collection is the order of the rows' ids.
// orba_item_field holds what models from other tools bring beside the fixed
// columns (an item's xmi:id, its UML kind, further stereotypes, a connector's
// name and end roles); files made before it existed lack the table and read
// as having none of these fields, so its arrival needs no new schema version.
// The same holds for t_diagramobjects and t_diagramlinks, a diagram's
// contents: a diagram of an older file shows nothing.
constexpr const char* kTables = R"sql(
CREATE TABLE orba_meta (
  Name TEXT PRIMARY KEY,
  Value TEXT NOT NULL);
CREATE TABLE t_object (
  Object_ID INTEGER PRIMARY KEY,
  Object_Type TEXT NOT NULL,
  Name TEXT NOT NULL DEFAULT '',
  Stereotype TEXT,
  Metatype TEXT,
  Notes TEXT NOT NULL DEFAULT '',
  Abstract TEXT NOT NULL DEFAULT '0',
  Multiplicity TEXT NOT NULL DEFAULT '',
  Package_ID INTEGER NOT NULL DEFAULT 0,
  ParentID INTEGER NOT NULL DEFAULT 0,
  Classifier INTEGER NOT NULL DEFAULT 0,
  PropertyType INTEGER NOT NULL DEFAULT 0,
  orba_guid TEXT NOT NULL,
  Model_Key TEXT);
CREATE TABLE t_package (
  Package_ID INTEGER PRIMARY KEY,
  Name TEXT NOT NULL,
  Parent_ID INTEGER NOT NULL DEFAULT 0,
  Object_ID INTEGER NOT NULL UNIQUE,
  Model_Key TEXT);
CREATE TABLE t_objectproperties (
  PropertyID INTEGER PRIMARY KEY,
  Object_ID INTEGER NOT NULL,
  Property TEXT NOT NULL,
  Value TEXT NOT NULL DEFAULT '');
CREATE TABLE t_attribute (
  ID INTEGER PRIMARY KEY,
  Object_ID INTEGER NOT NULL,
  Name TEXT NOT NULL,
  Type TEXT NOT NULL DEFAULT '');
CREATE TABLE t_operation (
  OperationID INTEGER PRIMARY KEY,
  Object_ID INTEGER NOT NULL,
  Name TEXT NOT NULL,
  Stereotype TEXT,
  orba_guid TEXT NOT NULL);
CREATE TABLE t_operationparams (
  ParamID INTEGER PRIMARY KEY,
  OperationID INTEGER NOT NULL,
  Name TEXT NOT NULL,
  Type TEXT NOT NULL DEFAULT '');
CREATE TABLE t_connector (
  Connector_ID INTEGER PRIMARY KEY,
  Connector_Type TEXT NOT NULL,
  Stereotype TEXT,
  Start_Object_ID INTEGER NOT NULL,
  End_Object_ID INTEGER NOT NULL,
  SourceAggregation INTEGER NOT NULL DEFAULT 0,
  DestAggregation INTEGER NOT NULL DEFAULT 0,
  orba_guid TEXT NOT NULL,
  Model_Key TEXT);
CREATE TABLE t_connectortag (
  PropertyID INTEGER PRIMARY KEY,
  Connector_ID INTEGER NOT NULL,
  Property TEXT NOT NULL,
  Value TEXT NOT NULL DEFAULT '');
CREATE TABLE t_diagram (
  Diagram_ID INTEGER PRIMARY KEY,
  Package_ID INTEGER NOT NULL,
  Name TEXT NOT NULL,
  Diagram_Type TEXT NOT NULL,
  Display_Flags INTEGER NOT NULL DEFAULT 0);
CREATE TABLE t_technology (
  Technology_ID TEXT NOT NULL UNIQUE,
  Document TEXT NOT NULL,
  Visible INTEGER);
CREATE TABLE t_perspective (
  Name TEXT NOT NULL UNIQUE,
  Document TEXT NOT NULL);
CREATE TABLE t_diagramobjects (
  Instance_ID INTEGER PRIMARY KEY,
  Diagram_ID INTEGER NOT NULL,
  Object_ID INTEGER NOT NULL,
  RectLeft INTEGER,
  RectTop INTEGER,
  RectRight INTEGER,
  RectBottom INTEGER);
CREATE TABLE t_diagramlinks (
  Instance_ID INTEGER PRIMARY KEY,
  Diagram_ID INTEGER NOT NULL,
  Connector_ID INTEGER NOT NULL,
  Hidden INTEGER NOT NULL DEFAULT 0);
CREATE TABLE orba_item_field (
  Item_Kind TEXT NOT NULL,
  Item_ID INTEGER NOT NULL,
  Field TEXT NOT NULL,
  Value TEXT NOT NULL);
)sql";

// The indexes of the model's tables. Files made before the GUID indexes had
// names hold the same uniqueness as column constraints.
struct IndexDefinition {
  const char* name;
  const char* sql;
};
constexpr IndexDefinition kIndexes[] = {
    {"t_object_guid", "CREATE UNIQUE INDEX t_object_guid ON t_object (orba_guid)"},
    {"t_operation_guid", "CREATE UNIQUE INDEX t_operation_guid ON t_operation (orba_guid)"},
    {"t_connector_guid", "CREATE UNIQUE INDEX t_connector_guid ON t_connector (orba_guid)"},
    {"t_object_parent", "CREATE INDEX t_object_parent ON t_object (ParentID)"},
    {"t_object_package", "CREATE INDEX t_object_package ON t_object (Package_ID)"},
    {"t_objectproperties_object",
     "CREATE INDEX t_objectproperties_object ON t_objectproperties (Object_ID)"},
    {"t_attribute_object", "CREATE INDEX t_attribute_object ON t_attribute (Object_ID)"},
    {"t_operation_object", "CREATE INDEX t_operation_object ON t_operation (Object_ID)"},
    {"t_operationparams_operation",
     "CREATE INDEX t_operationparams_operation ON t_operationparams (OperationID)"},
    {"t_connector_start", "CREATE INDEX t_connector_start ON t_connector (Start_Object_ID)"},
    {"t_connector_end", "CREATE INDEX t_connector_end ON t_connector (End_Object_ID)"},
    {"t_connectortag_connector",
     "CREATE INDEX t_connectortag_connector ON t_connectortag (Connector_ID)"},
    {"t_diagramobjects_diagram",
     "CREATE INDEX t_diagramobjects_diagram ON t_diagramobjects (Diagram_ID)"},
    {"t_diagramlinks_diagram",
     "CREATE INDEX t_diagramlinks_diagram ON t_diagramlinks (Diagram_ID)"},
    {"orba_item_field_item",
     "CREATE INDEX orba_item_field_item ON orba_item_field (Item_Kind, Item_ID)"},
};

// The fields of an SQLite file header (its first 100 bytes) that identify a model.
struct FileHeader {
  bool is_sqlite = false;
  int32_t user_version = 0;
  int32_t application_id = 0;
};

int32_t BigEndianAt(const unsigned char* bytes, size_t offset) {
  return static_cast<int32_t>((uint32_t{bytes[offset]} << 24) |
                              (uint32_t{bytes[offset + 1]} << 16) |
                              (uint32_t{bytes[offset + 2]} << 8) | uint32_t{bytes[offset + 3]});
}

[[noreturn]] void FailOpen(const std::string& path, const std::string& reason) {
  throw StoreError("cannot open model file " + path + ": " + reason);
}

[[noreturn]] void FailRead(const std::string& path, const std::string& reason) {
  throw StoreError("cannot read model file " + path + ": " + reason);
}

// Refuses a path that names no file, or a folder, FIFO, device or socket.
void RequireRegularFile(const std::string& path) {
  const base::FileKind kind = base::KindOf(base::OperatingSystem(), path);
  if (kind == base::FileKind::kMissing) FailOpen(path, "no such file");
  // kOther: the path could not be examined; opening it tells why.
  if (kind != base::FileKind::kRegular && kind != base::FileKind::kOther) {
    FailOpen(path, "it is " + std::string(base::DescribeKind(kind)));
  }
}

// The first bytes of the file; zeros where the file is shorter. O_NONBLOCK:
// a FIFO that took the file's place must not wait for a writer.
std::array<unsigned char, 100> ReadHeaderBytes(const std::string& path) {
  RequireRegularFile(path);
  base::FileSystem& fs = base::OperatingSystem();
  const int fd = fs.Open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0);
  if (fd < 0) FailRead(path, std::strerror(errno));
  std::array<unsigned char, 100> bytes{};
  struct stat status {};
  const bool regular = fs.Fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
  const ssize_t count = regular ? fs.Read(fd, bytes.data(), bytes.size()) : 0;
  const int read_error = errno;
  fs.Close(fd);
  if (!regular) FailOpen(path, "it is not a regular file");
  if (count < 0) FailRead(path, std::strerror(read_error));
  return bytes;
}

FileHeader ReadFileHeader(const std::string& path) {
  const std::array<unsigned char, 100> bytes = ReadHeaderBytes(path);
  constexpr std::string_view kMagic("SQLite format 3\0", 16);
  if (std::string_view(reinterpret_cast<const char*>(bytes.data()), kMagic.size()) != kMagic) {
    return FileHeader{};
  }
  return FileHeader{true, BigEndianAt(bytes.data(), 60), BigEndianAt(bytes.data(), 68)};
}

// A statement that reads the file, as the first read after opening does.
int ReadFile(SqliteDatabase& db) {
  return sqlite3_exec(db.Handle(), "PRAGMA schema_version", nullptr, nullptr, nullptr);
}

// Whether the model was left mid-write by a writer that ended without
// committing or rolling back (a hot journal beside it): a connection that
// cannot write then refuses to read it.
bool NeedsRollback(SqliteDatabase& db) { return ReadFile(db) == SQLITE_READONLY_ROLLBACK; }

// Rolls back the interrupted write through a connection that may write: its
// first read does that.
void RollBackInterruptedWrite(const std::string& path) {
  const std::string problem = "a write to it was interrupted, and rolling that back ";
  SqliteDatabase db(path, SQLITE_OPEN_READWRITE, path);
  if (db.IsReadOnly()) FailRead(path, problem + "needs write access to the file and its folder");
  if (ReadFile(db) != SQLITE_OK) {
    FailRead(path, problem + "failed (" + sqlite3_errmsg(db.Handle()) + ")");
  }
}

// A disk that fails to read says nothing about the file's contents.
bool IsReadError(int sqlite_code) { return (sqlite_code & 0xFF) == SQLITE_IOERR; }

[[noreturn]] void FailDamaged(const std::string& path, const std::string& problem) {
  throw StoreError("model file is damaged: " + path + " (" + problem + ")");
}

// Runs `read` on the file; a failure to read names a file another process
// holds, a disk that fails, or damage.
template <class Read>
auto Reading(SqliteDatabase& db, Read read) {
  try {
    return read();
  } catch (const StoreError&) {
    if (IsBusy(db.Handle())) throw;  // in use, not damaged
    if (IsReadError(sqlite3_extended_errcode(db.Handle())))
      FailRead(db.Location(), "disk I/O error");
    FailDamaged(db.Location(), sqlite3_errmsg(db.Handle()));
  }
}

// The first row of a statement that reads the file.
std::string FirstAnswer(SqliteDatabase& db, const char* sql) {
  return Reading(db, [&db, sql] {
    Statement statement = db.Prepare(sql);
    return statement.Step() ? statement.Text(0) : std::string();
  });
}

// The first answer as a number; 0 when there is none.
int64_t FirstNumber(SqliteDatabase& db, const char* sql) {
  const std::string answer = FirstAnswer(db, sql);
  return answer.empty() ? 0 : std::stoll(answer);
}

// The checks every open makes, in time that does not grow with the model:
// the file holds every page its header counts, and its schema lists the
// model's tables (orba_item_field is younger than the first model files).
void CheckStructure(SqliteDatabase& db) {
  const int64_t pages = FirstNumber(db, "PRAGMA page_count");
  const int64_t page_size = FirstNumber(db, "PRAGMA page_size");
  std::error_code error;
  const auto bytes = std::filesystem::file_size(db.Location(), error);
  if (!error && static_cast<uintmax_t>(pages * page_size) > bytes) {
    FailDamaged(db.Location(), "it is shorter than its header says: " + std::to_string(bytes) +
                                   " of " + std::to_string(pages * page_size) + " bytes");
  }
  const std::string tables = FirstAnswer(
      db,
      "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('orba_meta', "
      "'t_object', 't_package', 't_objectproperties', 't_attribute', 't_operation', "
      "'t_operationparams', 't_connector', 't_connectortag', 't_diagram', 't_technology', "
      "'t_perspective')");
  if (tables != "12") FailDamaged(db.Location(), "tables of the model are missing");
}

}  // namespace

const char* ModelTablesSql() { return kTables; }

std::vector<std::string> ModelIndexesSql() {
  std::vector<std::string> indexes;
  for (const IndexDefinition& index : kIndexes) indexes.emplace_back(index.sql);
  return indexes;
}

void CreateSchema(Database& db) {
  db.Execute("BEGIN");
  db.Execute(kTables);
  for (const IndexDefinition& index : kIndexes) db.Execute(index.sql);
  db.Execute("INSERT INTO orba_meta (Name, Value) VALUES ('schema_version', '" +
             std::to_string(kSchemaVersion) + "')");
  db.Execute("PRAGMA application_id = " + std::to_string(kApplicationId));
  db.Execute("PRAGMA user_version = " + std::to_string(kSchemaVersion));
  db.Execute("COMMIT");
}

void DropIndexes(Database& db) {
  for (const IndexDefinition& index : kIndexes)
    db.Execute(std::string("DROP INDEX IF EXISTS ") + index.name);
}

void CreateIndexes(Database& db) {
  // SQLite sorts an index's rows in runs the size of its page cache, with
  // up to this many threads beside the caller's; the default cache's runs
  // sort faster than one large run held in memory.
  db.Execute("PRAGMA threads = 1");
  db.Execute("BEGIN");
  for (const IndexDefinition& index : kIndexes) db.Execute(index.sql);
  db.Execute("COMMIT");
}

void CheckModelFileHeader(const std::string& path) {
  FileHeader header = ReadFileHeader(path);
  if (!header.is_sqlite || header.application_id != kApplicationId) {
    throw StoreError("not an Orba model file: " + path);
  }
  if (header.user_version > kSchemaVersion) {
    throw StoreError("model file " + path + " has schema version " +
                     std::to_string(header.user_version) + ", newer than this host reads (" +
                     std::to_string(kSchemaVersion) + ")");
  }
  if (header.user_version < 1)
    throw StoreError("model file is damaged: " + path + " (no schema version)");
}

std::unique_ptr<Database> OpenModelFile(const std::string& path, bool read_only) {
  CheckModelFileHeader(path);
  const int flags = read_only ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
  auto db = std::make_unique<SqliteDatabase>(path, flags, path);
  if (NeedsRollback(*db)) {
    db.reset();
    RollBackInterruptedWrite(path);
    db = std::make_unique<SqliteDatabase>(path, flags, path);
  }
  CheckStructure(*db);
  return db;
}

void CheckModelFileIntegrity(Database& model) {
  if (auto* repository = dynamic_cast<PgDatabase*>(&model))
    return CheckRepositoryModel(*repository);
  SqliteDatabase& db = SqliteOf(model);
  const std::string problems = Reading(db, [&db] {
    std::string found;
    Statement check = db.Prepare("PRAGMA integrity_check(10)");
    while (check.Step()) found += (found.empty() ? "" : "; ") + check.Text(0);
    return found;
  });
  if (problems != "ok") FailDamaged(db.Location(), problems);
}

}  // namespace orba::store
