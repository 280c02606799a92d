#include "platform/help_viewer.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/temp_folder.h"

namespace platform {
namespace {

// Puts a stand-in `xdg-open` first on the PATH that writes the file it was
// handed to `opened`, and puts the PATH back afterwards.
class DesktopHelpViewerTest : public testing::Test {
 protected:
  DesktopHelpViewerTest() : saved_path_(std::getenv("PATH")) {
    const auto opener = folder_.path() / "xdg-open";
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << opened_.string() << ".part'\n"
                          << "mv '" << opened_.string() << ".part' '" << opened_.string() << "'\n";
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    setenv("PATH", (folder_.path().string() + ":" + saved_path_).c_str(), 1);
  }
  ~DesktopHelpViewerTest() override { setenv("PATH", saved_path_.c_str(), 1); }

  // What the opener was handed, once it has run (it runs detached).
  std::string Opened() const {
    for (int attempt = 0; attempt < 500 && !std::filesystem::exists(opened_); ++attempt) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(opened_);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  testing_support::TempFolder folder_;
  std::filesystem::path opened_ = folder_.path() / "opened";
  std::string saved_path_;
};

TEST_F(DesktopHelpViewerTest, HandsTheFileToTheOpenerAndLeavesNoChildBehind) {
  const std::string help_file = (folder_.path() / "Help with spaces & 'quotes'.chm").string();
  DesktopHelpViewer().ShowContext(help_file, 1000);
  EXPECT_EQ(Opened(), help_file);
  errno = 0;
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);  // nothing left to reap
  EXPECT_EQ(errno, ECHILD);
}

}  // namespace
}  // namespace platform
