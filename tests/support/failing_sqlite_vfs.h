// FailingSqliteVfs: while it lives, SQLite's default VFS (its operating
// system layer) is the real one except that the n-th open, read, write,
// truncate, sync or delete fails with an I/O error — SQLite's own way of
// testing what a store does when the disk fails. Use it with
// FailEachCallInTurn (failing_file_system.h). One at a time per process.
#pragma once

namespace testing_support {

class FailingSqliteVfs {
 public:
  FailingSqliteVfs();
  ~FailingSqliteVfs();
  FailingSqliteVfs(const FailingSqliteVfs&) = delete;
  FailingSqliteVfs& operator=(const FailingSqliteVfs&) = delete;

  // Call n (1-based, counted from now) fails; 0: none does.
  void FailCall(int n);
  int Calls() const;
};

}  // namespace testing_support
