#include "platform/settings_store.h"

#include "base/files.h"
#include "base/ini_file.h"

namespace platform {
namespace {

// The settings file; a missing one reads as empty.
base::IniFile ReadIniFile(base::FileSystem& fs, const std::filesystem::path& path) {
  return base::ReportedAs<SettingsError>([&] {
    const auto text =
        base::ReadRegularFileIfPresent(fs, path, "settings file", base::kSettingsSizeLimit);
    return base::IniFile::Parse(text.value_or(""), path.string());
  });
}

}  // namespace

std::filesystem::path IniSettingsStore::DefaultFolder() { return base::ConfigFolder(); }

IniSettingsStore::IniSettingsStore(std::filesystem::path folder, base::FileSystem& fs)
    : folder_(std::move(folder)), fs_(fs) {}

std::filesystem::path IniSettingsStore::FileFor(const std::string& app) const {
  return folder_ / (app + ".ini");
}

std::string IniSettingsStore::GetSetting(const std::string& app, const std::string& section,
                                         const std::string& key, const std::string& default_value) {
  const std::filesystem::path path = FileFor(app);
  const base::IniFile file = ReadIniFile(fs_, path);
  return file.Get(section, key).value_or(default_value);
}

void IniSettingsStore::SaveSetting(const std::string& app, const std::string& section,
                                   const std::string& key, const std::string& value) {
  if (key.empty() || key.find_first_of("=\r\n") != std::string::npos ||
      value.find_first_of("\r\n") != std::string::npos) {
    throw SettingsError("cannot store setting \"" + key + "\": keys and values are single lines");
  }
  const std::filesystem::path path = FileFor(app);
  base::ReportedAs<SettingsError>([&] {
    base::MakeFolders(fs_, folder_, "settings folder");
    const base::FileLock lock(fs_, path.string() + ".lock", "settings file");
    base::IniFile file = ReadIniFile(fs_, path);
    file.Set(section, key, value);
    // A settings file that is a link (kept with the user's other dotfiles, say)
    // stays one: the file it points to is replaced, its permissions kept.
    base::WriteFileAtomically(fs_, path, file.Text(), "settings file");
  });
}

}  // namespace platform
