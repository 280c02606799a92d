// FileSystem: the operating system's file calls, as one object that every
// reader and writer of named files is handed (like LevelDB's Env), so that a
// test can make any one of them fail. Each member behaves as the POSIX call
// of the same name: -1 (or a negative count) and errno on failure.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>

namespace base {

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual int Open(const char* path, int flags, mode_t mode) = 0;
  virtual ssize_t Read(int fd, void* buffer, size_t size) = 0;
  virtual ssize_t Write(int fd, const void* data, size_t size) = 0;
  virtual int Fsync(int fd) = 0;
  virtual int Close(int fd) = 0;
  virtual int Stat(const char* path, struct stat* status) = 0;
  virtual int Fstat(int fd, struct stat* status) = 0;
  virtual int Chmod(const char* path, mode_t mode) = 0;
  virtual int Fchmod(int fd, mode_t mode) = 0;
  virtual int Rename(const char* from, const char* to) = 0;
  virtual int Unlink(const char* path) = 0;
  virtual int Mkdir(const char* path, mode_t mode) = 0;
  virtual int Flock(int fd, int operation) = 0;
};

// The real one: the calls of this process's operating system.
FileSystem& OperatingSystem();

}  // namespace base
