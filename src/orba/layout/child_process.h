// RunInChildProcess: runs work that cannot be interrupted (Graphviz) in a
// forked child process, with a time limit. The child sends what the work
// returns, or the message of what it threw, through a pipe; the parent reads
// it until the limit, then kills the child. The child is always reaped.
//
// The work runs on a new thread of the child, so that its allocations come
// from a new malloc arena, untouched by what the process allocated before.
// (glibc reuses the arena of a thread that has ended instead: in a process
// whose threads have ended, the work's heap is not new.)
//
// The child is a copy of the calling process: call this where no other
// thread holds a lock the work needs (malloc's included). The fork waits up
// to a second for other threads that are running to block.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace orba::layout {

struct ChildOutcome {
  enum class Status { kFinished, kFailed, kTimedOut };
  Status status = Status::kFailed;
  std::string output;  // what the work returned, when finished
  std::string reason;  // why not, otherwise
};

ChildOutcome RunInChildProcess(const std::function<std::string()>& work,
                               std::chrono::milliseconds time_limit);

}  // namespace orba::layout
