// What a careless or hostile user can hand `orba` in place of an ordinary
// file: links, devices, FIFOs, a registry that tries to load another library,
// a file size limit, and the leftovers of killed runs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "orba/cli/cli_fixtures.h"

namespace orba::cli::testing {
namespace {

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
  OrbaRun ImportTo(const std::string& output) {
    sandbox_.WriteFile("plain.json", kPlainModel);
    return sandbox_.Run({"import", sandbox_.Path("plain.json"), "-o", output});
  }
  // Files in the sandbox whose names start with `prefix`.
  std::vector<std::string> FilesStartingWith(const std::string& prefix) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(sandbox_.Path(""))) {
      const std::string name = entry.path().filename().string();
      if (name.starts_with(prefix)) names.push_back(name);
    }
    return names;
  }
};

// --- Outputs -------------------------------------------------------------------

TEST_F(HostileFilesTest, AModelWrittenThroughALinkReplacesItsTargetAndKeepsItsPermissions) {
  const std::string target = Import(kPlainModel, "target.obx");
  ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
  std::filesystem::create_symlink("target.obx", sandbox_.Path("link.obx"));
  ASSERT_EQ(ImportTo(sandbox_.Path("link.obx")).exit_code, 0);
  EXPECT_TRUE(std::filesystem::is_symlink(sandbox_.Path("link.obx")));
  EXPECT_EQ(ModeOf(target), 0600u);

  const std::string json = sandbox_.Path("out.json");
  sandbox_.WriteFile("out.json", "{}");
  ASSERT_EQ(::chmod(json.c_str(), 0640), 0);
  ASSERT_EQ(sandbox_.Run({"export", sandbox_.Path("link.obx"), "-o", json}).exit_code, 0);
  EXPECT_EQ(ModeOf(json), 0640u);
}

