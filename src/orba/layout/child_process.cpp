#include "orba/layout/child_process.h"

#include <fcntl.h>
#include <malloc.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string_view>
#include <thread>

namespace orba::layout {
namespace {

using Clock = std::chrono::steady_clock;

// The first byte the child sends says whether the rest is output or a reason.
constexpr char kOutputMark = 'R';
constexpr char kErrorMark = 'E';
constexpr int kMmapThreshold = 32 << 20;  // glibc's largest

std::string SystemError(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

void WriteAll(int fd, const std::string& bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count = write(fd, bytes.data() + written, bytes.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return;  // the parent stopped listening
    written += static_cast<size_t>(count);
  }
}

// The work runs on a thread of its own, whose allocations come from a new
// malloc arena, and with a fixed mmap threshold (glibc moves it with what the
// process freed): so what this process allocated and freed before does not
// change where the work's allocations land. Graphviz's layout changes with
// that.
std::string WorkOnFreshHeap(const std::function<std::string()>& work) {
  mallopt(M_MMAP_THRESHOLD, kMmapThreshold);
  std::string message;
  std::thread worker([&work, &message] {
    try {
      message = kOutputMark + work();
    } catch (const std::exception& error) {
      message = kErrorMark + std::string(error.what());
    }
  });
  worker.join();
  return message;
}

// The state letter of a thread of this process ('R' running, 'S' sleeping,
// ...); '?' when it has ended meanwhile.
char ThreadState(const std::filesystem::path& task) {
  const int fd = open((task / "stat").c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return '?';
  char buffer[512];
  const ssize_t count = read(fd, buffer, sizeof buffer);
  close(fd);
  const std::string_view line(buffer, count > 0 ? static_cast<size_t>(count) : 0);
  const size_t name_end = line.rfind(')');  // the name may hold spaces and ')'
  return name_end != std::string_view::npos && name_end + 2 < line.size() ? line[name_end + 2]
                                                                          : '?';
}

// True while another thread of this process is running rather than blocked.
bool OtherThreadsRun() {
  const std::string self = std::to_string(gettid());
  std::error_code error;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
    if (task.path().filename() != self && ThreadState(task.path()) == 'R') return true;
  }
  return false;
}

// A thread that is running when the process forks may hold a lock the child
// then needs and never gets (under the sanitizers, their allocator's): the
// work would hang until its time limit. Threads blocked in a wait hold none
// of those, so the fork waits, briefly, until every other thread waits.
void WaitForOtherThreadsToBlock() {
  const Clock::time_point give_up = Clock::now() + std::chrono::seconds(1);
  while (OtherThreadsRun() && Clock::now() < give_up)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

[[noreturn]] void RunChild(const std::function<std::string()>& work, int fd) {
  WriteAll(fd, WorkOnFreshHeap(work));
  // _exit: the child must not flush the parent's buffers or run its exit handlers.
  _exit(0);
}

int WaitForExit(pid_t child) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

// Reads the pipe to its end. False when the deadline passed first.
bool ReadUntil(int fd, Clock::time_point deadline, std::string& bytes) {
  char buffer[65536];
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    pollfd readable{fd, POLLIN, 0};
    const int ready = poll(&readable, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) return false;
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return true;
    bytes.append(buffer, static_cast<size_t>(count));
  }
}

std::string ExitProblem(int status) {
  if (WIFSIGNALED(status)) {
    return "the layout process was ended by signal " + std::to_string(WTERMSIG(status)) + " (" +
           strsignal(WTERMSIG(status)) + ")";
  }
  if (WEXITSTATUS(status) != 0) {
    return "the layout process exited with status " + std::to_string(WEXITSTATUS(status));
  }
  return "";
}

ChildOutcome Failed(std::string reason) {
  return {ChildOutcome::Status::kFailed, "", std::move(reason)};
}

ChildOutcome Interpret(int status, const std::string& bytes) {
  if (const std::string problem = ExitProblem(status); !problem.empty()) return Failed(problem);
  if (bytes.empty()) return Failed("the layout process gave no answer");
  if (bytes[0] == kErrorMark) return Failed(bytes.substr(1));
  return {ChildOutcome::Status::kFinished, bytes.substr(1), ""};
}

}  // namespace

ChildOutcome RunInChildProcess(const std::function<std::string()>& work,
                               std::chrono::milliseconds time_limit) {
  const Clock::time_point deadline = Clock::now() + time_limit;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    return Failed(SystemError("cannot open a pipe to the layout process"));
  }
  WaitForOtherThreadsToBlock();
  const pid_t child = fork();
  if (child < 0) {
    const ChildOutcome outcome = Failed(SystemError("cannot start the layout process"));
    close(fds[0]);
    close(fds[1]);
    return outcome;
  }
  if (child == 0) {
    close(fds[0]);
    RunChild(work, fds[1]);
  }
  close(fds[1]);
  std::string bytes;
  const bool finished = ReadUntil(fds[0], deadline, bytes);
  close(fds[0]);
  if (!finished) {
    kill(child, SIGKILL);
    WaitForExit(child);
    return {
        ChildOutcome::Status::kTimedOut, "",
        "the layout took longer than its limit of " + std::to_string(time_limit.count()) + " ms"};
  }
  return Interpret(WaitForExit(child), bytes);
}

}  // namespace orba::layout
