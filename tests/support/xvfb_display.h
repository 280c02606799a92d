// XvfbDisplay: a virtual X display for the window tests of this process.
//
// Xvfb is started with -displayfd: it picks a free display number itself and
// writes it once it accepts connections, so tests running side by side never
// share a display and nothing has to wait on a clock. The server is ended at
// the process's exit, after the last event loop has run; a crashed test takes
// it along too (PR_SET_PDEATHSIG).
#pragma once

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace testing_support {

// True when the Xvfb program is on $PATH.
inline bool XvfbInstalled() { return std::system("command -v Xvfb >/dev/null 2>&1") == 0; }

// The running server; ended and reaped as the process exits, when no event
// loop is left to notice the X connection going.
struct XvfbProcess {
  XvfbProcess() {
    int report[2];
    if (pipe(report) != 0) throw std::runtime_error("cannot create a pipe for Xvfb");
    const pid_t test_process = getpid();
    pid = fork();
    if (pid < 0) throw std::runtime_error("cannot fork Xvfb");
    if (pid == 0) {
      close(report[0]);
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      if (getppid() != test_process) _exit(1);  // the test ended before the server started
      // -noreset: by default the server resets when its last client goes, and a
      // connection made during the reset fails. QtUi's display probe is such a
      // last client, and the process connects again right after it.
      execlp("Xvfb", "Xvfb", "-displayfd", std::to_string(report[1]).c_str(), "-noreset",
             "-nolisten", "tcp", "-screen", "0", "1280x1024x24", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(report[1]);
    // Xvfb writes the display number and a newline once it accepts connections.
    std::string number;
    for (char c = 0; read(report[0], &c, 1) == 1 && c != '\n';) number += c;
    close(report[0]);
    if (number.empty()) {
      int status = 0;
      waitpid(pid, &status, 0);
      throw std::runtime_error("Xvfb ended without opening a display (wait status " +
                               std::to_string(status) + ")");
    }
    display = ":" + number;
  }
  ~XvfbProcess() {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }

  pid_t pid = -1;
  std::string display;
};

// Starts the process's one Xvfb on first use and points $DISPLAY at it (Qt
// goes through X11). Returns the display name, e.g. ":3"; throws
// std::runtime_error when the server does not start.
inline std::string UseXvfbDisplay() {
  static const XvfbProcess server;
  setenv("DISPLAY", server.display.c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  return server.display;
}

}  // namespace testing_support
