// A component module with only the plain factory, as a host built before the
// creation options would know it: serves "Test.Plain", a dispatch object
// with one property, "Kind".
#include <memory>
#include <string_view>

#include "automation/dispatch.h"
#include "automation/module_abi.h"

namespace {

class PlainObject : public automation::DispatchObject {
 public:
  PlainObject() {
    AddProperty(
        "Kind", [] { return automation::Variant("plain"); }, nullptr);
  }
};

}  // namespace

extern "C" {

__attribute__((visibility("default"))) const char* const* OrbaModuleProgIDs() {
  static const char* const kProgIDs[] = {"Test.Plain", nullptr};
  return kProgIDs;
}

__attribute__((visibility("default"))) bool OrbaCreateObject(const char* prog_id,
                                                             automation::ObjectPtr* object) {
  if (std::string_view(prog_id) != "Test.Plain") return false;
  *object = std::make_shared<PlainObject>();
  return true;
}

}  // extern "C"
