#include "platform/help_viewer.h"

#include <spawn.h>
#include <sys/wait.h>

#include <vector>

extern char** environ;

namespace platform {

void DesktopHelpViewer::ShowContext(const std::string& help_file, uint32_t) {
  // The opener is started detached: posix_spawnp returns at once and the
  // child is reaped when it ends, so no zombie stays behind.
  std::vector<char*> argv = {const_cast<char*>("xdg-open"), const_cast<char*>(help_file.c_str()),
                             nullptr};
  pid_t child = 0;
  if (posix_spawnp(&child, "xdg-open", nullptr, nullptr, argv.data(), environ) == 0) {
    waitpid(child, nullptr, WNOHANG);
  }
}

}  // namespace platform
