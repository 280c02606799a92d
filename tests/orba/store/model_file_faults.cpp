#include "orba/store/model_file_faults.h"

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <stdexcept>

namespace orba::store::testing {
namespace {

// More pages than the cache holds, so the journal is written and synced and
// changed pages reach the model file while the transaction is still open.
constexpr char kUnfinishedWrite[] =
    "PRAGMA cache_size = 10; BEGIN;"
    "UPDATE t_object SET Name = 'changed';"
    "CREATE TABLE junk (x);"
    "INSERT INTO junk WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500)"
    "  SELECT randomblob(1000) FROM n;";

}  // namespace

void InterruptWriteTo(const std::string& path) {
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("cannot start a writer process");
  if (child == 0) {  // the writer, killed before it commits
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
        sqlite3_exec(db, kUnfinishedWrite, nullptr, nullptr, nullptr) == SQLITE_OK) {
      raise(SIGKILL);
    }
    _exit(1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGKILL) {
    throw std::runtime_error("the writer of " + path + " failed before it was killed");
  }
  if (!std::filesystem::exists(path + "-journal")) {
    throw std::runtime_error("the killed writer of " + path + " left no journal");
  }
}

void ExecuteOn(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  const bool done =
      sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
      sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  const std::string error = sqlite3_errmsg(db);
  sqlite3_close(db);
  if (!done) throw std::runtime_error("cannot run \"" + sql + "\" on " + path + ": " + error);
}

}  // namespace orba::store::testing
