#include "orba/cli/interrupt_cleanup.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <optional>

namespace orba::cli {
namespace {

constexpr char kBuildingMarker[] = ".loading-";

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

// The process id in "TARGET.loading-PID..." when `name` is such a file.
std::optional<pid_t> BuilderOf(const std::string& name, const std::string& target_name) {
  const std::string prefix = target_name + kBuildingMarker;
  if (!name.starts_with(prefix)) return std::nullopt;
  pid_t pid = 0;
  const char* digits = name.data() + prefix.size();
  const auto [end, error] = std::from_chars(digits, name.data() + name.size(), pid);
  if (error != std::errc() || end == digits || pid <= 0) return std::nullopt;
  return pid;
}

bool IsRunning(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

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

std::string BuildingPath(const std::string& target) {
  return target + kBuildingMarker + std::to_string(getpid());
}

void RemoveLeftoversOfDeadImports(const std::string& target) {
  const std::filesystem::path path(target);
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::optional<pid_t> builder =
        BuilderOf(entry.path().filename().string(), path.filename().string());
    if (builder && !IsRunning(*builder)) std::filesystem::remove(entry.path(), error);
  }
}

}  // namespace orba::cli
