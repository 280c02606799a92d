#include "support/xvfb_display.h"

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>

namespace testing_support {
namespace {

// Runs in the forked child: becomes Xvfb, reporting its display on `report_fd`.
[[noreturn]] void ExecXvfb(int report_fd, pid_t test_process) {
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (getppid() != test_process) _exit(1);  // the test ended before the server started
  const std::string fd = std::to_string(report_fd);
  // -noreset: by default the server resets when its last client goes, and a
  // connection made during the reset fails. QtUi's display probe is such a
  // last client, and the process connects again right after it.
  execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-noreset", "-nolisten", "tcp", "-screen", "0",
         "1280x1024x24", static_cast<char*>(nullptr));
  _exit(127);
}

// The display number Xvfb writes (digits and a newline), or "" when it ended first.
std::string ReadDisplayNumber(int fd) {
  std::string number;
  char c = 0;
  while (read(fd, &c, 1) == 1 && c != '\n') number += c;
  return number;
}

// The running server; ended and reaped as the process exits, when no event
// loop is left to notice the X connection going.
class XvfbProcess {
 public:
  XvfbProcess();
  ~XvfbProcess() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  XvfbProcess(const XvfbProcess&) = delete;
  XvfbProcess& operator=(const XvfbProcess&) = delete;
  const std::string& Display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

XvfbProcess::XvfbProcess() {
  int report[2];
  if (pipe(report) != 0) throw std::runtime_error("cannot create a pipe for Xvfb");
  const pid_t test_process = getpid();
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("cannot fork Xvfb");
  if (pid_ == 0) {
    close(report[0]);
    ExecXvfb(report[1], test_process);
  }
  close(report[1]);
  const std::string number = ReadDisplayNumber(report[0]);
  close(report[0]);
  if (number.empty()) {
    int status = 0;
    waitpid(pid_, &status, 0);
    std::ostringstream message;
    message << "Xvfb ended without opening a display (wait status " << status << ")";
    throw std::runtime_error(message.str());
  }
  display_ = ":" + number;
}

}  // namespace

bool XvfbInstalled() {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path ? path : "");
  for (std::string folder; std::getline(folders, folder, ':');) {
    if (!folder.empty() && access((std::filesystem::path(folder) / "Xvfb").c_str(), X_OK) == 0) {
      return true;
    }
  }
  return false;
}

std::string UseXvfbDisplay() {
  static const XvfbProcess server;
  setenv("DISPLAY", server.Display().c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  return server.Display();
}

}  // namespace testing_support
