// FailingFileSystem: the real file system, except that the n-th call made
// through it fails with EIO. FailEachCallInTurn runs an operation once per
// call it makes, failing that call, so that every failure path of a reader
// or writer of files is taken, as a storage engine's tests fail each write.
#pragma once

#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include "base/file_system.h"

namespace testing_support {

class FailingFileSystem : public base::FileSystem {
 public:
  // Call n (1-based, counted from now) fails; 0: none does.
  void FailCall(int n) {
    fail_at_ = n;
    calls_ = 0;
  }
  int Calls() const { return calls_; }

  int Open(const char* path, int flags, mode_t mode) override {
    return Due() ? -1 : real_.Open(path, flags, mode);
  }
  ssize_t Read(int fd, void* buffer, size_t size) override {
    return Due() ? -1 : real_.Read(fd, buffer, size);
  }
  ssize_t Write(int fd, const void* data, size_t size) override {
    return Due() ? -1 : real_.Write(fd, data, size);
  }
  int Fsync(int fd) override { return Due() ? -1 : real_.Fsync(fd); }
  // A failed close still releases the descriptor, as the real one does.
  int Close(int fd) override { return Due() ? (real_.Close(fd), -1) : real_.Close(fd); }
  int Stat(const char* path, struct stat* status) override {
    return Due() ? -1 : real_.Stat(path, status);
  }
  int Fstat(int fd, struct stat* status) override { return Due() ? -1 : real_.Fstat(fd, status); }
  int Chmod(const char* path, mode_t mode) override { return Due() ? -1 : real_.Chmod(path, mode); }
  int Fchmod(int fd, mode_t mode) override { return Due() ? -1 : real_.Fchmod(fd, mode); }
  int Rename(const char* from, const char* to) override {
    return Due() ? -1 : real_.Rename(from, to);
  }
  int Unlink(const char* path) override { return Due() ? -1 : real_.Unlink(path); }
  int Mkdir(const char* path, mode_t mode) override { return Due() ? -1 : real_.Mkdir(path, mode); }
  int Flock(int fd, int operation) override { return Due() ? -1 : real_.Flock(fd, operation); }

 private:
  bool Due() {
    if (++calls_ != fail_at_) return false;
    errno = EIO;
    return true;
  }

  base::FileSystem& real_ = base::OperatingSystem();
  int fail_at_ = 0;
  int calls_ = 0;
};

// Runs `operation` with call 1, then call 2, ... of `fs` (a FailingFileSystem,
// or anything with its FailCall and Calls) failing, until a run
// in which no call failed. After each run, `check` gets what the run threw
// (empty when it did not throw). Answers the messages thrown, in order.
template <class Error, class Faults>
std::vector<std::string> FailEachCallInTurn(Faults& fs, const std::function<void()>& operation,
                                            const std::function<void(const std::string&)>& check) {
  std::vector<std::string> messages;
  for (int n = 1;; ++n) {
    fs.FailCall(n);
    std::string outcome;
    try {
      operation();
    } catch (const Error& error) {
      outcome = error.what();
    }
    const bool call_failed = fs.Calls() >= n;
    fs.FailCall(0);
    check(outcome);
    if (!outcome.empty()) messages.push_back(outcome);
    if (!call_failed) return messages;
  }
}

}  // namespace testing_support
