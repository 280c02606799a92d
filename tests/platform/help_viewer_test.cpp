#include "platform/help_viewer.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "support/scoped_environment.h"
#include "support/temp_folder.h"

namespace platform {
namespace {

// A stand-in `xdg-open` first on the PATH writes the file it was handed to
// `opened`; it runs detached, so the test waits for that file.
TEST(DesktopHelpViewerTest, HandsTheFileToTheOpenerAndLeavesNoChildBehind) {
  const testing_support::TempFolder folder;
  const std::string opened = (folder.path() / "opened").string();
  std::ofstream(folder.path() / "xdg-open")
      << "#!/bin/sh\nprintf '%s' \"$1\" > '" << opened << ".part'\n"
      << "mv '" << opened << ".part' '" << opened << "'\n";
  std::filesystem::permissions(folder.path() / "xdg-open", std::filesystem::perms::owner_all);
  testing_support::ScopedEnvironment environment;
  environment.Set("PATH", (folder.path().string() + ":" + std::getenv("PATH")).c_str());
  const std::string help_file = (folder.path() / "Help with spaces & 'quotes'.chm").string();
  DesktopHelpViewer().ShowContext(help_file, 1000);
  for (int attempt = 0; attempt < 500 && !std::filesystem::exists(opened); ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(testing_support::FileBytes(opened), help_file);
  errno = 0;
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);  // nothing left to reap
  EXPECT_EQ(errno, ECHILD);
}

}  // namespace
}  // namespace platform
