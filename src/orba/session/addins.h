// The host's add-in list: the add-ins it loads (the name it knows each by and
// the ProgID it creates it from), the technologies they provide, and how a
// failed add-in call is told to the user.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "automation/object.h"

namespace orba::session {

struct AddinEntry {
  std::string name;     // "SysML"
  std::string prog_id;  // "Tessary.CTessary"
};

// An add-in the session has created.
struct LoadedAddin {
  std::string name;
  automation::ObjectPtr object;
};

// A technology an add-in loads into the open model when its menu item is
// chosen (its Load command, run with the model open and no dialogs).
struct TechnologyProvider {
  std::string technology_id;  // "SysML"
  std::string addin_name;     // "SysML"
  std::string menu_name;      // the submenu holding the item
  std::string item_name;      // the Load item, "&" included
};

// The add-ins this host knows: "SysML" -> "Tessary.CTessary".
const std::vector<AddinEntry>& DefaultAddins();

// The provider of `technology_id`; null when no known add-in provides it.
const TechnologyProvider* FindTechnologyProvider(std::string_view technology_id);

// An add-in operation that answered an error.
struct FailedCall {
  std::string addin;
  std::string operation;
  std::string error;
};

// "add-in SysML: Orba_MenuClick failed: MESSAGE".
std::string AddinFailure(std::string_view addin, std::string_view operation,
                         std::string_view error);

}  // namespace orba::session
