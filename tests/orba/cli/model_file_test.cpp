// orba on model files that other processes write at the same time, or that
// a killed writer left half-written.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "orba/cli/cli_fixtures.h"
#include "orba/store/model_file_faults.h"

namespace orba::cli::testing {
namespace {

TEST_F(OrbaCommandTest, ReadCommandsReadTheModelAsItWasBeforeAnInterruptedWrite) {
  const std::string model = Import("car");
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"validate", model},
                                             {"search", model, "SysML Allocations"},
                                             {"export", model},
                                             {"compartments", model, "Car"},
                                             {"menu", model}}) {
    const OrbaRun intact = sandbox_.Run(args);
    store::testing::InterruptWriteTo(model);
    const OrbaRun recovered = sandbox_.Run(args);
    EXPECT_EQ(recovered.exit_code, intact.exit_code) << args[0] << ": " << recovered.err;
    EXPECT_EQ(recovered.out, intact.out) << args[0];
    EXPECT_EQ(recovered.err, intact.err) << args[0];
  }
}

// Each click creates a diagram; one that finds the model in use waits for it.
TEST_F(OrbaCommandTest, ConcurrentClicksWaitForEachOtherAndAreAllSaved) {
  constexpr int kClicksAtOnce = 8;
  constexpr int kRounds = 15;
  const std::string model = Import("car");
  for (int round = 0; round < kRounds; ++round) {
    std::vector<pid_t> clicks;
    for (int click = 0; click < kClicksAtOnce; ++click) {
      clicks.push_back(
          sandbox_.Start({"click", model, "New &Block Definition Diagram", "--select", "Structure"},
                         {}, sandbox_.Path("click" + std::to_string(click) + ".txt")));
    }
    for (const pid_t click : clicks) {
      const OrbaRun run = sandbox_.Wait(click, false);
      EXPECT_EQ(run.exit_code, 0) << "round " << round << ": " << run.err;
    }
  }
  const OrbaRun exported = sandbox_.Run({"export", model});
  EXPECT_EQ(nlohmann::json::parse(exported.out)["diagrams"].size(),
            size_t{kClicksAtOnce * kRounds});
}

TEST_F(OrbaCommandTest, AClickThatChangesNothingLeavesTheModelFileUntouched) {
  const std::string model = Import("car");
  const std::string bytes = sandbox_.ReadFile("model.obx");
  const auto modified = std::filesystem::last_write_time(model);
  for (const char* item : {"&About", "&View Allocations"}) {
    const OrbaRun click = sandbox_.Run({"click", model, item});
    EXPECT_EQ(click.exit_code, 0) << item << ": " << click.err;
    EXPECT_EQ(sandbox_.ReadFile("model.obx"), bytes) << item;
    EXPECT_EQ(std::filesystem::last_write_time(model), modified) << item;
  }
}

}  // namespace
}  // namespace orba::cli::testing
