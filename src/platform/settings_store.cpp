#include "platform/settings_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/ini_file.h"

namespace platform {
namespace {

std::string SystemError(const std::string& what, const std::filesystem::path& path) {
  return what + " " + path.string() + ": " + std::strerror(errno);
}

// Reads the whole file; a missing file reads as empty text.
std::string ReadFileText(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (status.type() == std::filesystem::file_type::not_found) return "";
  if (error)
    throw SettingsError("cannot read settings file " + path.string() + ": " + error.message());
  if (std::filesystem::is_directory(status)) {
    throw SettingsError("cannot read settings file " + path.string() + ": it is a folder");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) throw SettingsError(SystemError("cannot read settings file", path));
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw SettingsError(SystemError("cannot read settings file", path));
  return text.str();
}

// An advisory lock on DIR/APP.ini.lock, held for the life of the object.
class FileLock {
 public:
  FileLock(const std::filesystem::path& path, int operation) {
    fd_ = ::open(path.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
    if (fd_ < 0) throw SettingsError(SystemError("cannot lock settings file", path));
    while (::flock(fd_, operation) != 0) {
      if (errno != EINTR) {
        ::close(fd_);
        throw SettingsError(SystemError("cannot lock settings file", path));
      }
    }
  }
  ~FileLock() { ::close(fd_); }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fd_ = -1;
};

void WriteAtomically(const std::filesystem::path& path, const std::string& text) {
  const std::filesystem::path temp = path.string() + ".tmp";
  const int fd = ::open(temp.c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0644);
  if (fd < 0) throw SettingsError(SystemError("cannot write settings file", temp));
  size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const std::string message = SystemError("cannot write settings file", temp);
      ::close(fd);
      ::unlink(temp.c_str());
      throw SettingsError(message);
    }
    written += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    const std::string message = SystemError("cannot write settings file", temp);
    ::unlink(temp.c_str());
    throw SettingsError(message);
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const std::string message = SystemError("cannot replace settings file", path);
    ::unlink(temp.c_str());
    throw SettingsError(message);
  }
}

}  // namespace

std::filesystem::path IniSettingsStore::DefaultFolder() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
    return std::filesystem::path(config) / "orba";
  }
  if (const char* home = std::getenv("HOME"); home && *home) {
    return std::filesystem::path(home) / ".config" / "orba";
  }
  return std::filesystem::path(".config") / "orba";
}

IniSettingsStore::IniSettingsStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path IniSettingsStore::FileFor(const std::string& app) const {
  return folder_ / (app + ".ini");
}

std::string IniSettingsStore::GetSetting(const std::string& app, const std::string& section,
                                         const std::string& key,
                                         const std::string& default_value) {
  const std::filesystem::path path = FileFor(app);
  const IniFile file = IniFile::Parse(ReadFileText(path), path.string());
  return file.Get(section, key).value_or(default_value);
}

void IniSettingsStore::SaveSetting(const std::string& app, const std::string& section,
                                   const std::string& key, const std::string& value) {
  if (key.empty() || key.find_first_of("=\r\n") != std::string::npos ||
      value.find_first_of("\r\n") != std::string::npos) {
    throw SettingsError("cannot store setting \"" + key + "\": keys and values are single lines");
  }
  const std::filesystem::path path = FileFor(app);
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
  if (error)
    throw SettingsError("cannot create settings folder " + folder_.string() + ": " +
                        error.message());
  FileLock lock(path.string() + ".lock", LOCK_EX);
  IniFile file = IniFile::Parse(ReadFileText(path), path.string());
  file.Set(section, key, value);
  // A settings file that is a link (kept with the user's other dotfiles, say)
  // stays one: the file it points to is replaced.
  const std::filesystem::path target = std::filesystem::is_symlink(path, error)
                                           ? std::filesystem::weakly_canonical(path, error)
                                           : path;
  WriteAtomically(target, file.Text());
}

}  // namespace platform
