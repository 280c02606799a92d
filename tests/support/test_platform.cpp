#include "support/test_platform.h"

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

std::string MemorySettingsStore::Option(const std::string& key) const {
  auto found = values_.find("SysML/Options/" + key);
  return found == values_.end() ? "" : found->second;
}

}  // namespace testing_support
