// What a careless or hostile user can hand `orba` in place of an ordinary
// file: links, devices, FIFOs, a full disk, a file size limit, modules moved
// elsewhere, and the leftovers of killed or interrupted runs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <thread>

#include "orba/cli/cli_fixtures.h"

namespace orba::cli::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

mode_t ModeOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
  return status.st_mode & 07777;
}

class HostileFilesTest : public OrbaCommandTest {
 protected:
  std::string module_ = (OrbaSandbox::BuildBin() / "libtessary.so").string();
};

TEST_F(HostileFilesTest, AFileWrittenThroughALinkReplacesItsTargetAndKeepsItsPermissions) {
  const std::string target = Import("plain", "target.obx");
  ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
  std::filesystem::create_symlink("target.obx", sandbox_.Path("link.obx"));
  Import("plain", "link.obx");
  EXPECT_TRUE(std::filesystem::is_symlink(sandbox_.Path("link.obx")));
  EXPECT_EQ(ModeOf(target), 0600u);

  sandbox_.WriteFile("out.json", "{}");
  ASSERT_EQ(::chmod(sandbox_.Path("out.json").c_str(), 0640), 0);
  ASSERT_EQ(sandbox_.Run({"export", "link.obx", "-o", "out.json"}).exit_code, 0);
  EXPECT_EQ(ModeOf(sandbox_.Path("out.json")), 0640u);
}

TEST_F(HostileFilesTest, AModelIsNeverWrittenOverADeviceAFifoOrAFolder) {
  ASSERT_EQ(::mkfifo(sandbox_.Path("fifo").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/null", sandbox_.Path("null-link"));
  std::filesystem::create_directory(sandbox_.Path("folder"));
  for (const auto& [output, kind] :
       {std::pair{"fifo", "a FIFO"}, std::pair{"null-link", "a device"},
        std::pair{"folder", "a folder"}}) {
    const OrbaRun run = sandbox_.Run({"import", (kCases / "plain.json").string(), "-o", output});
    EXPECT_EQ(run.exit_code, 2) << output;
    EXPECT_EQ(run.err,
              std::string("orba: cannot write model file ") + output + ": it is " + kind + "\n");
  }
  EXPECT_TRUE(std::filesystem::is_fifo(sandbox_.Path("fifo")));
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
  EXPECT_THAT(FilesStartingWith("null"), ElementsAre("null-link"));
}

TEST_F(HostileFilesTest, SpecialFilesAreRefusedAtOnceWhereverAFileIsRead) {
  Import("plain");
  ASSERT_EQ(::mkfifo(sandbox_.Path("fifo").c_str(), 0600), 0);
  std::filesystem::create_directories(sandbox_.Path("config/orba"));
  std::filesystem::rename(sandbox_.Path("components.ini"), sandbox_.Path("registry.keep"));
  const struct {
    const char* placed;  // where the special file is linked from
    const char* special;
    std::vector<std::string> args;
  } cases[] = {
      {"config/orba/SysML.ini", "/dev/zero", {"validate", "model.obx"}},
      {"config/orba/SysML.ini", "fifo", {"validate", "model.obx"}},
      {"components.ini", "/dev/urandom", {"menu"}},
      {"components.ini", "fifo", {"menu"}},
      {"input.json", "/dev/zero", {"import", "input.json", "-o", "x.obx"}},
      {"input.json", "fifo", {"import", "input.json", "-o", "x.obx"}},
  };
  for (const auto& each : cases) {
    const bool fifo = std::string(each.special) == "fifo";
    std::filesystem::create_symlink(fifo ? sandbox_.Path("fifo") : each.special,
                                    sandbox_.Path(each.placed));
    if (std::string(each.placed) != "components.ini") {
      std::filesystem::copy_file(sandbox_.Path("registry.keep"), sandbox_.Path("components.ini"));
    }
    const OrbaRun run = sandbox_.Run(each.args, {"ORBA_UI=none"});
    EXPECT_EQ(run.exit_code, 2) << each.placed << " -> " << each.special;
    const std::string file = std::filesystem::path(each.placed).filename().string();
    EXPECT_THAT(run.err, HasSubstr(file + ": it is " + (fifo ? "a FIFO" : "a device")));
    std::filesystem::remove(sandbox_.Path(each.placed));
    std::filesystem::remove(sandbox_.Path("components.ini"));
  }
}

TEST_F(HostileFilesTest, OutputThatCannotBeWrittenFailsTheCommand) {
  const OrbaRun run = sandbox_.Run({"export", Import("plain")}, {}, "/dev/full");
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr("orba: cannot write the output: No space left on device"));
}

// --- Modules -------------------------------------------------------------------------

// The sandbox's folder is orba's working folder, so the registry moves elsewhere.
TEST_F(HostileFilesTest, ARelativeModulePathIsRelativeToTheRegistryNotToTheWorkingFolder) {
  std::filesystem::create_directories(sandbox_.Path("registry/modules"));
  std::filesystem::copy_file(module_, sandbox_.Path("registry/modules/libtessary.so"));
  sandbox_.WriteFile("registry/components.ini",
                     "[Components]\nTessary.CTessary=modules/libtessary.so\n");
  const OrbaRun run =
      sandbox_.Run({"menu"}, {"ORBA_REGISTRY=" + sandbox_.Path("registry/components.ini")});
  EXPECT_EQ(run.exit_code, 0) << run.err;
}

TEST_F(HostileFilesTest, RegisteringKeepsCommentsOtherSectionsAndPermissions) {
  sandbox_.WriteFile("components.ini",
                     "# the team's registry\n[Components]\nOther.Thing=/opt/other.so\n\n"
                     "[Licences]\nTessary.CTessary=not a module\n");
  ASSERT_EQ(::chmod(sandbox_.Path("components.ini").c_str(), 0600), 0);
  const OrbaRun run = sandbox_.Run({"register", module_});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(sandbox_.ReadFile("components.ini"),
            "# the team's registry\n[Components]\nOther.Thing=/opt/other.so\nTessary.CTessary=" +
                std::filesystem::path(module_).lexically_normal().string() +
                "\n\n[Licences]\nTessary.CTessary=not a module\n");
  EXPECT_EQ(ModeOf(sandbox_.Path("components.ini")), 0600u);
  EXPECT_EQ(sandbox_.Run({"menu"}).exit_code, 0) << "the other section is not read as components";
}

// A copy of the module has no example model beside it.
TEST_F(HostileFilesTest, AnExampleModelThatCannotBeOpenedFailsTheCommand) {
  std::filesystem::copy_file(module_, sandbox_.Path("libtessary.so"));
  ASSERT_EQ(sandbox_.Run({"register", sandbox_.Path("libtessary.so")}).exit_code, 0);
  const OrbaRun run = sandbox_.Run({"click", "Open SysML &Example Model"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr("cannot open model file"));
}

// --- Limits, signals and leftovers -----------------------------------------------------

TEST_F(HostileFilesTest, AFileSizeLimitIsAnErrorMessageNotASignal) {
  rlimit original{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &original), 0);
  rlimit small = original;
  small.rlim_cur = 16 * 1024;  // inherited by the process started next
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const pid_t pid = sandbox_.Start(
      {"import", TESSARY_SOURCE_ROOT "/examples/sysml_example.json", "-o", "big.obx"});
  ::setrlimit(RLIMIT_FSIZE, &original);
  const OrbaRun run = sandbox_.Wait(pid);
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, StartsWith("orba: "));
  EXPECT_THAT(FilesStartingWith("big.obx"), IsEmpty());
}

