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

// The file an import builds before it replaces `target`: beside it (so a
// rename can put it in place), named for this process.
std::string BuildingPath(const std::string& target);

// Removes what imports into `target` left behind when they were killed with
// no chance to clean up (SIGKILL, a power cut): building files whose process
// no longer runs.
void RemoveLeftoversOfDeadImports(const std::string& target);

}  // namespace orba::cli
