#include "support/failing_sqlite_vfs.h"

#include <sqlite3.h>

#include <stdexcept>

namespace testing_support {
namespace {

sqlite3_vfs* real_vfs = nullptr;
sqlite3_vfs failing_vfs;
int fail_at = 0;
int calls = 0;

// The error `error` when this call is counted and due to fail, else SQLITE_OK.
int Due(int error) { return error != SQLITE_OK && ++calls == fail_at ? error : SQLITE_OK; }

// A file of the failing VFS: the real file follows it in the same allocation.
struct FailingFile {
  sqlite3_file base;
  sqlite3_file* real;
};

// A file method: fails with `error` when due (SQLITE_OK: never), else the real file's `method`.
template <auto method, int error, class... Args>
int FileCall(sqlite3_file* file, Args... args) {
  if (int failure = Due(error)) return failure;
  sqlite3_file* real = reinterpret_cast<FailingFile*>(file)->real;
  return (real->pMethods->*method)(real, args...);
}

// A VFS method: fails with `error` when due (SQLITE_OK: never), else the real VFS's `method`.
template <auto method, int error, class... Args>
int VfsCall(sqlite3_vfs*, Args... args) {
  if (int failure = Due(error)) return failure;
  return (real_vfs->*method)(real_vfs, args...);
}

// Version 1: shared memory and memory mapping are not used by a rollback journal.
sqlite3_io_methods FailingMethods() {
  using M = sqlite3_io_methods;
  sqlite3_io_methods methods{};
  methods.iVersion = 1;
  methods.xClose = FileCall<&M::xClose, SQLITE_OK>;
  methods.xRead = FileCall<&M::xRead, SQLITE_IOERR_READ>;
  methods.xWrite = FileCall<&M::xWrite, SQLITE_IOERR_WRITE>;
  methods.xTruncate = FileCall<&M::xTruncate, SQLITE_IOERR_TRUNCATE>;
  methods.xSync = FileCall<&M::xSync, SQLITE_IOERR_FSYNC>;
  methods.xFileSize = FileCall<&M::xFileSize, SQLITE_OK>;
  methods.xLock = FileCall<&M::xLock, SQLITE_OK>;
  methods.xUnlock = FileCall<&M::xUnlock, SQLITE_OK>;
  methods.xCheckReservedLock = FileCall<&M::xCheckReservedLock, SQLITE_OK>;
  methods.xFileControl = FileCall<&M::xFileControl, SQLITE_OK>;
  methods.xSectorSize = FileCall<&M::xSectorSize, SQLITE_OK>;
  methods.xDeviceCharacteristics = FileCall<&M::xDeviceCharacteristics, SQLITE_OK>;
  return methods;
}

const sqlite3_io_methods kMethods = FailingMethods();

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* out_flags) {
  auto* failing = reinterpret_cast<FailingFile*>(file);
  failing->base.pMethods = nullptr;
  if (int error = Due(SQLITE_CANTOPEN)) return error;
  failing->real = reinterpret_cast<sqlite3_file*>(failing + 1);
  const int result = real_vfs->xOpen(real_vfs, name, failing->real, flags, out_flags);
  if (failing->real->pMethods != nullptr) failing->base.pMethods = &kMethods;
  return result;
}

}  // namespace

FailingSqliteVfs::FailingSqliteVfs() {
  if (real_vfs != nullptr) throw std::logic_error("one FailingSqliteVfs at a time");
  sqlite3_initialize();
  real_vfs = sqlite3_vfs_find(nullptr);
  using V = sqlite3_vfs;
  failing_vfs = {};
  failing_vfs.iVersion = 1;
  failing_vfs.szOsFile = static_cast<int>(sizeof(FailingFile)) + real_vfs->szOsFile;
  failing_vfs.mxPathname = real_vfs->mxPathname;
  failing_vfs.zName = "failing";
  failing_vfs.xOpen = Open;
  failing_vfs.xDelete = VfsCall<&V::xDelete, SQLITE_IOERR_DELETE>;
  failing_vfs.xAccess = VfsCall<&V::xAccess, SQLITE_OK>;
  failing_vfs.xFullPathname = VfsCall<&V::xFullPathname, SQLITE_OK>;
  failing_vfs.xRandomness = VfsCall<&V::xRandomness, SQLITE_OK>;
  failing_vfs.xSleep = VfsCall<&V::xSleep, SQLITE_OK>;
  failing_vfs.xCurrentTime = VfsCall<&V::xCurrentTime, SQLITE_OK>;
  failing_vfs.xGetLastError = VfsCall<&V::xGetLastError, SQLITE_OK>;
  sqlite3_vfs_register(&failing_vfs, 1);
  FailCall(0);
}

FailingSqliteVfs::~FailingSqliteVfs() {
  sqlite3_vfs_unregister(&failing_vfs);
  real_vfs = nullptr;
}

void FailingSqliteVfs::FailCall(int n) {
  fail_at = n;
  calls = 0;
}

int FailingSqliteVfs::Calls() const { return calls; }

}  // namespace testing_support
