// Model files: creating, reopening and refusing files this host cannot read;
// a change or an import is all in the file or none of it, also with each of
// SQLite's file operations failing in turn, and a failure names the model.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>

#include "orba/store/model_file_faults.h"
#include "orba/store/model_session.h"
#include "orba/store/schema.h"
#include "store_fixtures.h"
#include "support/failing_file_system.h"
#include "support/failing_sqlite_vfs.h"
#include "support/temp_folder.h"

namespace orba::store::testing {
namespace {

using ::testing::AllOf;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using testing_support::FailEachCallInTurn;

constexpr ModelRepository::Access kReadOnly = ModelRepository::Access::kReadOnly;

// ErrorOf run in a child process by a user who owns none of the test's files:
// when the tests run as root, who may read and write any file, "nobody".
// The message is short enough for one write to a pipe, and so for one read.
std::string ErrorOfAnotherUser(const std::function<void()>& action) {
  int ends[2];
  if (pipe(ends) != 0) return "cannot make a pipe";
  if (fork() == 0) {
    const bool other_user = geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0);
    const std::string message = other_user ? ErrorOf(action) : "cannot become nobody";
    _exit(write(ends[1], message.data(), message.size()) < 0);
  }
  close(ends[1]);
  char buffer[1024];
  const ssize_t count = read(ends[0], buffer, sizeof buffer);
  close(ends[0]);
  wait(nullptr);
  return std::string(buffer, static_cast<size_t>(std::max<ssize_t>(count, 0)));
}

class ModelFileTest : public ::testing::Test {
 protected:
  std::string File(const std::string& name) const { return (folder_.path() / name).string(); }

  std::string SampleFile(const std::string& name) {
    ModelRepository repository;
    ImportJsonModelFile(repository, kSampleModel, File(name));
    return File(name);
  }

  // The message of the error that opening `path` gives.
  std::string OpenError(const std::string& path) {
    ModelRepository repository;
    EXPECT_FALSE(repository.OpenModel(path));
    EXPECT_EQ(repository.ModelLocation(), "");
    EXPECT_THROW(repository.Open(path), StoreError);
    return repository.LastOpenError();
  }

  static std::string ExportOf(const std::string& path, ModelRepository::Access access = kReadOnly) {
    ModelRepository repository;
    repository.Open(path, access);
    return ExportJsonModel(repository);
  }

