// The module's exported factory: creates CTessary, registered as
// "Tessary.CTessary", with the default platform services of this process.
#include "addin/tessary.h"
#include "automation/module_abi.h"
#include "platform/module_path.h"

extern "C" {

__attribute__((visibility("default"))) const char* const* OrbaModuleProgIDs() {
  static const char* const kProgIDs[] = {addin::kProgID, nullptr};
  return kProgIDs;
}

__attribute__((visibility("default"))) bool OrbaCreateObject(const char* prog_id,
                                                             automation::ObjectPtr* object) {
  if (prog_id == nullptr || object == nullptr || std::string_view(prog_id) != addin::kProgID) {
    return false;
  }
  try {
    const auto folder = platform::ModuleFolderOf(reinterpret_cast<const void*>(&OrbaModuleProgIDs));
    *object = std::make_shared<addin::CTessary>(platform::MakeDefaultPlatform(folder));
    return true;
  } catch (...) {
    return false;
  }
}

}  // extern "C"
