#include "base/file_system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>

namespace base {
namespace {

class PosixFileSystem : public FileSystem {
 public:
  int Open(const char* path, int flags, mode_t mode) override { return ::open(path, flags, mode); }
  ssize_t Read(int fd, void* buffer, size_t size) override { return ::read(fd, buffer, size); }
  ssize_t Write(int fd, const void* data, size_t size) override { return ::write(fd, data, size); }
  int Fsync(int fd) override { return ::fsync(fd); }
  int Close(int fd) override { return ::close(fd); }
  int Stat(const char* path, struct stat* status) override { return ::stat(path, status); }
  int Fstat(int fd, struct stat* status) override { return ::fstat(fd, status); }
  int Chmod(const char* path, mode_t mode) override { return ::chmod(path, mode); }
  int Fchmod(int fd, mode_t mode) override { return ::fchmod(fd, mode); }
  int Rename(const char* from, const char* to) override { return ::rename(from, to); }
  int Unlink(const char* path) override { return ::unlink(path); }
  int Mkdir(const char* path, mode_t mode) override { return ::mkdir(path, mode); }
  int Flock(int fd, int operation) override { return ::flock(fd, operation); }
};

}  // namespace

FileSystem& OperatingSystem() {
  static PosixFileSystem system;
  return system;
}

}  // namespace base
