// Reading and writing files: what is refused and how it is named, links and
// permissions; then every call a file operation makes failing in turn: each
// failure is reported naming the file and the reason, and a write is whole or absent.
#include "base/files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <fstream>

#include "support/failing_file_system.h"
#include "support/temp_folder.h"

namespace base {
namespace {

using namespace std::string_literals;
using ::testing::Each;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;
using testing_support::FailEachCallInTurn;

class FilesTest : public ::testing::Test {
 protected:
  std::filesystem::path Path(const std::string& name) const { return folder_.path() / name; }
  void Write(const std::string& name, const std::string& text, mode_t mode = 0644) const {
    std::ofstream(Path(name), std::ios::binary) << text;
    ::chmod(Path(name).c_str(), mode);
  }
  std::string Read(const std::string& name) const {
    return ReadRegularFile(OperatingSystem(), Path(name), "", kSettingsSizeLimit);
  }
  mode_t ModeOf(const std::string& name) const {
    struct stat status {};
    EXPECT_EQ(::stat(Path(name).c_str(), &status), 0);
    return status.st_mode & 07777;
  }

  testing_support::TempFolder folder_;
  testing_support::FailingFileSystem fs_;
};

// What is no regular file is refused by name, at once: a FIFO without a
// writer or an endless device would otherwise hang a reader. Streams are
// written only when allowed, folders never; a built file may replace only a
// file, or nothing; a failed write leaves the old file. FIFOs and devices read
// or replaced by orba are in tests/orba/cli/cases/files.txt.
TEST_F(FilesTest, WhatIsNoRegularFileOrCannotBeWrittenIsRefusedByName) {
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", Path("socket").c_str());
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  std::filesystem::create_directory(Path("folder"));
  Write("file", "old");
  std::filesystem::create_directory(Path("file.writing-" + std::to_string(::getpid())));
  std::filesystem::create_symlink("b", Path("a"));
  std::filesystem::create_symlink("a", Path("b"));
  const auto read = [](const std::filesystem::path& path, size_t limit = 1024) {
    return [=] { ReadRegularFile(OperatingSystem(), path, "settings file", limit); };
  };
  const auto write = [](const std::filesystem::path& path, WriteOptions options = {}) {
    return [=] { WriteFileAtomically(OperatingSystem(), path, "x", "model file", options); };
  };
  const auto replace = [](const std::filesystem::path& path) {
    return [=] { ReplaceableFileTarget(OperatingSystem(), path, "model file"); };
  };
  const std::string reading = "cannot read settings file ", writing = "cannot write model file ";
  const std::pair<std::function<void()>, std::string> refused[] = {
      {read(Path("folder")), reading + Path("folder").string() + ": it is a folder"},
      {read(Path("missing")), reading + Path("missing").string() + ": no such file"},
      {read(Path("file"), 2), reading + Path("file").string() + ": it is larger than 2 bytes"},
      {write("/dev/null"), writing + "/dev/null: it is a device"},
      {write(Path("folder"), {.allow_streams = true}),
       writing + Path("folder").string() + ": it is a folder"},
      {write(Path("file")), writing + Path("file").string() + ": File exists"},
      {write(Path("no/such/folder")),
       writing + Path("no/such/folder").string() + ": No such file or directory"},
      {write(Path("a")), writing + Path("a").string() + ": too many levels of symbolic links"},
      {replace(Path("socket")), writing + Path("socket").string() + ": it is a socket"}};
  for (const auto& [operation, message] : refused) {
    EXPECT_THAT(operation, ThrowsMessage<FileError>(HasSubstr(message)));
  }
  ::close(sock);
  EXPECT_EQ(Read("file"), "old");
  EXPECT_NO_THROW(write("/dev/null", {.allow_streams = true})());
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
}

// Through links: a read gives the target's bytes; a write replaces the target,
// keeps its permissions and leaves no temporary file; a dangling link's target
// is made; a built file takes the place and permissions of the old.
TEST_F(FilesTest, LinkedFilesAreReadAndReplacedWhereTheyLive) {
  EXPECT_EQ(ReadRegularFileIfPresent(OperatingSystem(), Path("missing"), "settings file", 1024),
            std::nullopt);
  Write("target", std::string("a\0b\r\n", 5), 0600);
  std::filesystem::create_symlink("target", Path("link"));
  std::filesystem::create_symlink("link", Path("link-to-link"));
  EXPECT_EQ(ReadRegularFile(OperatingSystem(), Path("link-to-link"), "", 5), "a\0b\r\n"s);
  WriteFileAtomically(OperatingSystem(), Path("link-to-link"), "new", "file");
  EXPECT_TRUE(std::filesystem::is_symlink(Path("link")));
  EXPECT_EQ(Read("target"), "new");
  EXPECT_EQ(ModeOf("target"), 0600u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path()), {}), 3);
  std::filesystem::create_symlink("made", Path("dangling"));
  WriteFileAtomically(OperatingSystem(), Path("dangling"), "text", "file", {.new_file_mode = 0640});
  EXPECT_EQ(Read("made"), "text");
  EXPECT_EQ(ModeOf("made") & ~0640u, 0u) << "the umask may only take bits away";
  EXPECT_EQ(ReplaceableFileTarget(OperatingSystem(), Path("new"), "model file"), Path("new"));
  const std::filesystem::path target =
      ReplaceableFileTarget(OperatingSystem(), Path("link"), "model file");
  EXPECT_EQ(target, Path("target"));
  Write("built", "built");
  MoveIntoPlace(OperatingSystem(), Path("built"), target, "model file");
  EXPECT_EQ(Read("link"), "built");
  EXPECT_EQ(ModeOf("target"), 0600u) << "a built file takes the permissions of the old";
}

