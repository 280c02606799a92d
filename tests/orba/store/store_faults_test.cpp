// Model files are made whole or not at all: an import or a change is all in
// the file or none of it, also with each of SQLite's file operations failing in
// turn, and a failure is an error naming the model.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "orba/store/json_model.h"
#include "orba/store/model_repository.h"
#include "store_fixtures.h"
#include "support/failing_file_system.h"
#include "support/failing_sqlite_vfs.h"
#include "support/temp_folder.h"

namespace orba::store::testing {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing_support::FailEachCallInTurn;

class StoreFaultsTest : public ::testing::Test {
 protected:
  StoreFaultsTest() {
    ModelRepository repository;
    ImportJsonModelFile(repository, kSampleModel, path_);
    before_ = Exported();
  }
  std::string Exported() const {
    ModelRepository repository;
    repository.Open(path_, ModelRepository::Access::kReadOnly);
    return ExportJsonModel(repository);
  }
  std::string Bytes() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::vector<std::filesystem::path> Files() const {
    return {std::filesystem::directory_iterator(folder_.path()), {}};
  }

  testing_support::TempFolder folder_;
  const std::string path_ = (folder_.path() / "model.obx").string();
  std::string before_;
};

// A file is made whole or not at all: a refused import leaves the old one as it was.
TEST_F(StoreFaultsTest, AnImportLeavesItsModelOpenOrTheOldFileUntouched) {
  ModelRepository repository;
  ImportJsonModelFile(repository, kSampleModel, path_);
  EXPECT_EQ(repository.ModelLocation(), path_);
  EXPECT_EQ(repository.PackageIds().size(), 2u);
  repository.CloseModel();
  const std::string bytes = Bytes();
  const char* refused = R"({"packages": [{"key": "p"}, {"key": "p"}]})";
  EXPECT_THROW(ImportJsonModelFile(repository, refused, path_), ImportError);
  EXPECT_EQ(Bytes(), bytes);
  EXPECT_THAT(Files(), ElementsAre(path_));
}

TEST_F(StoreFaultsTest, AReplacingImportIsWholeOrAbsentWhicheverCallFails) {
  const char* other = R"({"packages": [{"key": "p", "name": "Other"}]})";
  testing_support::FailingSqliteVfs vfs;
  const auto messages = FailEachCallInTurn<std::exception>(
      vfs,
      [&] {
        ModelRepository repository;
        ImportJsonModelFile(repository, other, path_);
      },
      [&](const std::string& failure) {
        // Once in place, the new model may still fail to open again.
        const std::string now = Exported();
        if (failure.empty() || now != before_) {
          EXPECT_THAT(now, HasSubstr("\"Other\"")) << failure;
        }
        EXPECT_THAT(Files(), ElementsAre(path_)) << failure;
      });
  EXPECT_THAT(messages, Each(HasSubstr("model.obx")));
  EXPECT_GE(messages.size(), 10u);
}

TEST_F(StoreFaultsTest, AWriteTransactionIsWholeOrAbsentWhicheverCallFails) {
  const auto copy = folder_.path() / "copy";
  std::filesystem::copy_file(path_, copy);
  testing_support::FailingSqliteVfs vfs;
  const auto messages = FailEachCallInTurn<std::exception>(
      vfs,
      [&] {
        ModelRepository repository;
        repository.Open(path_);
        repository.InstallPerspective(
            R"(<Perspectives><Perspective Name="A"/><Perspective Name="B"/></Perspectives>)", 0);
      },
      [&](const std::string& failure) {
        // A failure after the commit (closing the file, say) may keep the change.
        ModelRepository repository;
        repository.Open(path_, ModelRepository::Access::kReadOnly);
        const size_t count = repository.PerspectiveNames().size();
        EXPECT_TRUE(count == 2 || (count == 0 && !failure.empty())) << count << " " << failure;
        repository.CloseModel();
        std::filesystem::copy_file(copy, path_, std::filesystem::copy_options::overwrite_existing);
        std::filesystem::remove(path_ + "-journal");
      });
  EXPECT_THAT(messages, Each(HasSubstr("model.obx")));
  EXPECT_GE(messages.size(), 5u);
}

TEST_F(StoreFaultsTest, AFailedReadIsAnErrorNamingTheModel) {
  testing_support::FailingSqliteVfs vfs;
  const auto messages = FailEachCallInTurn<std::exception>(
      vfs, [&] { EXPECT_EQ(Exported(), before_); }, [](const std::string&) {});
  EXPECT_THAT(messages, Each(HasSubstr("model.obx")));
  EXPECT_GE(messages.size(), 3u);
}

}  // namespace
}  // namespace orba::store::testing
