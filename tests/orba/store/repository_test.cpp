// What is particular to a model in a PostgreSQL repository. Several users at
// once, each a process of its own as `orba` runs: writers are serialized and
// lose nothing, a reader sees one snapshot, a writer that waits too long is
// told the repository is busy, and a writer killed mid-transaction changes
// nothing. The query role, and the check of a repository's tables.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <vector>

#include "orba/store/json_model.h"
#include "orba/store/model_repository.h"
#include "orba/store/model_session.h"
#include "orba/store/pg_database.h"
#include "orba/store/schema.h"
#include "store_fixtures.h"
#include "support/postgres_cluster.h"

namespace orba::store::testing {
namespace {

// Runs `work` in a child process; its exit code is 0 when `work` returns
// true, 1 when it returns false, 2 when it throws.
pid_t InChild(const std::function<bool()>& work) {
  const pid_t child = fork();
  if (child != 0) return child;
  int code = 2;
  try {
    code = work() ? 0 : 1;
  } catch (const std::exception& error) {
    fprintf(stderr, "child: %s\n", error.what());
  }
  _exit(code);
}

int ExitCodeOf(pid_t child) {
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class PostgresRepository : public ::testing::Test {
 protected:
  PostgresRepository() { ImportedModelAt(uri_); }

  static void ImportedModelAt(const std::string& uri) {
    ModelRepository repository;
    repository.CreateModel(uri);
    ImportJsonModel(repository, kSampleModel);
  }

  std::unique_ptr<ModelRepository> Opened(ModelRepository::Access access) const {
    auto repository = std::make_unique<ModelRepository>();
    repository->Open(uri_, access);
    return repository;
  }

  // A new element in the root package, as one transaction.
  static void AddElement(ModelRepository& repository, const std::string& name) {
    ModelRepository::Transaction transaction(repository);
    repository.GetPackageByID(1)->Elements()->AddNew(name, "Class")->Update();
    transaction.Commit();
  }

  std::string uri_ = testing_support::SharedPostgresCluster().NewModelUri();
};

TEST_F(PostgresRepository, WritersAtOnceEachKeepEveryDiagramTheyMake) {
  constexpr int kWriters = 4, kDiagrams = 5;
  const size_t before = Opened(ModelRepository::Access::kReadOnly)->DiagramIds().size();
  std::vector<pid_t> writers;
  for (int writer = 0; writer < kWriters; ++writer) {
    writers.push_back(InChild([&] {
      auto repository = Opened(ModelRepository::Access::kReadWrite);
      for (int diagram = 0; diagram < kDiagrams; ++diagram) {
        ModelRepository::Transaction transaction(*repository);
        repository->GetPackageByID(1)->Diagrams()->AddNew("D", "SysML::BlockDefinition")->Update();
        transaction.Commit();
      }
      return true;
    }));
  }
  for (pid_t writer : writers) EXPECT_EQ(ExitCodeOf(writer), 0);
  EXPECT_EQ(Opened(ModelRepository::Access::kReadOnly)->DiagramIds().size(),
            before + kWriters * kDiagrams);
}

TEST_F(PostgresRepository, AReaderSeesOneSnapshotWhileOthersWrite) {
  auto reader = Opened(ModelRepository::Access::kReadOnly);
  const size_t seen = reader->ElementIds().size();
  EXPECT_EQ(ExitCodeOf(InChild([&] {
              AddElement(*Opened(ModelRepository::Access::kReadWrite), "Written meanwhile");
              return true;
            })),
            0);
  EXPECT_EQ(reader->ElementIds().size(), seen);
  EXPECT_EQ(Opened(ModelRepository::Access::kReadOnly)->ElementIds().size(), seen + 1);
}

TEST_F(PostgresRepository, AWriterWaitsBoundedlyThenHearsTheRepositoryIsBusy) {
  auto holder = Opened(ModelRepository::Access::kReadWrite);
  ModelRepository::Transaction held(*holder);
  const pid_t waiter = InChild([&] {
    try {
      AddElement(*Opened(ModelRepository::Access::kReadWrite), "Never");
      return false;
    } catch (const StoreError& error) {
      return std::string(error.what()).starts_with("model repository is busy: postgresql://");
    }
  });
  EXPECT_EQ(ExitCodeOf(waiter), 0);
  held.Commit();
  AddElement(*holder, "After the wait");  // the lock is free again
}

TEST_F(PostgresRepository, AWriterKilledMidTransactionChangesNothing) {
  const size_t before = Opened(ModelRepository::Access::kReadOnly)->ElementIds().size();
  int inserted[2];
  ASSERT_EQ(pipe(inserted), 0);
  const pid_t writer = InChild([&] {
    auto repository = Opened(ModelRepository::Access::kReadWrite);
    ModelRepository::Transaction transaction(*repository);
    repository->GetPackageByID(1)->Elements()->AddNew("Lost", "Class")->Update();
    const char done = 1;
    if (write(inserted[1], &done, 1) != 1) return false;
    pause();  // killed here, the transaction still open
    return false;
  });
  char done = 0;
  ASSERT_EQ(read(inserted[0], &done, 1), 1);
  kill(writer, SIGKILL);
  EXPECT_EQ(ExitCodeOf(writer), -1);
  close(inserted[0]);
  close(inserted[1]);
  auto after = Opened(ModelRepository::Access::kReadWrite);
  EXPECT_EQ(after->ElementIds().size(), before);
  AddElement(*after, "Next");  // the dead writer's lock went with it
  EXPECT_EQ(after->ElementIds().size(), before + 1);
}

// An administrator names a role that may only read some tables: the SQL
// query service answers as that role, whatever the user may do.
TEST_F(PostgresRepository, TheQueryServiceRunsAsTheQueryRoleTheModelNames) {
  const std::string schema = uri_.substr(uri_.rfind("%3D") + 3);
  const std::string reader = testing_support::PostgresCluster::kReader;
  testing_support::SharedPostgresCluster().RunSql(
      "GRANT USAGE ON SCHEMA " + schema + " TO " + reader + "; GRANT SELECT ON " + schema +
          ".t_object TO " + reader + "; GRANT " + reader + " TO " +
          testing_support::PostgresCluster::kWriter + "; INSERT INTO " + schema +
          ".orba_meta (Name, Value) VALUES ('query_role', '" + reader + "')",
      testing_support::PostgresCluster::kDatabase);
  auto repository = Opened(ModelRepository::Access::kReadWrite);
  EXPECT_EQ(repository->ExecuteSqlQuery("SELECT Name FROM t_object WHERE Object_ID = 1"),
            "<?xml version=\"1.0\"?><OrbaData><Dataset_0><Data><Row><Name>Model</Name></Row>"
            "</Data></Dataset_0></OrbaData>");
  EXPECT_THAT(ErrorOf([&] { repository->ExecuteSqlQuery("SELECT Name FROM t_package"); }),
              ::testing::HasSubstr("permission denied for table t_package"));
  // The role holds for the query only: the store reads on as the user.
  EXPECT_EQ(repository->PackageIds().size(), 2u);
}

TEST_F(PostgresRepository, TheCheckFindsATableMissingFromTheRepository) {
  auto repository = Opened(ModelRepository::Access::kReadWrite);
  EXPECT_EQ(ErrorOf([&] { CheckModelFileIntegrity(repository->Session().Db()); }), "no error");
  repository->Session().Db().Execute("DROP TABLE t_diagram");
  EXPECT_THAT(ErrorOf([&] { CheckModelFileIntegrity(repository->Session().Db()); }),
              ::testing::MatchesRegex("model repository is damaged: postgresql://.*"
                                      " \\(table t_diagram is missing\\)"));
}

TEST_F(PostgresRepository, AModelOfANewerOrNoSchemaVersionIsRefused) {
  const auto opening_with = [&](const std::string& version) {
    PgDatabase(uri_, PgDatabase::Access::kReadWrite)
        .Prepare("UPDATE orba_meta SET Value = ? WHERE Name = 'schema_version'")
        .Bind(version)
        .Run();
    return ErrorOf([&] { Opened(ModelRepository::Access::kReadOnly); });
  };
  EXPECT_THAT(opening_with("2"),
              ::testing::MatchesRegex("model repository postgresql://.* has schema version 2, "
                                      "newer than this host reads \\(1\\)"));
  EXPECT_THAT(opening_with("x"),
              ::testing::MatchesRegex("model repository is damaged: "
                                      "postgresql://.* \\(no schema version\\)"));
  EXPECT_EQ(opening_with("1"), "no error");
}

}  // namespace
}  // namespace orba::store::testing
