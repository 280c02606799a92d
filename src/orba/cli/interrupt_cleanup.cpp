#include "orba/cli/interrupt_cleanup.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace orba::cli {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Filled before the handler is installed and only read by it, so the handler
// needs nothing but unlink and raise, which are safe to call there.
char cleanup_paths[InterruptCleanup::kMaxPaths][PATH_MAX];
int cleanup_count = 0;
struct sigaction previous_actions[std::size(kSignals)];

void RemoveAndEnd(int signal_number) {
  for (int index = 0; index < cleanup_count; ++index) unlink(cleanup_paths[index]);
  ::signal(signal_number, SIG_DFL);
  ::raise(signal_number);
}

}  // namespace

InterruptCleanup::InterruptCleanup(const std::vector<std::string>& paths) {
  cleanup_count = 0;
  for (const std::string& path : paths) {
    if (cleanup_count == kMaxPaths || path.size() >= PATH_MAX) break;
    std::memcpy(cleanup_paths[cleanup_count], path.c_str(), path.size() + 1);
    ++cleanup_count;
  }
  struct sigaction action {};
  action.sa_handler = RemoveAndEnd;
  sigemptyset(&action.sa_mask);
  for (size_t index = 0; index < std::size(kSignals); ++index) {
    sigaction(kSignals[index], &action, &previous_actions[index]);
  }
}

InterruptCleanup::~InterruptCleanup() {
  for (size_t index = 0; index < std::size(kSignals); ++index) {
    sigaction(kSignals[index], &previous_actions[index], nullptr);
  }
  cleanup_count = 0;
}

}  // namespace orba::cli
