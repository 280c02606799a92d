#include "platform/help_viewer.h"

#include <spawn.h>
#include <sys/wait.h>

#include <vector>

extern char** environ;

namespace platform {

void DesktopHelpViewer::ShowContext(const std::string& help_file, uint32_t) {
  // A shell starts the opener in the background and ends at once; waiting for
  // that shell leaves the opener to the init process, so no zombie stays
  // behind and the host does not wait for the viewer.
  std::vector<char*> argv = {const_cast<char*>("sh"),
                             const_cast<char*>("-c"),
                             const_cast<char*>("xdg-open \"$1\" >/dev/null 2>&1 &"),
                             const_cast<char*>("sh"),
                             const_cast<char*>(help_file.c_str()),
                             nullptr};
  pid_t shell = 0;
  if (posix_spawn(&shell, "/bin/sh", nullptr, nullptr, argv.data(), environ) == 0) {
    waitpid(shell, nullptr, 0);
  }
}

}  // namespace platform
