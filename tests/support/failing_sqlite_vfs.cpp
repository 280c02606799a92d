#include "support/failing_sqlite_vfs.h"

#include <sqlite3.h>

#include <stdexcept>

namespace testing_support {
namespace {

sqlite3_vfs* real_vfs = nullptr;
sqlite3_vfs failing_vfs;
int fail_at = 0;
int calls = 0;

// The error `error` when this call is the one due to fail, else SQLITE_OK.
int Due(int error) { return ++calls == fail_at ? error : SQLITE_OK; }

// A file of the failing VFS: the real file follows it in the same allocation.
struct FailingFile {
  sqlite3_file base;
  sqlite3_file* real;
};

sqlite3_file* Real(sqlite3_file* file) { return reinterpret_cast<FailingFile*>(file)->real; }

int Close(sqlite3_file* file) { return Real(file)->pMethods->xClose(Real(file)); }
int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
  if (int error = Due(SQLITE_IOERR_READ)) return error;
  return Real(file)->pMethods->xRead(Real(file), buffer, amount, offset);
}
int Write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
  if (int error = Due(SQLITE_IOERR_WRITE)) return error;
  return Real(file)->pMethods->xWrite(Real(file), data, amount, offset);
}
int Truncate(sqlite3_file* file, sqlite3_int64 size) {
  if (int error = Due(SQLITE_IOERR_TRUNCATE)) return error;
  return Real(file)->pMethods->xTruncate(Real(file), size);
}
int Sync(sqlite3_file* file, int flags) {
  if (int error = Due(SQLITE_IOERR_FSYNC)) return error;
  return Real(file)->pMethods->xSync(Real(file), flags);
}
int FileSize(sqlite3_file* file, sqlite3_int64* size) {
  return Real(file)->pMethods->xFileSize(Real(file), size);
}
int Lock(sqlite3_file* file, int level) { return Real(file)->pMethods->xLock(Real(file), level); }
int Unlock(sqlite3_file* file, int level) {
  return Real(file)->pMethods->xUnlock(Real(file), level);
}
int CheckReservedLock(sqlite3_file* file, int* out) {
  return Real(file)->pMethods->xCheckReservedLock(Real(file), out);
}
int FileControl(sqlite3_file* file, int op, void* argument) {
  return Real(file)->pMethods->xFileControl(Real(file), op, argument);
}
int SectorSize(sqlite3_file* file) { return Real(file)->pMethods->xSectorSize(Real(file)); }
int DeviceCharacteristics(sqlite3_file* file) {
  return Real(file)->pMethods->xDeviceCharacteristics(Real(file));
}

// Version 1: shared memory and memory mapping are not used by a rollback journal.
sqlite3_io_methods FailingMethods() {
  sqlite3_io_methods methods{};
  methods.iVersion = 1;
  methods.xClose = Close;
  methods.xRead = Read;
  methods.xWrite = Write;
  methods.xTruncate = Truncate;
  methods.xSync = Sync;
  methods.xFileSize = FileSize;
  methods.xLock = Lock;
  methods.xUnlock = Unlock;
  methods.xCheckReservedLock = CheckReservedLock;
  methods.xFileControl = FileControl;
  methods.xSectorSize = SectorSize;
  methods.xDeviceCharacteristics = DeviceCharacteristics;
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
int Delete(sqlite3_vfs*, const char* name, int sync_folder) {
  if (int error = Due(SQLITE_IOERR_DELETE)) return error;
  return real_vfs->xDelete(real_vfs, name, sync_folder);
}
int Access(sqlite3_vfs*, const char* name, int flags, int* out) {
  return real_vfs->xAccess(real_vfs, name, flags, out);
}
int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
  return real_vfs->xFullPathname(real_vfs, name, size, out);
}
int Randomness(sqlite3_vfs*, int size, char* out) {
  return real_vfs->xRandomness(real_vfs, size, out);
}
int Sleep(sqlite3_vfs*, int microseconds) { return real_vfs->xSleep(real_vfs, microseconds); }
int CurrentTime(sqlite3_vfs*, double* out) { return real_vfs->xCurrentTime(real_vfs, out); }
int LastError(sqlite3_vfs*, int size, char* out) {
  return real_vfs->xGetLastError(real_vfs, size, out);
}

}  // namespace

FailingSqliteVfs::FailingSqliteVfs() {
  if (real_vfs != nullptr) throw std::logic_error("one FailingSqliteVfs at a time");
  sqlite3_initialize();
  real_vfs = sqlite3_vfs_find(nullptr);
  failing_vfs = {};
  failing_vfs.iVersion = 1;
  failing_vfs.szOsFile = static_cast<int>(sizeof(FailingFile)) + real_vfs->szOsFile;
  failing_vfs.mxPathname = real_vfs->mxPathname;
  failing_vfs.zName = "failing";
  failing_vfs.xOpen = Open;
  failing_vfs.xDelete = Delete;
  failing_vfs.xAccess = Access;
  failing_vfs.xFullPathname = FullPathname;
  failing_vfs.xRandomness = Randomness;
  failing_vfs.xSleep = Sleep;
  failing_vfs.xCurrentTime = CurrentTime;
  failing_vfs.xGetLastError = LastError;
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
