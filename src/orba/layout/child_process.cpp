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
