// orba on model files that other processes write at the same time, that a
// killed writer left half-written, or that hold damaged values.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include <nlohmann/json.hpp>

#include "orba/cli/cli_fixtures.h"
#include "orba/store/model_file_faults.h"

namespace orba::cli::testing {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;

// A command that reads the model, and what follows the model on its command line.
struct ReadCommand {
  std::string name;
  std::vector<std::string> after_model;
  bool reads_every_element = false;

  std::vector<std::string> On(const std::string& model) const {
    std::vector<std::string> args = {name, model};
    args.insert(args.end(), after_model.begin(), after_model.end());
    return args;
  }
};

const ReadCommand kReadCommands[] = {
    {"validate", {}, true},      {"search", {"SysML Allocations"}},
    {"export", {}, true},        {"compartments", {"Car"}, true},
    {"menu", {}},
};

class ModelFileTest : public OrbaCommandTest {
 protected:
  size_t DiagramCount(const std::string& model) {
    const OrbaRun exported = sandbox_.Run({"export", model});
    EXPECT_EQ(exported.exit_code, 0) << exported.err;
    return nlohmann::json::parse(exported.out).value("diagrams", nlohmann::json::array()).size();
  }
};

TEST_F(ModelFileTest, ReadCommandsReadTheModelAsItWasBeforeAnInterruptedWrite) {
  const std::string model = Import(kCarModel);
  for (const ReadCommand& command : kReadCommands) {
    const OrbaRun intact = sandbox_.Run(command.On(model));
    store::testing::InterruptWriteTo(model);
    const OrbaRun recovered = sandbox_.Run(command.On(model));
    EXPECT_EQ(recovered.exit_code, intact.exit_code) << command.name << ": " << recovered.err;
    EXPECT_EQ(recovered.out, intact.out) << command.name;
    EXPECT_EQ(recovered.err, intact.err) << command.name;
  }
}

// Each click creates a diagram; one that finds the model in use waits for it.
TEST_F(ModelFileTest, ConcurrentClicksWaitForEachOtherAndAreAllSaved) {
  constexpr int kClicksAtOnce = 8;
  constexpr int kRounds = 15;
  const std::string model = Import(kCarModel);
  for (int round = 0; round < kRounds; ++round) {
    std::vector<pid_t> clicks;
    for (int click = 0; click < kClicksAtOnce; ++click) {
      clicks.push_back(sandbox_.Start(
          {"click", model, "New &Block Definition Diagram", "--select", "Structure"}, {},
          sandbox_.Path("click" + std::to_string(click) + ".txt")));
    }
    for (const pid_t click : clicks) {
      const OrbaRun run = sandbox_.Wait(click, false);
      EXPECT_EQ(run.exit_code, 0) << "round " << round << ": " << run.err;
    }
  }
  EXPECT_EQ(DiagramCount(model), size_t{kClicksAtOnce * kRounds});
}

TEST_F(ModelFileTest, AClickThatChangesNothingLeavesTheModelFileUntouched) {
  const std::string model = Import(kCarModel);
  const std::string bytes = sandbox_.ReadFile("model.obx");
  const auto modified = std::filesystem::last_write_time(model);
  for (const char* item : {"&About", "&View Allocations"}) {
    const OrbaRun click = sandbox_.Run({"click", model, item});
    EXPECT_EQ(click.exit_code, 0) << item << ": " << click.err;
    EXPECT_EQ(sandbox_.ReadFile("model.obx"), bytes) << item;
    EXPECT_EQ(std::filesystem::last_write_time(model), modified) << item;
  }
}

TEST_F(ModelFileTest, AnIdThatIsNotANumberIsDamageNamedByEveryCommandThatReadsIt) {
  const std::string model = Import(kCarModel);
  store::testing::ExecuteOn(model, "UPDATE t_object SET ParentID = '300abc' WHERE Name = 'Car'");
  for (const ReadCommand& command : kReadCommands) {
    if (!command.reads_every_element) continue;
    const OrbaRun run = sandbox_.Run(command.On(model));
    EXPECT_EQ(run.exit_code, 2) << command.name;
    EXPECT_THAT(run.err, AllOf(HasSubstr("model file is damaged: " + model +
                                         " (t_object.ParentID of the row with Object_ID "),
                               HasSubstr(" holds \"300abc\", not an integer)")))
        << command.name;
  }
}

}  // namespace
}  // namespace orba::cli::testing
