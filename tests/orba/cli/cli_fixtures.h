// The models and the fixture of the command-line tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "orba/cli/orba_process.h"

namespace orba::cli::testing {

// A SysML model: a structure package with two blocks, an activity allocated
// to one of them, and a requirement.
inline constexpr char kCarModel[] = R"json({
  "format": "orba-model", "version": 1,
  "technologies": ["SysML"],
  "packages": [{"key": "root", "name": "Model"},
               {"key": "structure", "name": "Structure", "parent": "root"}],
  "elements": [
    {"key": "car", "package": "structure", "type": "Class", "name": "Car", "stereotype": "block"},
    {"key": "engine", "package": "structure", "type": "Class", "name": "Engine", "stereotype": "block"},
    {"key": "drive", "package": "structure", "type": "Activity", "name": "Drive"},
    {"key": "speed", "package": "structure", "type": "Requirement", "name": "Speed",
     "stereotype": "requirement", "notes": "at least 100 km/h", "tags": [{"name": "Id", "value": "R1"}]}
  ],
  "connectors": [{"key": "allocation", "type": "Dependency", "stereotype": "allocate",
                  "client": "drive", "supplier": "car"}]
})json";

// The same without the SysML technology.
inline constexpr char kPlainModel[] = R"json({
  "format": "orba-model", "version": 1,
  "packages": [{"key": "root", "name": "Model"},
               {"key": "structure", "name": "Structure", "parent": "root"}],
  "elements": [{"key": "car", "package": "structure", "type": "Class", "name": "Car"},
               {"key": "car2", "package": "root", "type": "Class", "name": "Car"}]
})json";

class OrbaCommandTest : public ::testing::Test {
 protected:
  // Imports `json` into the model file `name` in the sandbox; answers its path.
  std::string Import(const char* json, const std::string& name = "model.obx") {
    sandbox_.WriteFile(name + ".json", json);
    const OrbaRun run =
        sandbox_.Run({"import", sandbox_.Path(name + ".json"), "-o", sandbox_.Path(name)});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    return sandbox_.Path(name);
  }

  OrbaSandbox sandbox_;
};

}  // namespace orba::cli::testing
