#include "orba/session/addins.h"

namespace orba::session {

const std::vector<AddinEntry>& DefaultAddins() {
  static const std::vector<AddinEntry> kAddins = {{"SysML", "Tessary.CTessary"}};
  return kAddins;
}

const TechnologyProvider* FindTechnologyProvider(std::string_view technology_id) {
  static const std::vector<TechnologyProvider> kProviders = {
      {"SysML", "SysML", "-&SysML Technology", "&Load SysML Technology"}};
  for (const TechnologyProvider& provider : kProviders) {
    if (provider.technology_id == technology_id) return &provider;
  }
  return nullptr;
}

std::string AddinFailure(std::string_view addin, std::string_view operation,
                         std::string_view error) {
  return "add-in " + std::string(addin) + ": " + std::string(operation) +
         " failed: " + std::string(error);
}

}  // namespace orba::session
