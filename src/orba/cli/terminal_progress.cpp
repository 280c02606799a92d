#include "orba/cli/terminal_progress.h"

#include <unistd.h>

#include <iostream>
#include <string>

namespace orba::cli {

std::function<void(size_t, size_t)> TerminalProgress(const char* activity) {
  if (!isatty(STDERR_FILENO)) return {};
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

}  // namespace orba::cli
