#include "platform/settings_store.h"

#include <cstdlib>

#include "base/files.h"
#include "base/ini_file.h"

namespace platform {
namespace {

// Reads the whole file; a missing file reads as empty text.
std::string ReadFileText(const std::filesystem::path& path) {
  return base::ReportedAs<SettingsError>([&] {
    return base::ReadRegularFileIfPresent(path, "settings file", base::kSettingsSizeLimit)
        .value_or("");
  });
}

base::IniFile ReadIniFile(const std::filesystem::path& path) {
  return base::ReportedAs<SettingsError>([&] { return base::IniFile::Parse(ReadFileText(path), path.string()); });
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
  const base::IniFile file = ReadIniFile(path);
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
  const base::FileLock lock =
      base::ReportedAs<SettingsError>([&] { return base::FileLock(path.string() + ".lock", "settings file"); });
  base::IniFile file = ReadIniFile(path);
  file.Set(section, key, value);
  // A settings file that is a link (kept with the user's other dotfiles, say)
  // stays one: the file it points to is replaced, its permissions kept.
  base::ReportedAs<SettingsError>([&] { base::WriteFileAtomically(path, file.Text(), "settings file"); });
}

}  // namespace platform