TEST_F(HostileFilesTest, AModelIsNeverWrittenOverADeviceAFifoOrAFolder) {
  ASSERT_EQ(::mkfifo(sandbox_.Path("fifo").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/null", sandbox_.Path("null-link"));
  std::filesystem::create_directory(sandbox_.Path("folder"));
  const struct {
    std::string output;
    std::string kind;
  } cases[] = {{sandbox_.Path("fifo"), "a FIFO"},
               {sandbox_.Path("null-link"), "a device"},
               {sandbox_.Path("folder"), "a folder"}};
  for (const auto& each : cases) {
    const OrbaRun run = ImportTo(each.output);
    EXPECT_EQ(run.exit_code, 2) << each.output;
    EXPECT_EQ(run.err, "orba: cannot write model file " + each.output + ": it is " + each.kind + "\n");
  }
  EXPECT_TRUE(std::filesystem::is_fifo(sandbox_.Path("fifo")));
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
  EXPECT_THAT(FilesStartingWith("null"), ::testing::ElementsAre("null-link"));
}

// --- Special files where a file is read ------------------------------------------

TEST_F(HostileFilesTest, SpecialFilesAreRefusedAtOnceWhereverAFileIsRead) {
  const std::string model = Import(kPlainModel);
  ASSERT_EQ(::mkfifo(sandbox_.Path("fifo").c_str(), 0600), 0);
  std::filesystem::create_directories(sandbox_.Path("config/orba"));
  const struct {
    const char* placed;  // where the special file is put, in the sandbox
    const char* special;
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {"config/orba/SysML.ini", "/dev/zero", {"validate", model}, "SysML.ini: it is a device"},
      {"config/orba/SysML.ini", "fifo", {"validate", model}, "SysML.ini: it is a FIFO"},
      {"components.ini", "/dev/urandom", {"menu"}, "components.ini: it is a device"},
      {"components.ini", "fifo", {"menu"}, "components.ini: it is a FIFO"},
      {"input.json", "/dev/zero", {"import", sandbox_.Path("input.json"), "-o", "x.obx"},
       "input.json: it is a device"},
      {"input.json", "fifo", {"import", sandbox_.Path("input.json"), "-o", "x.obx"},
       "input.json: it is a FIFO"},
  };
  std::filesystem::rename(sandbox_.Path("components.ini"), sandbox_.Path("registry.keep"));
  for (const auto& each : cases) {
    const std::string special = each.special[0] == '/' ? each.special : sandbox_.Path(each.special);
    std::filesystem::create_symlink(special, sandbox_.Path(each.placed));
    if (std::string(each.placed) != "components.ini") {
      std::filesystem::copy_file(sandbox_.Path("registry.keep"), sandbox_.Path("components.ini"));
    }
    const OrbaRun run = sandbox_.Run(each.args, {"ORBA_UI=none"});
    EXPECT_EQ(run.exit_code, 2) << each.placed << " -> " << each.special;
    EXPECT_THAT(run.err, HasSubstr(each.message)) << run.err;
    std::filesystem::remove(sandbox_.Path(each.placed));
    std::filesystem::remove(sandbox_.Path("components.ini"));
  }
}

// --- The component registry --------------------------------------------------------

TEST_F(HostileFilesTest, AModulePathThatWouldAddARegistryLineIsRefused) {
  const std::string before = sandbox_.ReadFile("components.ini");
  const OrbaRun run = sandbox_.Run({"register", "lib.so\n[Components]\nTessary.CTessary=/tmp/evil.so"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr("lib.so\\x0A[Components]\\x0ATessary.CTessary=/tmp/evil.so: its "
                                 "path holds a control character"));
  EXPECT_EQ(sandbox_.ReadFile("components.ini"), before);
}

TEST_F(HostileFilesTest, ARelativeModulePathIsRelativeToTheRegistryNotToTheWorkingFolder) {
  std::filesystem::create_directory(sandbox_.Path("modules"));
  std::filesystem::copy_file(OrbaSandbox::BuildBin() / "libtessary.so",
                             sandbox_.Path("modules/libtessary.so"));
  sandbox_.WriteFile("components.ini", "[Components]\nTessary.CTessary=modules/libtessary.so\n");
  const OrbaRun run = sandbox_.Run({"menu"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
}

TEST_F(HostileFilesTest, AProgIDRegisteredTwiceIsAnError) {
  const std::string module = (OrbaSandbox::BuildBin() / "libtessary.so").string();
  sandbox_.WriteFile("components.ini", "[Components]\nTessary.CTessary=" + module +
                                           "\n; another\ntessary.ctessary=/tmp/evil.so\n");
  const OrbaRun run = sandbox_.Run({"menu"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr("components.ini, line 4: tessary.ctessary is registered twice "
                                 "(also on line 2)"));
}

TEST_F(HostileFilesTest, RegisteringKeepsCommentsAndOtherSectionsWhereTheyAre) {
  const std::string kept = "# the team's registry\n[Components]\nOther.Thing=/opt/other.so\n\n"
                           "[Licences]\nTessary.CTessary=not a module\n";
  sandbox_.WriteFile("components.ini", kept);
  ASSERT_EQ(::chmod(sandbox_.Path("components.ini").c_str(), 0600), 0);
  const OrbaRun run = sandbox_.Run({"register", (OrbaSandbox::BuildBin() / "libtessary.so").string()});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(sandbox_.ReadFile("components.ini"),
            "# the team's registry\n[Components]\nOther.Thing=/opt/other.so\nTessary.CTessary=" +
                (OrbaSandbox::BuildBin() / "libtessary.so").lexically_normal().string() +
                "\n\n[Licences]\nTessary.CTessary=not a module\n");
  EXPECT_EQ(ModeOf(sandbox_.Path("components.ini")), 0600u);
  EXPECT_EQ(sandbox_.Run({"menu"}).exit_code, 0) << "the other section is not read as components";
}

// --- Limits and leftovers ------------------------------------------------------------

TEST_F(HostileFilesTest, AFileSizeLimitIsAnErrorMessageNotASignal) {
  rlimit original{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &original), 0);
  rlimit small = original;
  small.rlim_cur = 16 * 1024;  // inherited by the process started next
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const pid_t pid = sandbox_.Start({"import", TESSARY_SOURCE_ROOT "/examples/sysml_example.json",
                                    "-o", sandbox_.Path("big.obx")});
  ::setrlimit(RLIMIT_FSIZE, &original);
  const OrbaRun run = sandbox_.Wait(pid);
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, StartsWith("orba: "));
  EXPECT_THAT(FilesStartingWith("big.obx"), IsEmpty());
}

TEST_F(HostileFilesTest, WhatAKilledImportLeftBehindIsRemovedByTheNext) {
  const pid_t gone = ::fork();
  if (gone == 0) _exit(0);
  ::waitpid(gone, nullptr, 0);
  const std::string stale = "model.obx.loading-" + std::to_string(gone);
  for (const std::string& suffix : {"", "-journal", ".importing-1", ".importing-1-journal"}) {
    sandbox_.WriteFile(stale + suffix, "left behind");
  }
  sandbox_.WriteFile("model.obx.loading-1", "pid 1 is alive: kept");
  Import(kPlainModel, "model.obx");
  EXPECT_THAT(FilesStartingWith("model.obx.loading"), ::testing::ElementsAre("model.obx.loading-1"));
}

}  // namespace
}  // namespace orba::cli::testing
