#include "base/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace base {
namespace {

constexpr int kMaxLinks = 40;  // as the kernel's own limit on a chain of links

std::string Describe(std::string_view what, const std::filesystem::path& path) {
  return what.empty() ? path.string() : std::string(what) + " " + path.string();
}

[[noreturn]] void Fail(std::string_view verb, std::string_view what,
                       const std::filesystem::path& path, const std::string& reason) {
  throw FileError("cannot " + std::string(verb) + " " + Describe(what, path) + ": " + reason);
}

FileKind KindOfMode(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::kRegular;
  if (S_ISDIR(mode)) return FileKind::kFolder;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return FileKind::kDevice;
  if (S_ISFIFO(mode)) return FileKind::kFifo;
  if (S_ISSOCK(mode)) return FileKind::kSocket;
  return FileKind::kOther;
}

// Closes the descriptor when it goes out of scope.
class Descriptor {
 public:
  Descriptor(FileSystem& fs, int fd) : fs_(fs), fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) fs_.Close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes now, answering whether the close reported no error.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return fs_.Close(fd) == 0;
  }

 private:
  FileSystem& fs_;
  int fd_;
};

// The mode of the file at `path`; nullopt when there is none. A file that
// cannot be examined is a failure to write it, never taken for a missing one.
std::optional<mode_t> ModeIfPresent(FileSystem& fs, const std::filesystem::path& path,
                                    std::string_view what, const std::filesystem::path& shown) {
  struct stat status {};
  if (fs.Stat(path.c_str(), &status) == 0) return status.st_mode;
  if (errno != ENOENT) Fail("write", what, shown, std::strerror(errno));
  return std::nullopt;
}

// Whole MiB from 1 MiB up; a smaller limit in bytes, never "0 MiB".
std::string SizeText(uint64_t bytes) {
  return bytes >= (1u << 20) ? std::to_string(bytes >> 20) + " MiB"
                             : std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

// `expected_size`: what the file's size was when opened, room for which is
// taken at once rather than grown into (a file may still change meanwhile).
std::string ReadDescriptor(FileSystem& fs, int fd, uint64_t size_limit, std::string_view what,
                           const std::filesystem::path& path, uint64_t expected_size) {
  std::string text;
  text.reserve(static_cast<size_t>(expected_size) + 1);
  char buffer[1 << 16];
  for (;;) {
    const ssize_t count = fs.Read(fd, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) Fail("read", what, path, std::strerror(errno));
    if (count == 0) return text;
    if (text.size() + static_cast<uint64_t>(count) > size_limit) {
      Fail("read", what, path, "it is larger than " + SizeText(size_limit));
    }
    text.append(buffer, static_cast<size_t>(count));
  }
}

void WriteAll(FileSystem& fs, int fd, std::string_view text, std::string_view what,
              const std::filesystem::path& path) {
  size_t written = 0;
  while (written < text.size()) {
    const ssize_t count = fs.Write(fd, text.data() + written, text.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) Fail("write", what, path, std::strerror(count < 0 ? errno : EIO));
    written += static_cast<size_t>(count);
  }
}

void WriteToStream(FileSystem& fs, const std::filesystem::path& path, std::string_view text,
                   std::string_view what) {
  Descriptor out(fs, fs.Open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY, 0));
  if (out.get() < 0) Fail("write", what, path, std::strerror(errno));
  WriteAll(fs, out.get(), text, what, path);
}

// Writes the temporary file and fsyncs it; `mode` is applied exactly when given.
void WriteTemporary(FileSystem& fs, const std::filesystem::path& temp, std::string_view text,
                    std::optional<mode_t> mode, mode_t new_file_mode, std::string_view what,
                    const std::filesystem::path& shown) {
  fs.Unlink(temp.c_str());  // left behind by an earlier process with the same id
  Descriptor out(fs, fs.Open(temp.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, new_file_mode));
  if (out.get() < 0) Fail("write", what, shown, std::strerror(errno));
  if (mode && fs.Fchmod(out.get(), *mode) != 0) Fail("write", what, shown, std::strerror(errno));
  WriteAll(fs, out.get(), text, what, shown);
  if (fs.Fsync(out.get()) != 0 || !out.Close()) Fail("write", what, shown, std::strerror(errno));
}

}  // namespace

FileKind KindOf(FileSystem& fs, const std::filesystem::path& path) {
  struct stat status {};
  if (fs.Stat(path.c_str(), &status) != 0) {
    return errno == ENOENT || errno == ENOTDIR ? FileKind::kMissing : FileKind::kOther;
  }
  return KindOfMode(status.st_mode);
}

std::string_view DescribeKind(FileKind kind) {
  switch (kind) {
    case FileKind::kMissing: return "no such file";
    case FileKind::kRegular: return "a file";
    case FileKind::kFolder: return "a folder";
    case FileKind::kDevice: return "a device";
    case FileKind::kFifo: return "a FIFO";
    case FileKind::kSocket: return "a socket";
    case FileKind::kOther: return "not a regular file";
  }
  return "not a regular file";
}

