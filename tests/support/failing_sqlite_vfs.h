// FailingSqliteVfs: while it lives, SQLite's default VFS (its operating
// system layer) is the real one except that the n-th open, read, write,
// truncate, sync or delete fails with an I/O error — SQLite's own way of
// testing what a store does when the disk fails. Use it with
// FailEachCallInTurn (failing_file_system.h). One at a time per process.
#pragma once

#include <sqlite3.h>

#include <stdexcept>

namespace testing_support {

class FailingSqliteVfs {
 public:
  FailingSqliteVfs() {
    if (real_ != nullptr) throw std::logic_error("one FailingSqliteVfs at a time");
    sqlite3_initialize();
    real_ = sqlite3_vfs_find(nullptr);
    // The real VFS's own methods, but for opening and deleting files.
    failing_ = *real_;
    failing_.pNext = nullptr;
    failing_.szOsFile = static_cast<int>(sizeof(File)) + real_->szOsFile;
    failing_.zName = "failing";
    failing_.xOpen = Open;
    failing_.xDelete = Delete;
    // Version 1: shared memory and memory mapping are not used by a rollback journal.
    using M = sqlite3_io_methods;
    methods_ = {};
    methods_.iVersion = 1;
    methods_.xClose = FileCall<&M::xClose, SQLITE_OK>;
    methods_.xRead = FileCall<&M::xRead, SQLITE_IOERR_READ>;
    methods_.xWrite = FileCall<&M::xWrite, SQLITE_IOERR_WRITE>;
    methods_.xTruncate = FileCall<&M::xTruncate, SQLITE_IOERR_TRUNCATE>;
    methods_.xSync = FileCall<&M::xSync, SQLITE_IOERR_FSYNC>;
    methods_.xFileSize = FileCall<&M::xFileSize, SQLITE_OK>;
    methods_.xLock = FileCall<&M::xLock, SQLITE_OK>;
    methods_.xUnlock = FileCall<&M::xUnlock, SQLITE_OK>;
    methods_.xCheckReservedLock = FileCall<&M::xCheckReservedLock, SQLITE_OK>;
    methods_.xFileControl = FileCall<&M::xFileControl, SQLITE_OK>;
    methods_.xSectorSize = FileCall<&M::xSectorSize, SQLITE_OK>;
    methods_.xDeviceCharacteristics = FileCall<&M::xDeviceCharacteristics, SQLITE_OK>;
    sqlite3_vfs_register(&failing_, 1);
    FailCall(0);
  }
  ~FailingSqliteVfs() {
    sqlite3_vfs_unregister(&failing_);
    real_ = nullptr;
  }
  FailingSqliteVfs(const FailingSqliteVfs&) = delete;
  FailingSqliteVfs& operator=(const FailingSqliteVfs&) = delete;

  // Call n (1-based, counted from now) fails; 0: none does.
  void FailCall(int n) {
    fail_at_ = n;
    calls_ = 0;
  }
  int Calls() const { return calls_; }

 private:
  // A file of the failing VFS: the real file follows it in the same allocation.
  struct File {
    sqlite3_file base;
    sqlite3_file* real;
  };

  // The error `error` when this call is counted and due to fail, else SQLITE_OK.
  static int Due(int error) {
    return error != SQLITE_OK && ++calls_ == fail_at_ ? error : SQLITE_OK;
  }

  // A file method: fails with `error` when due (SQLITE_OK: never), else the real file's `method`.
  template <auto method, int error, class... Args>
  static int FileCall(sqlite3_file* file, Args... args) {
    if (int failure = Due(error)) return failure;
    sqlite3_file* real = reinterpret_cast<File*>(file)->real;
    return (real->pMethods->*method)(real, args...);
  }

  static int Delete(sqlite3_vfs*, const char* name, int sync_folder) {
    if (int failure = Due(SQLITE_IOERR_DELETE)) return failure;
    return real_->xDelete(real_, name, sync_folder);
  }

  static int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags,
                  int* out_flags) {
    auto* failing = reinterpret_cast<File*>(file);
    failing->base.pMethods = nullptr;
    if (int error = Due(SQLITE_CANTOPEN)) return error;
    failing->real = reinterpret_cast<sqlite3_file*>(failing + 1);
    const int result = real_->xOpen(real_, name, failing->real, flags, out_flags);
    if (failing->real->pMethods != nullptr) failing->base.pMethods = &methods_;
    return result;
  }

  static inline sqlite3_vfs* real_ = nullptr;
  static inline sqlite3_vfs failing_;
  static inline sqlite3_io_methods methods_;
  static inline int fail_at_ = 0;
  static inline int calls_ = 0;
};

}  // namespace testing_support
