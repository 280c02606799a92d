// The entry points that a component module exports (like DllGetClassObject):
//
//   extern "C" bool OrbaCreateObject(const char* prog_id, automation::ObjectPtr* object);
//   extern "C" const char* const* OrbaModuleProgIDs();   // null-terminated list
//
// and, optionally, the factory a host uses to say how the object meets the user:
//
//   extern "C" bool OrbaCreateObjectWithOptions(const char* prog_id,
//                                               const automation::CreationOptions* options,
//                                               automation::ObjectPtr* object);
//
// and, optionally, the module's version as `orba --version` shows it:
//
//   extern "C" const char* OrbaModuleVersion();
//
// The factories create a new instance of the class registered as prog_id and
// answer true, or answer false for a ProgID the module does not serve.
#pragma once

#include <string>

#include "automation/object.h"

#define ORBA_CREATE_OBJECT_SYMBOL "OrbaCreateObject"
#define ORBA_CREATE_OBJECT_WITH_OPTIONS_SYMBOL "OrbaCreateObjectWithOptions"
#define ORBA_MODULE_PROGIDS_SYMBOL "OrbaModuleProgIDs"
#define ORBA_MODULE_VERSION_SYMBOL "OrbaModuleVersion"

namespace automation {

struct CreationOptions {
  // How the object's message boxes and dialogs reach the user: "qt" (windows
  // when a display is there), "console" (forms on a terminal) or "none"
  // (boxes printed, dialogs cancelled).
  std::string user_interface = "console";
  // True when the user named the user interface: a module that cannot give
  // it fails rather than choose another.
  bool user_interface_required = false;
  // Where a factory that answers false may say why (null: nobody asks).
  std::string* failure_reason = nullptr;
};

using CreateObjectFunction = bool (*)(const char* prog_id, ObjectPtr* object);
using CreateObjectWithOptionsFunction = bool (*)(const char* prog_id,
                                                 const CreationOptions* options, ObjectPtr* object);
using ModuleProgIDsFunction = const char* const* (*)();
using ModuleVersionFunction = const char* (*)();

}  // namespace automation