  testing_support::TempFolder folder_;
  const std::string model_ = SampleFile("model.obx");
};

// Neither opening nor the header check reads a FIFO or a device: they would
// wait for a writer, or never end.
TEST_F(ModelFileTest, FilesThatHoldNoModelOfThisHostAreRefusedNamingWhatTheyAre) {
  std::filesystem::create_directory(File("folder.obx"));
  ASSERT_EQ(mkfifo(File("fifo.obx").c_str(), 0600), 0);
  const std::pair<std::string, std::string> cases[] = {
      {File("missing.obx"), "no such file"},
      {File("folder.obx"), "it is a folder"},
      {File("fifo.obx"), "it is a FIFO"},
      {"/dev/zero", "it is a device"},
  };
  for (const auto& [path, reason] : cases) {
    const std::string expected = "cannot open model file " + path + ": " + reason;
    EXPECT_EQ(OpenError(path), expected);
    EXPECT_EQ(ErrorOf([&path = path] { CheckModelFileHeader(path); }), expected);
  }
  EXPECT_FALSE(std::filesystem::exists(File("missing.obx")));
  std::ofstream(File("notes.obx")) << "These are notes, not a model.\n" << std::string(2000, 'x');
  std::ofstream(File("empty.obx")).flush();
  std::filesystem::copy_file(File("empty.obx"), File("other.db"));  // an empty SQLite database
  ExecuteOn(File("other.db"), "CREATE TABLE t (x)");
  for (const char* name : {"notes.obx", "empty.obx", "other.db"}) {
    EXPECT_EQ(OpenError(File(name)), "not an Orba model file: " + File(name));
  }
  const std::string truncated = SampleFile("truncated.obx");
  std::filesystem::resize_file(truncated, std::filesystem::file_size(truncated) / 2);
  EXPECT_THAT(OpenError(truncated), StartsWith("model file is damaged: " + truncated));
  const std::string newer = SampleFile("newer.obx");
  const std::string version = std::to_string(kSchemaVersion + 1);
  ExecuteOn(newer, "PRAGMA user_version = " + version);
  EXPECT_THAT(OpenError(newer), AllOf(HasSubstr(newer), HasSubstr("schema version " + version)));
}

// Opening checks only what takes no longer on a large model: the file's
// length and its tables. Damage inside a page is found when the page is read,
// or by the full check, which reads them all.
TEST_F(ModelFileTest, OpeningChecksLengthAndTablesAndTheFullCheckReadsEveryPage) {
  const std::string missing_table = SampleFile("missing_table.obx");
  ExecuteOn(missing_table, "DROP TABLE t_diagram");
  EXPECT_EQ(OpenError(missing_table),
            "model file is damaged: " + missing_table + " (tables of the model are missing)");
  const std::string damaged = SampleFile("damaged.obx");
  {
    std::fstream file(damaged, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(4096);  // the start of the second page: a table's root
    file << std::string(64, '\x5A');
  }
  ModelRepository repository;
  repository.Open(damaged, kReadOnly);
  EXPECT_THAT(ErrorOf([&] { CheckModelFileIntegrity(repository.Session().Db()); }),
              StartsWith("model file is damaged: " + damaged + " ("));
  repository.Open(model_, kReadOnly);
  EXPECT_NO_THROW(CheckModelFileIntegrity(repository.Session().Db()));
}

// Bytes overwritten anywhere, or the file cut short anywhere: opening, reading
// every item and the full check either work or fail with an error that names
// the file; nothing else escapes and nothing ends the process.
TEST_F(ModelFileTest, DamageAnywhereInTheFileIsAnErrorNamingTheFile) {
  std::string bytes;
  {
    std::ifstream file(model_, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(file), {});
  }
  constexpr size_t kPage = 4096;
  const std::string damaged = File("damaged.obx");
  size_t refused = 0;
  size_t cases = 0;
  for (size_t page = 0; page * kPage < bytes.size(); ++page) {
    for (const size_t offset : {size_t{0}, size_t{16}, size_t{100}, size_t{1000}, size_t{4000}}) {
      const size_t at = page * kPage + offset;
      if (at >= bytes.size()) continue;
      for (const bool cut : {false, true}) {
        std::string copy = cut ? bytes.substr(0, at) : bytes;
        if (!cut) copy.replace(at, std::min<size_t>(48, copy.size() - at), 48, '\xA5');
        std::ofstream(damaged, std::ios::binary | std::ios::trunc) << copy;
        ++cases;
        try {
          ModelRepository repository;
          repository.Open(damaged, kReadOnly);
          ExportJsonModel(repository);
          CheckModelFileIntegrity(repository.Session().Db());
        } catch (const StoreError& error) {
          ++refused;
          EXPECT_THAT(error.what(), HasSubstr(damaged)) << "page " << page << " +" << offset;
        } catch (const std::exception& error) {
          ADD_FAILURE() << "page " << page << " +" << offset << (cut ? " cut: " : ": ")
                        << error.what();
        }
      }
    }
  }
  EXPECT_GT(cases, 20u);
  EXPECT_GT(refused, cases / 2);  // every cut, and damage to most pages, is found
}

// The import writes rows first and indexes them after; the file it leaves
// refuses a second item with a GUID as one created empty does.
TEST_F(ModelFileTest, AnImportedFileHasTheUniqueGuidIndexesOfANewOne) {
  ModelRepository repository;
  repository.Open(model_);
  const struct {
    std::string table, columns;  // the columns without defaults
  } tables[] = {{"t_object", "Object_Type, orba_guid"},
                {"t_operation", "Object_ID, Name, orba_guid"},
                {"t_connector", "Connector_Type, Start_Object_ID, End_Object_ID, orba_guid"}};
  for (const auto& [table, columns] : tables) {
    const std::string copy_first = "INSERT INTO " + table + " (" + columns + ") SELECT " + columns +
                                   " FROM " + table + " LIMIT 1";
    EXPECT_THAT(ErrorOf([&] { repository.Session().Db().Execute(copy_first); }),
                HasSubstr("UNIQUE constraint failed: " + table + ".orba_guid"));
  }
}

// A writer killed mid-transaction leaves changed pages in the file and a hot
// journal beside it; every open rolls that back and reads the model as it
// was before, or, when it may not, names the file as one that cannot be read.
TEST_F(ModelFileTest, AnInterruptedWriteIsRolledBackBeforeTheModelIsReadOrTheFileIsNamed) {
  const std::string intact = ExportOf(model_);
  for (const ModelRepository::Access access : {kReadOnly, ModelRepository::Access::kReadWrite}) {
    InterruptWriteTo(model_);
    std::filesystem::permissions(model_, std::filesystem::perms(0444));
    std::filesystem::permissions(folder_.path(), std::filesystem::perms(0555));
    EXPECT_EQ(ErrorOfAnotherUser([&] { ModelRepository().Open(model_, kReadOnly); }),
              "cannot read model file " + model_ +
                  ": a write to it was interrupted, and rolling that back needs write access to "
                  "the file and its folder");
    EXPECT_TRUE(std::filesystem::exists(model_ + "-journal"));
    std::filesystem::permissions(folder_.path(), std::filesystem::perms(0755));
    std::filesystem::permissions(model_, std::filesystem::perms(0644));
    EXPECT_EQ(ExportOf(model_, access), intact);
    EXPECT_FALSE(std::filesystem::exists(model_ + "-journal"));
  }
  std::filesystem::permissions(model_, std::filesystem::perms::none);
  EXPECT_EQ(ErrorOfAnotherUser([&] { ModelRepository().Open(model_, kReadOnly); }),
            "cannot read model file " + model_ + ": Permission denied");
}

// The file is built as the items are read; a document refused at its last
// item leaves neither the building file nor a changed model behind.
TEST_F(ModelFileTest, AnImportRefusedAtItsLastItemLeavesTheOldFile) {
  const std::string before = ExportOf(model_);
  const char* refused = R"({"packages": [{"key": "p", "name": "Other"}],
    "elements": [{"key": "a", "type": "Class", "package": "p"}],
    "diagrams": [{"name": "D", "type": "T", "package": "a"}]})";
  ModelRepository repository;
  EXPECT_EQ(ErrorOf([&] { ImportJsonModelFile(repository, refused, model_); }),
            "diagrams[0].package: unknown key \"a\"");
  EXPECT_EQ(repository.ModelLocation(), "");
  EXPECT_EQ(ExportOf(model_), before);
  const std::vector<std::filesystem::path> files(
      std::filesystem::directory_iterator(folder_.path()), {});
  EXPECT_THAT(files, ElementsAre(model_));
}

