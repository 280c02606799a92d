// Component registry: ProgID -> module file, kept in a small INI-style file
// (section [Components], lines ProgID=path), as a COM registration keeps the
// server of a class. CreateObject loads the module and asks its exported
// factory for a new instance.
//
// ProgIDs compare ignoring case; a registry naming one twice is an error. A
// relative module path is relative to the registry file's folder. Comments,
// other sections and their lines are kept when a registration rewrites the
// file (atomically, fsynced, permissions kept, a link followed).
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "automation/module_abi.h"
#include "automation/object.h"
#include "base/file_system.h"

namespace automation {

class Registry {
 public:
  // The registry in force: $ORBA_REGISTRY if set; else components.ini beside
  // the running program (a build tree) or in the lib/orba folder of the tree
  // it is installed in (bin/../lib/orba), if there is one; else the user's
  // $XDG_CONFIG_HOME/orba/components.ini (default ~/.config/orba/components.ini).
  static std::filesystem::path DefaultPath();

  // Reads and writes `file` through `fs`.
  explicit Registry(std::filesystem::path file, base::FileSystem& fs = base::OperatingSystem());

  // Loads the module, asks it for its ProgIDs and records each against the
  // module's absolute path. Returns the ProgIDs recorded. A path holding a
  // control character (which could add a line of its own) is refused.
  std::vector<std::string> RegisterModule(const std::filesystem::path& module);

  // The module registered for prog_id; empty when none.
  std::filesystem::path ModuleFor(const std::string& prog_id) const;

  // Creates a new instance of prog_id. Throws automation::Error naming the
  // ProgID when it is not registered, its module cannot be loaded, or the
  // module does not serve it.
  ObjectPtr CreateObject(const std::string& prog_id, const CreationOptions& options = {}) const;

 private:
  std::filesystem::path file_;
  base::FileSystem& fs_;
};

// Loads a module (once per process; modules stay loaded, as objects created by
// them may live until exit) and resolves its factory.
ObjectPtr CreateObjectFromModule(const std::filesystem::path& module, const std::string& prog_id,
                                 const CreationOptions& options = {});
std::vector<std::string> ModuleProgIDs(const std::filesystem::path& module);
// The version the module states; "" when it states none.
std::string ModuleVersion(const std::filesystem::path& module);

}  // namespace automation
