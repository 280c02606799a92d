// A throwaway PostgreSQL cluster for tests: Debian's initdb and pg_ctl in a
// folder of its own, listening on a Unix socket in that folder only, run as
// an unprivileged user (`postgres` when the tests run as root, since both
// refuse root). Logins need a password; the cluster writes a password file
// for its roles, and SharedPostgresCluster points PGPASSFILE at it, so URIs
// carry no password.
#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

class PostgresCluster {
 public:
  static constexpr const char* kAdmin = "tessary_admin";    // superuser
  static constexpr const char* kWriter = "tessary_writer";  // creates and writes models
  static constexpr const char* kReader = "tessary_reader";  // may only read
  static constexpr const char* kDatabase = "tessary";

  // Creates and starts a cluster in `folder` (which must not exist); with
  // `owned`, it is stopped and removed when the object goes.
  static PostgresCluster Start(const std::filesystem::path& folder, bool owned);
  // A cluster that Start left running in `folder`.
  static PostgresCluster Attach(const std::filesystem::path& folder);
  // Stops the cluster in `folder` and removes the folder.
  static void Stop(const std::filesystem::path& folder);

  PostgresCluster(PostgresCluster&& other) noexcept;
  PostgresCluster& operator=(PostgresCluster&&) = delete;
  ~PostgresCluster();

  const std::filesystem::path& PasswordFile() const { return password_file_; }
  // postgresql:///tessary?host=FOLDER&user=ROLE, with the search_path when
  // `schema` is given.
  std::string Uri(const std::string& role, const std::string& schema = "") const;
  // The URI of a new, empty schema of the writer's, for one test's model.
  std::string NewModelUri();
  // Runs SQL statements as the superuser in `database`; throws
  // std::runtime_error on failure.
  void RunSql(const std::string& sql, const std::string& database = "postgres") const;

 private:
  PostgresCluster(std::filesystem::path folder, bool owned);

  std::filesystem::path folder_;
  std::filesystem::path password_file_;
  bool owned_;
};

// The cluster of this test process: the one named by TESSARY_TEST_POSTGRES
// (started once for the whole ctest run), else one started now and stopped
// at exit. Sets PGPASSFILE to its password file.
PostgresCluster& SharedPostgresCluster();

}  // namespace testing_support
