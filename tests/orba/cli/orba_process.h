// Runs the built `orba` as a separate process, the way a user or a CI job
// does, in a sandbox of its own: a temporary folder holding the component
// registry (with the built add-in module registered) and the settings, so the
// user's own configuration is never read or written.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace orba::cli::testing {

struct OrbaRun {
  int exit_code = -1;  // -1 when a signal ended the process
  std::string out;     // stdout
  std::string err;     // stderr
  int signal = 0;      // the signal that ended the process, if one did
};

class OrbaSandbox {
 public:
  // Registers the built add-in module in the sandbox's registry.
  OrbaSandbox();

  // Runs orba with `args` in the sandbox folder; stdin is empty, no display is
  // available unless `extra_environment` ("NAME=value" entries, which win over
  // the sandbox's own) names one. Standard output goes to `stdout_path` when
  // one is given (OrbaRun::out is then empty).
  OrbaRun Run(const std::vector<std::string>& args,
              const std::vector<std::string>& extra_environment = {},
              const std::string& stdout_path = "") const;
  // Run in two halves: Start returns at once, Wait answers how the run ended.
  pid_t Start(const std::vector<std::string>& args,
              const std::vector<std::string>& extra_environment = {},
              const std::string& stdout_path = "") const;
  OrbaRun Wait(pid_t pid, bool stdout_captured = true) const;

  // A path inside the sandbox.
  std::string Path(const std::string& name) const { return (folder_.path() / name).string(); }
  void WriteFile(const std::string& name, const std::string& text) const;
  std::string ReadFile(const std::string& name) const;
  // Stores one of the add-in's options ([Options] of SysML.ini in the sandbox's settings).
  void SetAddinOption(const std::string& key, const std::string& value);

  static std::filesystem::path BuildBin();

 private:
  testing_support::TempFolder folder_;
  std::vector<std::string> options_;
};

}  // namespace orba::cli::testing
