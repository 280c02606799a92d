#include "orba/report/site_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orba::report {
namespace {

constexpr char kEarlierReportMark[] = "index.html";

bool Exists(base::FileSystem& fs, const std::filesystem::path& path, struct stat& status) {
  return fs.Stat(path.c_str(), &status) == 0;
}

}  // namespace

SiteFolder::SiteFolder(base::FileSystem& fs, std::filesystem::path target,
                       const std::vector<std::string>& subfolders, size_t writers)
    : fs_(fs), target_(std::move(target)) {
  CheckTarget();
  MakeFreshFolder(subfolders);
  for (size_t writer = 0; writer < writers; ++writer)
    writers_.emplace_back([this] { WriteQueuedFiles(); });
}

SiteFolder::~SiteFolder() {
  StopWriters();
  std::error_code ignored;  // a folder that cannot go leaves only a hidden leftover
  if (!placed_ && !fresh_.empty()) std::filesystem::remove_all(fresh_, ignored);
}

void SiteFolder::CheckTarget() const {
  struct stat status;
  if (!Exists(fs_, target_, status)) return;
  if (!S_ISDIR(status.st_mode))
    throw ReportError("cannot write the report into " + target_.string() +
                      ": it exists and is not a folder");
  std::error_code error;
  const bool empty = std::filesystem::is_empty(target_, error);
  if (!empty && !Exists(fs_, target_ / kEarlierReportMark, status))
    throw ReportError("cannot write the report into " + target_.string() +
                      ": the folder holds files but no earlier report (no index.html); give a "
                      "new or empty folder");
}

void SiteFolder::MakeFreshFolder(const std::vector<std::string>& subfolders) {
  std::filesystem::path parent = target_.parent_path();
  if (parent.empty()) parent = ".";
  const std::string stem = "." + target_.filename().string() + ".partial-";
  for (int attempt = 0; fresh_.empty(); ++attempt) {
    const std::filesystem::path candidate =
        parent / (stem + std::to_string(getpid()) + "-" + std::to_string(attempt));
    if (fs_.Mkdir(candidate.c_str(), 0777) == 0) {
      fresh_ = candidate;
    } else if (errno != EEXIST) {
      Fail("cannot write the report into " + target_.string() + ": cannot make the folder",
           candidate, errno);
    }
  }
  for (const std::string& subfolder : subfolders) {
    if (fs_.Mkdir((fresh_ / subfolder).c_str(), 0777) != 0) {
      const int error = errno;
      std::error_code ignored;  // the constructor fails: no destructor removes it
      std::filesystem::remove_all(fresh_, ignored);
      Fail("cannot make the report folder", target_ / subfolder, error);
    }
  }
}

void SiteFolder::Add(std::string relative_path, std::string text) {
  {
    const std::lock_guard lock(mutex_);
    queue_.emplace_back(std::move(relative_path), std::move(text));
  }
  queued_.notify_one();
}

void SiteFolder::Place() {
  StopWriters();
  if (!first_error_.empty()) throw ReportError(first_error_);
  struct stat status;
  if (Exists(fs_, target_, status)) {
    const std::filesystem::path earlier = fresh_.string() + "-earlier";
    if (fs_.Rename(target_.c_str(), earlier.c_str()) != 0)
      Fail("cannot replace the earlier report", target_, errno);
    if (fs_.Rename(fresh_.c_str(), target_.c_str()) != 0) {
      const int error = errno;
      fs_.Rename(earlier.c_str(), target_.c_str());  // the earlier report back
      Fail("cannot put the report in place", target_, error);
    }
    std::error_code ignored;
    std::filesystem::remove_all(earlier, ignored);
  } else if (fs_.Rename(fresh_.c_str(), target_.c_str()) != 0) {
    Fail("cannot put the report in place", target_, errno);
  }
  placed_ = true;
}

void SiteFolder::WriteQueuedFiles() {
  for (;;) {
    std::unique_lock lock(mutex_);
    queued_.wait(lock, [this] { return closed_ || !queue_.empty(); });
    if (queue_.empty()) return;
    const auto [path, text] = std::move(queue_.front());
    queue_.pop_front();
    if (!first_error_.empty()) continue;  // the site fails anyway
    lock.unlock();
    try {
      WriteFile(path, text);
    } catch (const ReportError& error) {
      const std::lock_guard failed(mutex_);
      if (first_error_.empty()) first_error_ = error.what();
    }
  }
}

void SiteFolder::WriteFile(const std::string& relative_path, const std::string& text) {
  const std::filesystem::path path = fresh_ / relative_path;
  const int fd = fs_.Open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) Fail("cannot write report file", target_ / relative_path, errno);
  for (size_t written = 0; written < text.size();) {
    const ssize_t wrote = fs_.Write(fd, text.data() + written, text.size() - written);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      const int error = wrote < 0 ? errno : ENOSPC;
      fs_.Close(fd);
      Fail("cannot write report file", target_ / relative_path, error);
    }
    written += static_cast<size_t>(wrote);
  }
  if (fs_.Close(fd) != 0) Fail("cannot write report file", target_ / relative_path, errno);
}

void SiteFolder::StopWriters() {
  {
    const std::lock_guard lock(mutex_);
    closed_ = true;
  }
  queued_.notify_all();
  for (std::thread& writer : writers_) writer.join();
  writers_.clear();
}

void SiteFolder::Fail(const std::string& what, const std::filesystem::path& path, int error) {
  throw ReportError(what + " " + path.string() + ": " + std::strerror(error));
}

}  // namespace orba::report
