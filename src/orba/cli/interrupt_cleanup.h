// InterruptCleanup: files a command is building that must not outlive an
// interrupted run. While one is alive, Ctrl-C, a hang-up or a plain kill
// removes those files and then ends the process as the signal would have.
#pragma once

#include <string>
#include <vector>

namespace orba::cli {

class InterruptCleanup {
 public:
  // Takes over SIGINT, SIGTERM and SIGHUP; at most kMaxPaths paths are kept.
  explicit InterruptCleanup(const std::vector<std::string>& paths);
  ~InterruptCleanup();  // the signals act as before again
  InterruptCleanup(const InterruptCleanup&) = delete;
  InterruptCleanup& operator=(const InterruptCleanup&) = delete;

  static constexpr int kMaxPaths = 8;
};

}  // namespace orba::cli
