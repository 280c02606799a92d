#include "orba/cli/progress.h"

#include <unistd.h>

#include <chrono>
#include <iostream>
#include <string>

namespace orba::cli {
namespace {

constexpr std::chrono::seconds kLogInterval{5};

std::function<void(size_t, size_t)> TerminalLine(const char* activity) {
  return [activity, shown_percent = -1](size_t done, size_t total) mutable {
    const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
    if (done == total) {
      std::cerr << "\r\033[K" << std::flush;
    } else if (percent != shown_percent) {
      std::cerr << "\r" << activity << ": " << done << "/" << total << " items" << std::flush;
    }
    shown_percent = percent;
  };
}

std::function<void(size_t, size_t)> LogLines(const char* activity) {
  using Clock = std::chrono::steady_clock;
  return [activity, next = Clock::now() + kLogInterval](size_t done, size_t total) mutable {
    if (done == total || Clock::now() < next) return;
    std::cerr << activity << ": " << done << "/" << total << " items" << std::endl;
    next = Clock::now() + kLogInterval;
  };
}

}  // namespace

std::function<void(size_t, size_t)> Progress(const char* activity, bool quiet) {
  if (quiet) return {};
  return isatty(STDERR_FILENO) ? TerminalLine(activity) : LogLines(activity);
}

}  // namespace orba::cli
