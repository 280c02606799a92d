// Model files: creating, reopening, and refusing files this host cannot read.
#include "orba/store/schema.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "store_fixtures.h"
#include "support/temp_folder.h"

namespace orba::store::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class ModelFileTest : public ::testing::Test {
 protected:
  std::string File(const std::string& name) const { return (folder_.path() / name).string(); }

  // A model file holding the sample model.
  std::string SampleFile(const std::string& name) {
    std::string path = File(name);
    ModelRepository repository;
    ImportJsonModelFile(repository, kSampleModel, path);
    return path;
  }

  void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
  }

  // The message of the error that opening `path` gives.
  std::string OpenError(const std::string& path) {
    ModelRepository repository;
    EXPECT_FALSE(repository.OpenModel(path));
    EXPECT_EQ(repository.ModelLocation(), "");
    EXPECT_THROW(repository.Open(path), StoreError);
    return repository.LastOpenError();
  }

  void SetUserVersion(const std::string& path, int version) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, ("PRAGMA user_version = " + std::to_string(version)).c_str(), nullptr, nullptr,
                 nullptr);
    sqlite3_close(db);
  }

  testing_support::TempFolder folder_;
};

TEST_F(ModelFileTest, CreatedModelIsEmptyAndReopens) {
  std::string path = File("new.obx");
  {
    ModelRepository repository;
    repository.CreateModel(path);
    EXPECT_EQ(repository.ModelLocation(), path);
    EXPECT_TRUE(repository.ElementIds().empty());
  }
  ModelRepository repository;
  EXPECT_TRUE(repository.OpenModel(path));
  EXPECT_EQ(repository.LastOpenError(), "");
  EXPECT_EQ(repository.ModelLocation(), path);
}

TEST_F(ModelFileTest, CreateRefusesAnExistingFile) {
  std::string path = SampleFile("model.obx");
  ModelRepository repository;
  EXPECT_THROW(repository.CreateModel(path), StoreError);
  repository.Open(path);
  EXPECT_EQ(repository.PackageIds().size(), 2u);
}

TEST_F(ModelFileTest, ChangesPersistAcrossOpening) {
  std::string path = SampleFile("model.obx");
  {
    ModelRepository repository;
    repository.Open(path);
    repository.GetPackageByID(1)->Elements()->AddNew("Engine", "Class")->Update();
  }
  ModelRepository repository;
  repository.Open(path);
  EXPECT_EQ(NamesOf(repository.GetPackageByID(1)->Elements()).back(), "Engine");
}

TEST_F(ModelFileTest, OpeningAnotherModelClosesTheFirstOnlyOnSuccess) {
  std::string first = SampleFile("first.obx");
  ModelRepository repository;
  repository.Open(first);
  EXPECT_FALSE(repository.OpenModel(File("missing.obx")));
  EXPECT_EQ(repository.ModelLocation(), first);
}

TEST_F(ModelFileTest, MissingFileIsNamed) {
  std::string path = File("missing.obx");
  EXPECT_EQ(OpenError(path), "cannot open model file " + path + ": no such file");
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(ModelFileTest, AFolderIsNamedAsOne) {
  std::string path = File("folder.obx");
  std::filesystem::create_directory(path);
  EXPECT_EQ(OpenError(path), "cannot open model file " + path + ": it is a folder");
}

TEST_F(ModelFileTest, TextFileIsNotAModel) {
  std::string path = File("notes.obx");
  WriteFile(path, "These are some notes, not a model at all.\n" + std::string(2000, 'x'));
  EXPECT_EQ(OpenError(path), "not an Orba model file: " + path);
}

TEST_F(ModelFileTest, EmptyFileIsNotAModel) {
  std::string path = File("empty.obx");
  WriteFile(path, "");
  EXPECT_EQ(OpenError(path), "not an Orba model file: " + path);
}

TEST_F(ModelFileTest, OtherSqliteDatabaseIsNotAModel) {
  std::string path = File("other.db");
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db, "CREATE TABLE t (x)", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  EXPECT_EQ(OpenError(path), "not an Orba model file: " + path);
}

TEST_F(ModelFileTest, TruncatedFileIsDamaged) {
  std::string path = SampleFile("model.obx");
  std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
  EXPECT_THAT(OpenError(path), StartsWith("model file is damaged: " + path));
}

TEST_F(ModelFileTest, NewerSchemaVersionIsRefused) {
  std::string path = SampleFile("model.obx");
  SetUserVersion(path, kSchemaVersion + 1);
  std::string message = OpenError(path);
  EXPECT_THAT(message, HasSubstr(path));
  EXPECT_THAT(message, HasSubstr("schema version " + std::to_string(kSchemaVersion + 1)));
}

TEST_F(ModelFileTest, ReadOnlyModelReadsButRefusesWrites) {
  std::string path = SampleFile("model.obx");
  auto before = std::filesystem::last_write_time(path);
  ModelRepository repository;
  repository.Open(path, ModelRepository::Access::kReadOnly);
  EXPECT_TRUE(repository.IsReadOnly());
  EXPECT_EQ(NamesOf(repository.GetPackageByID(1)->Elements()).size(), 3u);

  host::ElementPtr created = repository.GetPackageByID(1)->Elements()->AddNew("X", "Class");
  try {
    created->Update();
    FAIL() << "no error";
  } catch (const host::Error& error) {
    EXPECT_EQ(std::string(error.what()), "model is read-only: " + path);
  }
  host::ElementPtr block = repository.GetElementByID(3);
  block->SetAbstract("0");
  EXPECT_THROW(block->Update(), host::Error);
  EXPECT_THROW(
      repository.InstallPerspective("<Perspectives><Perspective Name=\"P\"/></Perspectives>", 1),
      host::Error);
  EXPECT_EQ(std::filesystem::last_write_time(path), before);
}

}  // namespace
}  // namespace orba::store::testing
