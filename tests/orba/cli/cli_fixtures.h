// The fixture of the tests that run `orba` from C++: those that need the
// operating system's side of things (links, FIFOs, signals, limits, other
// processes). The models are those of the case files.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "orba/cli/orba_process.h"

namespace orba::cli::testing {

inline const std::filesystem::path kCases = TESSARY_SOURCE_ROOT "/tests/orba/cli/cases";

class OrbaCommandTest : public ::testing::Test {
 protected:
  // Imports cases/`model`.json into the model file `name` in the sandbox; answers its path.
  std::string Import(const std::string& model, const std::string& name = "model.obx") {
    const OrbaRun run = sandbox_.Run({"import", (kCases / (model + ".json")).string(), "-o", name});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    return sandbox_.Path(name);
  }

  // The names of the sandbox's files that start with `prefix`.
  std::vector<std::string> FilesStartingWith(const std::string& prefix) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(sandbox_.Path(""))) {
      const std::string name = entry.path().filename().string();
      if (name.starts_with(prefix)) names.push_back(name);
    }
    return names;
  }

  OrbaSandbox sandbox_;
};

}  // namespace orba::cli::testing