std::optional<std::string> ReadRegularFileIfPresent(FileSystem& fs,
                                                    const std::filesystem::path& path,
                                                    std::string_view what, uint64_t size_limit) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer.
  Descriptor in(fs, fs.Open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0));
  if (in.get() < 0) {
    if (errno == ENOENT) return std::nullopt;
    Fail("read", what, path, std::strerror(errno));
  }
  struct stat status {};
  if (fs.Fstat(in.get(), &status) != 0) Fail("read", what, path, std::strerror(errno));
  const FileKind kind = KindOfMode(status.st_mode);
  if (kind != FileKind::kRegular)
    Fail("read", what, path, "it is " + std::string(DescribeKind(kind)));
  if (static_cast<uint64_t>(status.st_size) > size_limit) {
    Fail("read", what, path, "it is larger than " + SizeText(size_limit));
  }
  return ReadDescriptor(fs, in.get(), size_limit, what, path,
                        static_cast<uint64_t>(status.st_size));
}

std::string ReadRegularFile(FileSystem& fs, const std::filesystem::path& path,
                            std::string_view what, uint64_t size_limit) {
  std::optional<std::string> text = ReadRegularFileIfPresent(fs, path, what, size_limit);
  if (!text) Fail("read", what, path, "no such file");
  return std::move(*text);
}

std::filesystem::path ResolveLinks(const std::filesystem::path& path, std::string_view what) {
  std::filesystem::path current = path;
  for (int hop = 0; hop <= kMaxLinks; ++hop) {
    std::error_code error;
    if (!std::filesystem::is_symlink(current, error)) return current;
    const std::filesystem::path target = std::filesystem::read_symlink(current, error);
    if (error) return current;
    current = target.is_absolute() ? target : (current.parent_path() / target).lexically_normal();
  }
  Fail("write", what, path, "too many levels of symbolic links");
}

void WriteFileAtomically(FileSystem& fs, const std::filesystem::path& path, std::string_view text,
                         std::string_view what, WriteOptions options) {
  const std::filesystem::path target = ResolveLinks(path, what);
  std::optional<mode_t> keep_mode;
  if (const std::optional<mode_t> mode = ModeIfPresent(fs, target, what, path)) {
    const FileKind kind = KindOfMode(*mode);
    if (kind != FileKind::kRegular) {
      if (options.allow_streams && kind != FileKind::kFolder && kind != FileKind::kOther) {
        return WriteToStream(fs, target, text, what);
      }
      Fail("write", what, path, "it is " + std::string(DescribeKind(kind)));
    }
    keep_mode = *mode & 07777;
  }
  const std::filesystem::path temp = target.string() + ".writing-" + std::to_string(::getpid());
  try {
    WriteTemporary(fs, temp, text, keep_mode, options.new_file_mode, what, path);
    if (fs.Rename(temp.c_str(), target.c_str()) != 0) {
      Fail("write", what, path, std::strerror(errno));
    }
  } catch (...) {
    fs.Unlink(temp.c_str());
    throw;
  }
  SyncFolder(fs, target.parent_path());
}

std::filesystem::path ReplaceableFileTarget(FileSystem& fs, const std::filesystem::path& path,
                                            std::string_view what) {
  const std::filesystem::path target = ResolveLinks(path, what);
  const FileKind kind = KindOf(fs, target);
  if (kind != FileKind::kMissing && kind != FileKind::kRegular) {
    Fail("write", what, path, "it is " + std::string(DescribeKind(kind)));
  }
  return target;
}

void MoveIntoPlace(FileSystem& fs, const std::filesystem::path& built,
                   const std::filesystem::path& target, std::string_view what) {
  if (const std::optional<mode_t> mode = ModeIfPresent(fs, target, what, target)) {
    const FileKind kind = KindOfMode(*mode);
    if (kind != FileKind::kRegular) {
      Fail("write", what, target, "it is " + std::string(DescribeKind(kind)));
    }
    if (fs.Chmod(built.c_str(), *mode & 07777) != 0) {
      Fail("write", what, target, std::strerror(errno));
    }
  }
  if (fs.Rename(built.c_str(), target.c_str()) != 0)
    Fail("write", what, target, std::strerror(errno));
  SyncFolder(fs, target.parent_path());
}

FileLock::FileLock(FileSystem& fs, const std::filesystem::path& path, std::string_view what)
    : fs_(fs) {
  fd_ = fs.Open(path.c_str(), O_CREAT | O_RDWR | O_CLOEXEC | O_NOCTTY, 0644);
  if (fd_ < 0) Fail("lock", what, path, std::strerror(errno));
  while (fs.Flock(fd_, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    const int error = errno;
    fs.Close(fd_);
    Fail("lock", what, path, std::strerror(error));
  }
}

FileLock::~FileLock() { fs_.Close(fd_); }

std::filesystem::path ConfigFolder() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
    return std::filesystem::path(config) / "orba";
  }
  if (const char* home = std::getenv("HOME"); home && *home) {
    return std::filesystem::path(home) / ".config" / "orba";
  }
  return std::filesystem::path(".config") / "orba";
}

void SyncFolder(FileSystem& fs, const std::filesystem::path& folder) {
  // Best effort: some file systems refuse fsync on a folder, and the rename
  // itself has already happened.
  Descriptor dir(
      fs, fs.Open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
  if (dir.get() >= 0) fs.Fsync(dir.get());
}

void MakeFolders(FileSystem& fs, const std::filesystem::path& folder, std::string_view what) {
  std::filesystem::path made;
  for (const auto& part : folder) {
    made /= part;
    if (fs.Mkdir(made.c_str(), 0777) != 0 && errno != EEXIST) {
      Fail("create", what, folder, std::strerror(errno));
    }
  }
}

}  // namespace base
