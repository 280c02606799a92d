// The layout's child process, driven with work that finishes, throws, dies,
// exits without an answer, answers at length or never ends.
#include "orba/layout/child_process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>

namespace orba::layout {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kPlenty(20000);

// True when the process has no child left, finished or not (no zombie).
bool NoChildLeft() { return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD; }

TEST(ChildProcessTest, ReadsAnAnswerLongerThanThePipeHoldsToItsEndAndReapsTheChild) {
  const std::string long_answer(3 << 20, 'x');
  const ChildOutcome outcome = RunInChildProcess([&long_answer] { return long_answer; }, kPlenty);
  EXPECT_EQ(outcome.status, ChildOutcome::Status::kFinished);
  EXPECT_EQ(outcome.output, long_answer);
  EXPECT_TRUE(NoChildLeft());
}

// The child is a copy of the process at the fork: what it sees of a flag a
// busy thread sets shows whether the fork waited for that thread.
TEST(ChildProcessTest, ForksOnceOtherThreadsWaitOrAfterASecondOfTheirRunning) {
  std::atomic<bool> stop = false, done = false;
  std::thread briefly_busy([&] {
    const auto until = std::chrono::steady_clock::now() + milliseconds(100);
    while (std::chrono::steady_clock::now() < until) {
    }
    done = true;
  });
  const auto done_at_fork = [&done] { return std::string(done ? "done" : "busy"); };
  EXPECT_EQ(RunInChildProcess(done_at_fork, kPlenty).output, "done");
  briefly_busy.join();
  std::thread always_busy([&stop] {
    while (!stop) {
    }
  });
  const ChildOutcome outcome = RunInChildProcess([] { return std::string("forked"); }, kPlenty);
  stop = true;
  always_busy.join();
  EXPECT_EQ(outcome.output, "forked");
}

TEST(ChildProcessTest, ReportsWhatTheWorkThrew) {
  const ChildOutcome outcome = RunInChildProcess(
      []() -> std::string { throw std::runtime_error("Graphviz could not lay the graph out"); },
      kPlenty);
  EXPECT_EQ(outcome.status, ChildOutcome::Status::kFailed);
  EXPECT_EQ(outcome.reason, "Graphviz could not lay the graph out");
}

TEST(ChildProcessTest, ReportsAChildKilledByASignal) {
  const ChildOutcome outcome = RunInChildProcess([]() -> std::string { std::abort(); }, kPlenty);
  EXPECT_EQ(outcome.status, ChildOutcome::Status::kFailed);
  EXPECT_EQ(outcome.reason, "the layout process was ended by signal 6 (Aborted)");
  EXPECT_TRUE(NoChildLeft());
}

TEST(ChildProcessTest, ReportsAChildThatExitedWithAFailureOrWithoutAnAnswer) {
  EXPECT_EQ(RunInChildProcess([]() -> std::string { _exit(3); }, kPlenty).reason,
            "the layout process exited with status 3");
  EXPECT_EQ(RunInChildProcess([]() -> std::string { _exit(0); }, kPlenty).reason,
            "the layout process gave no answer");
}

TEST(ChildProcessTest, KillsAndReapsAChildThatTakesLongerThanTheLimit) {
  const ChildOutcome outcome = RunInChildProcess(
      [] {
        pause();
        return std::string("too late");
      },
      milliseconds(30));
  EXPECT_EQ(outcome.status, ChildOutcome::Status::kTimedOut);
  EXPECT_EQ(outcome.reason, "the layout took longer than its limit of 30 ms");
  EXPECT_TRUE(NoChildLeft());
}

// Alarms every millisecond interrupt the parent's poll and read (no
// SA_RESTART) while the child works.
TEST(ChildProcessTest, KeepsWaitingAndReadingWhenSignalsInterruptIt) {
  struct sigaction ignore = {}, old_action = {};
  ignore.sa_handler = [](int) {};
  sigaction(SIGALRM, &ignore, &old_action);
  const itimerval every_millisecond{{0, 1000}, {0, 1000}}, off{};
  setitimer(ITIMER_REAL, &every_millisecond, nullptr);
  const ChildOutcome outcome = RunInChildProcess(
      [&off] {
        setitimer(ITIMER_REAL, &off, nullptr);
        usleep(200000);
        return std::string(1 << 20, 'y');
      },
      kPlenty);
  setitimer(ITIMER_REAL, &off, nullptr);
  sigaction(SIGALRM, &old_action, nullptr);
  EXPECT_EQ(outcome.status, ChildOutcome::Status::kFinished) << outcome.reason;
  EXPECT_EQ(outcome.output.size(), 1u << 20);
}

}  // namespace
}  // namespace orba::layout
