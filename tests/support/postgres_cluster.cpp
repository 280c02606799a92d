#include "support/postgres_cluster.h"

#include <libpq-fe.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <vector>

namespace testing_support {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPassword = "tessary-test-password";

fs::path BinaryFolder() {
  const char* configured = std::getenv("TESSARY_POSTGRES_BIN");
  return configured ? configured : "/usr/lib/postgresql/15/bin";
}

// The user the server runs as: the caller, or `postgres` for root.
const passwd* ServerUser() {
  if (geteuid() != 0) return nullptr;
  const passwd* user = getpwnam("postgres");
  if (!user) throw std::runtime_error("tests run as root need the user postgres");
  return user;
}

// Runs a program of the server as its user; throws with `what` when it fails.
void RunServerProgram(std::vector<std::string> arguments, const std::string& what) {
  if (ServerUser()) arguments.insert(arguments.begin(), {"runuser", "-u", "postgres", "--"});
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    freopen("/dev/null", "w", stdout);  // initdb tells what it does; failures go to stderr
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) < 0 || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    throw std::runtime_error("cannot " + what + " the test PostgreSQL cluster");
  }
}

void GiveToServerUser(const fs::path& path) {
  if (const passwd* user = ServerUser()) {
    if (chown(path.c_str(), user->pw_uid, user->pw_gid) != 0)
      throw std::runtime_error("cannot give " + path.string() + " to postgres");
  }
}

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream(path) << text;
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
}

void InitializeCluster(const fs::path& folder) {
  fs::create_directory(folder);
  GiveToServerUser(folder);
  const fs::path password = folder / "admin-password";
  WriteFile(password, std::string(kPassword) + "\n");
  GiveToServerUser(password);
  RunServerProgram(
      {(BinaryFolder() / "initdb").string(), "-D", (folder / "data").string(), "-U",
       PostgresCluster::kAdmin, "--pwfile", password.string(), "--auth", "scram-sha-256", "-E",
       "UTF8", "--no-sync", "--no-instructions", "--locale", "C.UTF-8"},
      "create");
  fs::remove(password);
}

void StartServer(const fs::path& folder) {
  const std::string options = "-k " + folder.string() +
                              " -c listen_addresses='' -c fsync=off -c full_page_writes=off"
                              " -c max_connections=60";
  RunServerProgram({(BinaryFolder() / "pg_ctl").string(), "-D", (folder / "data").string(), "-o",
                    options, "-l", (folder / "server.log").string(), "-w", "-s", "start"},
                   "start");
}

void CreateRolesAndDatabase(const PostgresCluster& cluster) {
  const std::string password = std::string(" LOGIN PASSWORD '") + kPassword + "'";
  cluster.RunSql(std::string("CREATE ROLE ") + PostgresCluster::kWriter + password + ";" +
                 "CREATE ROLE " + PostgresCluster::kReader + password);
  // CREATE DATABASE runs alone, outside a transaction.
  cluster.RunSql(std::string("CREATE DATABASE ") + PostgresCluster::kDatabase + " OWNER " +
                 PostgresCluster::kWriter);
}

}  // namespace

PostgresCluster::PostgresCluster(fs::path folder, bool owned)
    : folder_(std::move(folder)), password_file_(folder_ / "pgpass"), owned_(owned) {}

PostgresCluster::PostgresCluster(PostgresCluster&& other) noexcept
    : folder_(other.folder_), password_file_(other.password_file_), owned_(other.owned_) {
  other.owned_ = false;
}

PostgresCluster::~PostgresCluster() {
  if (!owned_) return;
  try {
    Stop(folder_);
  } catch (const std::exception&) {
    // A cluster that does not stop is left for the system's cleaning.
  }
}

PostgresCluster PostgresCluster::Start(const fs::path& folder, bool owned) {
  InitializeCluster(folder);
  PostgresCluster cluster(folder, owned);
  WriteFile(cluster.password_file_, "*:*:*:*:" + std::string(kPassword) + "\n");
  StartServer(folder);
  setenv("PGPASSFILE", cluster.password_file_.c_str(), 1);
  CreateRolesAndDatabase(cluster);
  return cluster;
}

PostgresCluster PostgresCluster::Attach(const fs::path& folder) {
  return PostgresCluster(folder, false);
}

void PostgresCluster::Stop(const fs::path& folder) {
  if (fs::exists(folder / "data" / "postmaster.pid")) {
    RunServerProgram({(BinaryFolder() / "pg_ctl").string(), "-D", (folder / "data").string(), "-m",
                      "immediate", "-w", "-s", "stop"},
                     "stop");
  }
  fs::remove_all(folder);
}

std::string PostgresCluster::Uri(const std::string& role, const std::string& schema) const {
  std::string uri =
      std::string("postgresql:///") + kDatabase + "?host=" + folder_.string() + "&user=" + role;
  if (!schema.empty()) uri += "&options=-csearch_path%3D" + schema;
  return uri;
}

std::string PostgresCluster::NewModelUri() {
  static std::atomic<int> next{0};
  const std::string schema = "model_" + std::to_string(getpid()) + "_" + std::to_string(++next);
  return Uri(kWriter, schema);
}

void PostgresCluster::RunSql(const std::string& sql, const std::string& database) const {
  const std::string uri =
      "postgresql:///" + database + "?host=" + folder_.string() + "&user=" + kAdmin;
  std::unique_ptr<PGconn, decltype(&PQfinish)> connection(PQconnectdb(uri.c_str()), PQfinish);
  if (PQstatus(connection.get()) != CONNECTION_OK)
    throw std::runtime_error(std::string("test cluster: ") + PQerrorMessage(connection.get()));
  PQsetNoticeProcessor(
      connection.get(), [](void*, const char*) {}, nullptr);
  std::unique_ptr<PGresult, decltype(&PQclear)> result(PQexec(connection.get(), sql.c_str()),
                                                       PQclear);
  if (PQresultStatus(result.get()) != PGRES_COMMAND_OK &&
      PQresultStatus(result.get()) != PGRES_TUPLES_OK) {
    throw std::runtime_error(std::string("test cluster: ") + PQerrorMessage(connection.get()));
  }
}

namespace {

// The folder of a cluster already running for this test run: the one
// TESSARY_TEST_POSTGRES names, else the ctest run's; "" when none runs.
fs::path RunningClusterFolder() {
  const char* named = std::getenv("TESSARY_TEST_POSTGRES");
  const fs::path folder = named && *named ? named : TESSARY_TEST_POSTGRES;
  if (folder.empty() || !fs::exists(folder / "data" / "postmaster.pid")) return {};
  return folder;
}

}  // namespace

PostgresCluster& SharedPostgresCluster() {
  static PostgresCluster cluster = [] {
    if (const fs::path running = RunningClusterFolder(); !running.empty()) {
      PostgresCluster attached = PostgresCluster::Attach(running);
      setenv("PGPASSFILE", attached.PasswordFile().c_str(), 1);
      return attached;
    }
    const fs::path folder =
        fs::temp_directory_path() / ("tessary-postgres-" + std::to_string(getpid()));
    return PostgresCluster::Start(folder, true);
  }();
  return cluster;
}

}  // namespace testing_support
