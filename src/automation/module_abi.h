// The one entry point that a component module exports (like DllGetClassObject):
//
//   extern "C" bool OrbaCreateObject(const char* prog_id, automation::ObjectPtr* object);
//   extern "C" const char* const* OrbaModuleProgIDs();   // null-terminated list
//
// OrbaCreateObject creates a new instance of the class registered as prog_id and
// answers true, or answers false for a ProgID the module does not serve.
#pragma once

#include "automation/object.h"

#define ORBA_CREATE_OBJECT_SYMBOL "OrbaCreateObject"
#define ORBA_MODULE_PROGIDS_SYMBOL "OrbaModuleProgIDs"

namespace automation {
using CreateObjectFunction = bool (*)(const char* prog_id, ObjectPtr* object);
using ModuleProgIDsFunction = const char* const* (*)();
}  // namespace automation
