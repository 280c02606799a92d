// Per-user settings store: texts by application, section and key.
//
// IniSettingsStore keeps one INI file per application, DIR/APP.ini, with
// [Section] headers and Key=Value lines. Reads of a missing file or key give
// the default. A file that cannot be read or parsed is an error naming the file
// and line; it is never silently replaced. Writes rewrite the file atomically
// (temp file, fsync, rename) under an advisory lock, keeping every line they do
// not change, comments and unknown keys included.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "base/file_system.h"

namespace platform {

class SettingsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::string GetSetting(const std::string& app, const std::string& section,
                                 const std::string& key, const std::string& default_value) = 0;
  virtual void SaveSetting(const std::string& app, const std::string& section,
                           const std::string& key, const std::string& value) = 0;
};

class IniSettingsStore : public SettingsStore {
 public:
  // $XDG_CONFIG_HOME/orba (default ~/.config/orba).
  static std::filesystem::path DefaultFolder();

  // Reads and writes the files in `folder` through `fs`.
  explicit IniSettingsStore(std::filesystem::path folder,
                            base::FileSystem& fs = base::OperatingSystem());

  std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                         const std::string& default_value) override;
  void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& value) override;

  std::filesystem::path FileFor(const std::string& app) const;

 private:
  std::filesystem::path folder_;
  base::FileSystem& fs_;
};

}  // namespace platform
