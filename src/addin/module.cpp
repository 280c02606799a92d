// The module's exported factories: create CTessary, registered as
// "Tessary.CTessary", with the default platform services of this process and
// the user interface the host asks for.
#include "addin/tessary.h"
#include "automation/module_abi.h"
#include "platform/module_path.h"

extern "C" {

__attribute__((visibility("default"))) const char* const* OrbaModuleProgIDs() {
  static const char* const kProgIDs[] = {addin::kProgID, nullptr};
  return kProgIDs;
}

__attribute__((visibility("default"))) const char* OrbaModuleVersion() { return TESSARY_VERSION; }

__attribute__((visibility("default"))) bool OrbaCreateObjectWithOptions(
    const char* prog_id, const automation::CreationOptions* options,
    automation::ObjectPtr* object) {
  if (prog_id == nullptr || options == nullptr || object == nullptr ||
      std::string_view(prog_id) != addin::kProgID) {
    return false;
  }
  try {
    const auto folder = platform::ModuleFolderOf(reinterpret_cast<const void*>(&OrbaModuleProgIDs));
    *object = std::make_shared<addin::CTessary>(platform::MakeDefaultPlatform(
        folder, options->user_interface, options->user_interface_required));
    return true;
  } catch (const std::exception& error) {
    if (options->failure_reason != nullptr) *options->failure_reason = error.what();
    return false;
  } catch (...) {
    return false;
  }
}

__attribute__((visibility("default"))) bool OrbaCreateObject(const char* prog_id,
                                                             automation::ObjectPtr* object) {
  const automation::CreationOptions defaults;
  return OrbaCreateObjectWithOptions(prog_id, &defaults, object);
}

}  // extern "C"