TEST_F(HostileFilesTest, AnInterruptedImportLeavesNoFileBehind) {
  nlohmann::json model = {{"packages", {{{"key", "root"}, {"name", "Model"}}}}};
  for (int index = 0; index < 200000; ++index) {
    model["elements"].push_back({{"key", "e" + std::to_string(index)},
                                 {"package", "root"},
                                 {"type", "Class"},
                                 {"name", "Block" + std::to_string(index)}});
  }
  sandbox_.WriteFile("large.json", model.dump());
  const pid_t import = sandbox_.Start({"import", "large.json", "-o", "large.obx"});
  // Interrupted once the model file is being built.
  for (int wait = 0; wait < 1000 && FilesStartingWith("large.obx").empty(); ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(import, SIGINT);
  const OrbaRun run = sandbox_.Wait(import);
  EXPECT_EQ(run.signal, SIGINT) << "the import ended before it was interrupted: " << run.err;
  EXPECT_THAT(FilesStartingWith("large.obx"), IsEmpty());
}

// The leftovers are looked for beside the model file, named with or without its folder.
TEST_F(HostileFilesTest, WhatAKilledImportLeftBehindIsRemovedByTheNext) {
  const pid_t gone = ::fork();
  if (gone == 0) _exit(0);
  ::waitpid(gone, nullptr, 0);
  for (const std::string& output : {std::string("model.obx"), sandbox_.Path("model.obx")}) {
    const std::string stale = "model.obx.loading-" + std::to_string(gone);
    for (const char* suffix : {"", "-journal", ".importing-1", ".importing-1-journal"}) {
      sandbox_.WriteFile(stale + suffix, "left behind");
    }
    sandbox_.WriteFile("model.obx.loading-1", "pid 1 is alive: kept");
    ASSERT_EQ(sandbox_.Run({"import", (kCases / "plain.json").string(), "-o", output}).exit_code,
              0);
    EXPECT_THAT(FilesStartingWith("model.obx.loading"), ElementsAre("model.obx.loading-1"));
  }
}

}  // namespace
}  // namespace orba::cli::testing