TEST_F(ModelFileTest, AReplacingImportIsWholeOrAbsentWhicheverCallFails) {
  const std::string before = ExportOf(model_);
  const char* other = R"({"packages": [{"key": "p", "name": "Other"}]})";
  testing_support::FailingSqliteVfs vfs;
  const auto messages = FailEachCallInTurn<std::exception>(
      vfs,
      [&] {
        ModelRepository repository;
        ImportJsonModelFile(repository, other, model_);
      },
      [&](const std::string& failure) {
        // Once in place, the new model may still fail to open again.
        const std::string now = ExportOf(model_);
        if (failure.empty() || now != before) {
          EXPECT_THAT(now, HasSubstr("\"Other\"")) << failure;
        }
        const std::vector<std::filesystem::path> files(
            std::filesystem::directory_iterator(folder_.path()), {});
        EXPECT_THAT(files, ElementsAre(model_)) << failure;
      });
  EXPECT_THAT(messages, Each(HasSubstr("model.obx")));
  EXPECT_GE(messages.size(), 10u);
}

TEST_F(ModelFileTest, AWriteTransactionIsWholeOrAbsentWhicheverCallFails) {
  const auto copy = folder_.path() / "copy";
  std::filesystem::copy_file(model_, copy);
  testing_support::FailingSqliteVfs vfs;
  const auto messages = FailEachCallInTurn<std::exception>(
      vfs,
      [&] {
        ModelRepository repository;
        repository.Open(model_);
        repository.InstallPerspective(
            R"(<Perspectives><Perspective Name="A"/><Perspective Name="B"/></Perspectives>)", 0);
      },
      [&](const std::string& failure) {
        // A failure after the commit (closing the file, say) may keep the change.
        ModelRepository repository;
        repository.Open(model_, ModelRepository::Access::kReadOnly);
        const size_t count = repository.PerspectiveNames().size();
        EXPECT_TRUE(count == 2 || (count == 0 && !failure.empty())) << count << " " << failure;
        repository.CloseModel();
        std::filesystem::copy_file(copy, model_, std::filesystem::copy_options::overwrite_existing);
        std::filesystem::remove(model_ + "-journal");
      });
  EXPECT_THAT(messages, Each(HasSubstr("model.obx")));
  EXPECT_GE(messages.size(), 5u);
}

