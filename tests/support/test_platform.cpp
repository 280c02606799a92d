#include "support/test_platform.h"

#include <sstream>

namespace testing_support {

std::string MemorySettingsStore::GetSetting(const std::string& app, const std::string& section,
                                            const std::string& key,
                                            const std::string& default_value) {
  ++reads;
  auto found = values_.find(app + "/" + section + "/" + key);
  return found == values_.end() ? default_value : found->second;
}

void MemorySettingsStore::SaveSetting(const std::string& app, const std::string& section,
                                      const std::string& key, const std::string& value) {
  if (fail_writes) throw platform::SettingsError("cannot write settings: the store is read-only");
  values_[app + "/" + section + "/" + key] = value;
  writes_.push_back(key + "=" + value);
}

void MemorySettingsStore::SetOptions(const std::string& assignments) {
  std::istringstream list(assignments);
  for (std::string assignment; std::getline(list, assignment, ';');) {
    const size_t equals = assignment.find('=');
    SetOption(assignment.substr(0, equals), assignment.substr(equals + 1));
  }
}

std::string MemorySettingsStore::Option(const std::string& key) const {
  auto found = values_.find("SysML/Options/" + key);
  return found == values_.end() ? "" : found->second;
}

}  // namespace testing_support
