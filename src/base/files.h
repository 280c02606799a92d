// Reading and writing the files a user names: model files, documents,
// settings and the component registry. Every command reads and writes through
// these, so a link, a device, a pipe or a huge file is treated the same way
// everywhere:
//
// - Reads take regular files only (through links), up to a size limit, so a
//   name like /dev/zero or a FIFO is an error rather than a hang.
// - Writes replace the file a link points to (the link stays), keep the
//   replaced file's permission bits, and are whole or absent: a temporary
//   file beside the target, fsync, rename, fsync of the folder.
//
// Each takes the FileSystem whose calls it makes: base::OperatingSystem(),
// or one a test hands in to make a call fail.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/error.h"
#include "base/file_system.h"

namespace base {

// A file that cannot be read or written; the message names the file and why.
class FileError : public Error {
 public:
  using Error::Error;
};

// What a path names once links are followed.
enum class FileKind { kMissing, kRegular, kFolder, kDevice, kFifo, kSocket, kOther };

FileKind KindOf(FileSystem& fs, const std::filesystem::path& path);
// "a folder", "a device", "a FIFO", ...: how messages name a kind that is not a file.
std::string_view DescribeKind(FileKind kind);

// Sizes above which a file is refused rather than read into memory.
inline constexpr uint64_t kSettingsSizeLimit = uint64_t{16} << 20;  // settings, registries
inline constexpr uint64_t kDocumentSizeLimit = uint64_t{4} << 30;   // model documents

// The whole regular file at `path`. `what` names the file in messages
// ("settings file"; empty: the path alone). Throws FileError for a missing file,
// anything that is not a regular file, a file larger than `size_limit`, and a
// failed read.
std::string ReadRegularFile(FileSystem& fs, const std::filesystem::path& path,
                            std::string_view what, uint64_t size_limit);
// The same, but a missing file (or a link to nothing) answers nullopt.
std::optional<std::string> ReadRegularFileIfPresent(FileSystem& fs,
                                                    const std::filesystem::path& path,
                                                    std::string_view what, uint64_t size_limit);

// The file a write to `path` changes: `path` itself, or, when it is a
// symbolic link, the file at the end of its chain of links (which need not
// exist yet). Throws FileError for a loop of links, as a failure to write
// `what` (a "model file", "settings file", ...).
std::filesystem::path ResolveLinks(const std::filesystem::path& path, std::string_view what);

struct WriteOptions {
  // Devices, FIFOs and sockets (/dev/stdout, a pipe) take the text as it
  // comes; without this they are refused.
  bool allow_streams = false;
  // Permission bits of a new file, before the umask; an existing file's are kept.
  mode_t new_file_mode = 0666;
};

// Writes `text` as the whole file at `path` (see the top of this file).
// Throws FileError naming `what` and the path; on failure the old file is untouched.
void WriteFileAtomically(FileSystem& fs, const std::filesystem::path& path, std::string_view text,
                         std::string_view what, WriteOptions options = {});

// The file a new model (built elsewhere and then moved into place) will
// replace: links followed; a folder, device, FIFO or socket is refused.
std::filesystem::path ReplaceableFileTarget(FileSystem& fs, const std::filesystem::path& path,
                                            std::string_view what);
// Moves the finished file `built` to `target` (a path from
// ReplaceableFileTarget, on the same file system): an existing file's
// permission bits are kept, then rename and fsync of the folder.
void MoveIntoPlace(FileSystem& fs, const std::filesystem::path& built,
                   const std::filesystem::path& target, std::string_view what);

// An exclusive advisory lock (flock) on the file `path` (created when
// missing), held for the life of the object; waits while another process
// holds it. Serialises read-modify-write cycles on a file between processes.
class FileLock {
 public:
  FileLock(FileSystem& fs, const std::filesystem::path& path, std::string_view what);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  FileSystem& fs_;
  int fd_ = -1;
};

// The folder of this user's orba configuration (settings, registry):
// $XDG_CONFIG_HOME/orba, else ~/.config/orba.
std::filesystem::path ConfigFolder();

// Makes a rename or a new file in `folder` durable.
void SyncFolder(FileSystem& fs, const std::filesystem::path& folder);

// Creates `folder` and the folders above it that are missing; `what` names
// it in messages ("settings folder").
void MakeFolders(FileSystem& fs, const std::filesystem::path& folder, std::string_view what);

}  // namespace base
