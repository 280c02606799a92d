// SiteFolder: the files of a report site, written by a few threads into a
// fresh folder beside the target while the pages are still being made, then
// moved into place whole. Until then the target is untouched; a site that
// fails half-way leaves nothing behind. An earlier report in the target (a
// folder with an index.html) is replaced; any other folder with files in it
// is refused, and so is a file.
#pragma once

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/file_system.h"

namespace orba::report {

// A report that cannot be written; the message names the file and why.
class ReportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class SiteFolder {
 public:
  // Checks the target and makes the fresh folder with `subfolders`; throws
  // ReportError.
  SiteFolder(base::FileSystem& fs, std::filesystem::path target,
             const std::vector<std::string>& subfolders, size_t writers = 3);
  // Stops the writers; the fresh folder goes unless it was placed.
  ~SiteFolder();
  SiteFolder(const SiteFolder&) = delete;
  SiteFolder& operator=(const SiteFolder&) = delete;

  // Queues the file at `relative_path` (in one of the subfolders or at the top).
  void Add(std::string relative_path, std::string text);
  // Waits for every file, then moves the folder into place; throws
  // ReportError naming the first file that could not be written.
  void Place();

 private:
  void CheckTarget() const;
  void MakeFreshFolder(const std::vector<std::string>& subfolders);
  void WriteQueuedFiles();
  void WriteFile(const std::string& relative_path, const std::string& text);
  void StopWriters();
  // Throws ReportError: `what` for `path`, and the system's reason `error`.
  [[noreturn]] static void Fail(const std::string& what, const std::filesystem::path& path,
                                int error);

  base::FileSystem& fs_;
  std::filesystem::path target_;
  std::filesystem::path fresh_;
  bool placed_ = false;
  std::mutex mutex_;
  std::condition_variable queued_;
  std::deque<std::pair<std::string, std::string>> queue_;
  bool closed_ = false;
  std::string first_error_;
  std::vector<std::thread> writers_;
};

}  // namespace orba::report