// Reading, writing atomically, moving a built file into place (the old one
// stays until the rename), locking and making folders, each call failing in
// turn: each failure is reported naming the file, and the settings file is
// whole or as it was, with its permissions and no temporary file beside it.
TEST_F(FilesTest, EveryFailedCallIsReportedNamingTheFile) {
  const std::string settings = Path("settings.ini").string();
  const auto nested = Path("a") / "b";
  const struct {
    std::function<void()> operation;
    std::string message;  // of each failure
    size_t calls;
    const char* after;  // the settings file once the operation succeeded
  } cases[] = {
      {[&] { EXPECT_EQ(ReadRegularFile(fs_, settings, "settings file", 100), "old"); },
       "cannot read settings file " + settings, 4, "old"},  // open, fstat, 2 reads
      {[&] { WriteFileAtomically(fs_, settings, "new", "settings file"); },
       "cannot write settings file " + settings, 7,
       "new"},  // stat, open, fchmod, write, fsync, close, rename
      {[&] { MoveIntoPlace(fs_, Path("built"), settings, "model file"); },
       "cannot write model file " + settings, 3, "new"},  // stat, chmod, rename
      {[&] { FileLock lock(fs_, Path("x.lock"), "settings file"); },
       "cannot lock settings file " + Path("x.lock").string(), 2, "old"},  // open, flock
      {[&] { MakeFolders(fs_, nested, "settings folder"); },
       "cannot create settings folder " + nested.string(),
       static_cast<size_t>(std::distance(nested.begin(), nested.end())), "old"},  // one mkdir each
  };
  for (const auto& each : cases) {
    Write("settings.ini", "old", 0600);
    Write("built", "new");
    const auto messages =
        FailEachCallInTurn<FileError>(fs_, each.operation, [&](const std::string& failure) {
          EXPECT_EQ(Read("settings.ini"), failure.empty() ? each.after : "old") << failure;
          EXPECT_EQ(ModeOf("settings.ini"), 0600u) << failure;
          for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
            EXPECT_EQ(entry.path().string().find(".writing"), std::string::npos) << failure;
          }
          Write("settings.ini", "old", 0600);
          Write("built", "new");
        });
    EXPECT_THAT(messages, Each(each.message + ": Input/output error"));
    EXPECT_EQ(messages.size(), each.calls) << each.message;
  }
}

}  // namespace
}  // namespace base