// Another writer waits from the start of the outermost transaction, not only
// once it writes: a deferred one could be refused the lock when it writes.
// View state set within a transaction is written with it; set outside one
// (as when add-ins apply it to a model being opened) or on a read-only model,
// it is shown but not written. Creating over an existing file and a refused
// import leaving the old file as it was are in tests/orba/cli (model_commands.txt).
TEST_F(ModelFileTest, ChangesPersistWithTheirTransactionAndAReadOnlyModelOrAFailedOpenKeepsThem) {
  const auto technology = [](const std::string& id) {
    return "<Quindle.Technology><Documentation id=\"" + id + "\"/></Quindle.Technology>";
  };
  ModelRepository repository;
  repository.Open(model_);
  repository.GetPackageByID(1)->Elements()->AddNew("Engine", "Class")->Update();
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(model_.c_str(), &other), SQLITE_OK);
  const auto other_writes = [other] {
    return sqlite3_exec(other, "BEGIN IMMEDIATE; COMMIT", nullptr, nullptr, nullptr);
  };
  {
    ModelRepository::Transaction outer(repository);
    ModelRepository::Transaction inner(repository);
    EXPECT_EQ(other_writes(), SQLITE_BUSY);
    repository.InstallTechnology(technology("Kept"));
    repository.SetTechnologyVisibility("Kept", "", true);
    repository.SelectPerspective("Kept", 1);
    inner.Commit();
    EXPECT_EQ(other_writes(), SQLITE_BUSY);
    outer.Commit();
  }
  EXPECT_EQ(other_writes(), SQLITE_OK);
  sqlite3_close(other);
  {  // an uncommitted outer transaction drops what its committed inner one did
    ModelRepository::Transaction outer(repository);
    ModelRepository::Transaction inner(repository);
    repository.InstallTechnology(technology("Dropped"));
    inner.Commit();
  }
  EXPECT_THAT(repository.TechnologyIds(), ElementsAre("Kept"));
  repository.CloseModel();
  const auto before = std::filesystem::last_write_time(model_);
  for (const ModelRepository::Access access :
       {ModelRepository::Access::kReadWrite, ModelRepository::Access::kReadOnly}) {
    ModelRepository outside_transaction;
    outside_transaction.Open(model_, access);
    outside_transaction.SetTechnologyVisibility("Kept", "", false);
    outside_transaction.SelectPerspective("Other", 1);
    EXPECT_EQ(outside_transaction.TechnologyVisibility("Kept"), false);
    EXPECT_EQ(outside_transaction.SelectedPerspective(), "Other");
  }
  // Read by a repository of its own, so that the view state comes from the file.
  ModelRepository reader;
  reader.Open(model_, kReadOnly);
  EXPECT_EQ(reader.TechnologyVisibility("Kept"), true);
  EXPECT_EQ(reader.SelectedPerspective(), "Kept");
  EXPECT_TRUE(reader.IsReadOnly());
  EXPECT_EQ(NamesOf(reader.GetPackageByID(1)->Elements()).back(), "Engine");
  EXPECT_EQ(ErrorOf([&] { reader.GetPackageByID(1)->Elements()->AddNew("X", "C")->Update(); }),
            "model is read-only: " + model_);
  host::ElementPtr block = reader.GetElementByID(3);
  block->SetAbstract("0");
  EXPECT_THROW(block->Update(), host::Error);
  EXPECT_THROW(
      reader.InstallPerspective("<Perspectives><Perspective Name=\"P\"/></Perspectives>", 1),
      host::Error);
  EXPECT_FALSE(reader.OpenModel(File("missing.obx")));
  EXPECT_EQ(reader.ModelLocation(), model_);
  EXPECT_EQ(std::filesystem::last_write_time(model_), before);
}

}  // namespace
}  // namespace orba::store::testing
