// orba new, import, export and register, end to end.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <thread>

#include "orba/cli/cli_fixtures.h"

namespace orba::cli::testing {
namespace {

using nlohmann::json;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

std::vector<std::string> Names(const json& list) {
  std::vector<std::string> names;
  for (const json& item : list) names.push_back(item.value("name", ""));
  return names;
}

TEST_F(OrbaCommandTest, NewCreatesAnEmptyModel) {
  const OrbaRun run = sandbox_.Run({"new", sandbox_.Path("empty.obx")});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(std::filesystem::exists(sandbox_.Path("empty.obx")));
  const OrbaRun exported = sandbox_.Run({"export", sandbox_.Path("empty.obx")});
  EXPECT_EQ(exported.exit_code, 0) << exported.err;
  EXPECT_THAT(json::parse(exported.out)["elements"], IsEmpty());
}

TEST_F(OrbaCommandTest, NewRefusesAnExistingFileAndLeavesItAlone) {
  sandbox_.WriteFile("taken.obx", "my notes");
  const OrbaRun run = sandbox_.Run({"new", sandbox_.Path("taken.obx")});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr("already exists"));
  EXPECT_EQ(sandbox_.ReadFile("taken.obx"), "my notes");
}

TEST_F(OrbaCommandTest, ImportThenExportGivesTheModelBack) {
  const std::string model = Import(kPlainModel);
  const OrbaRun run = sandbox_.Run({"export", model});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const json exported = json::parse(run.out);
  EXPECT_EQ(exported["format"], "orba-model");
  EXPECT_EQ(Names(exported["packages"]), (std::vector<std::string>{"Model", "Structure"}));
  EXPECT_EQ(Names(exported["elements"]), (std::vector<std::string>{"Car", "Car"}));
}

TEST_F(OrbaCommandTest, ExportWritesTheDocumentToTheFileGiven) {
  const std::string model = Import(kPlainModel);
  const OrbaRun run = sandbox_.Run({"export", model, "-o", sandbox_.Path("out.json")});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_THAT(run.out, IsEmpty());
  EXPECT_EQ(json::parse(sandbox_.ReadFile("out.json"))["elements"].size(), 2u);
}

TEST_F(OrbaCommandTest, OutputThatCannotBeWrittenFailsTheCommand) {
  const OrbaRun run = sandbox_.Run({"export", Import(kPlainModel)}, {}, "/dev/full");
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr("orba: cannot write the output: No space left on device"));
}

TEST_F(OrbaCommandTest, NeitherCommandWritesOverTheFileItReads) {
  const std::string model = Import(kPlainModel);
  const std::string before = sandbox_.ReadFile("model.obx");
  const OrbaRun exported = sandbox_.Run({"export", model, "-o", model});
  EXPECT_EQ(exported.exit_code, 2);
  EXPECT_THAT(exported.err, HasSubstr("it is the file being read"));
  EXPECT_EQ(sandbox_.ReadFile("model.obx"), before);

  sandbox_.WriteFile("plain.json", kPlainModel);
  const std::string json_path = sandbox_.Path("plain.json");
  const OrbaRun imported = sandbox_.Run({"import", json_path, "-o", json_path});
  EXPECT_EQ(imported.exit_code, 2);
  EXPECT_EQ(sandbox_.ReadFile("plain.json"), kPlainModel);
}

// An import long enough to be interrupted: many plain classes.
std::string LargeModel(int elements) {
  json model = {{"packages", {{{"key", "root"}, {"name", "Model"}}}}, {"elements", json::array()}};
  for (int index = 0; index < elements; ++index) {
    model["elements"].push_back({{"key", "e" + std::to_string(index)},
                                 {"package", "root"},
                                 {"type", "Class"},
                                 {"name", "Block" + std::to_string(index)}});
  }
  return model.dump();
}

// The names of the files in `folder` that hold `part`.
std::vector<std::string> FilesNamed(const std::string& folder, const std::string& part) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.find(part) != std::string::npos) files.push_back(name);
  }
  return files;
}

TEST_F(OrbaCommandTest, AnInterruptedImportLeavesNoFileBehind) {
  sandbox_.WriteFile("large.json", LargeModel(200000));
  const pid_t import =
      sandbox_.Start({"import", sandbox_.Path("large.json"), "-o", sandbox_.Path("large.obx")});
  // Interrupted once the model file is being built.
  for (int wait = 0; wait < 1000 && FilesNamed(sandbox_.Path(""), "large.obx").empty(); ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(import, SIGINT);
  const OrbaRun run = sandbox_.Wait(import);
  EXPECT_EQ(run.signal, SIGINT) << "the import ended before it was interrupted: " << run.err;
  EXPECT_THAT(FilesNamed(sandbox_.Path(""), "large.obx"), IsEmpty());
}

TEST_F(OrbaCommandTest, ImportLoadsTheTechnologiesTheDocumentLists) {
  const std::string model = Import(kCarModel);
  const OrbaRun menu = sandbox_.Run({"menu", model});
  EXPECT_THAT(menu.out, HasSubstr("&Unload SysML Technology"));
  const json exported = json::parse(sandbox_.Run({"export", model}).out);
  EXPECT_EQ(exported["technologies"], json::array({"SysML"}));
}

TEST_F(OrbaCommandTest, ImportWritesNothingWhenTheAddinCannotLoadATechnology) {
  sandbox_.WriteFile("car.json", kCarModel);
  const OrbaRun run = sandbox_.Run(
      {"--host-build", "796", "import", sandbox_.Path("car.json"), "-o", sandbox_.Path("car.obx")});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(
      run.err,
      HasSubstr("Quindle Technology for SysML: Add-in will only work with Orba 6.5 or later."));
  EXPECT_THAT(run.err, HasSubstr("did not load technology \"SysML\"; nothing was written"));
  for (const auto& entry : std::filesystem::directory_iterator(sandbox_.Path(""))) {
    EXPECT_FALSE(entry.path().filename().string().starts_with("car.obx")) << entry.path();
  }
}

struct BadImport {
  const char* document;
  const char* problem;
  friend void PrintTo(const BadImport& bad, std::ostream* out) { *out << bad.problem; }
};

class BadImportTest : public OrbaCommandTest, public ::testing::WithParamInterface<BadImport> {};

TEST_P(BadImportTest, IsRefusedNamingTheProblemAndAnExistingModelIsKept) {
  const std::string model = Import(kPlainModel, "kept.obx");
  sandbox_.WriteFile("bad.json", GetParam().document);
  const OrbaRun run = sandbox_.Run({"import", sandbox_.Path("bad.json"), "-o", model});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr(GetParam().problem));
  EXPECT_EQ(json::parse(sandbox_.Run({"export", model}).out)["elements"].size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, BadImportTest,
    ::testing::Values(
        BadImport{R"({"format": "orba-model", "version": 1, "packages": [{"key": "r", "name": "M"}],
                      "elements": [{"key": "a", "package": "nowhere", "type": "Class", "name": "A"}]})",
                  "elements[0].package: unknown key \"nowhere\""},
        BadImport{R"({"format": "orba-model", "version": 1, "packages": [{"key": "r", "name": "M"}],
                      "technologies": ["BPMN"]})",
                  "technology \"BPMN\" is not provided by any add-in this host knows"},
        BadImport{"{\"format\": \"orba-model\", ", "bad.json: "}));

TEST_F(OrbaCommandTest, ImportOfAMissingDocumentNamesIt) {
  const OrbaRun run =
      sandbox_.Run({"import", sandbox_.Path("missing.json"), "-o", sandbox_.Path("m.obx")});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr("cannot read " + sandbox_.Path("missing.json")));
}

TEST_F(OrbaCommandTest, ImportNeedsTheOutputFile) {
  sandbox_.WriteFile("plain.json", kPlainModel);
  const OrbaRun run = sandbox_.Run({"import", sandbox_.Path("plain.json")});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr("--output is required"));
}

TEST_F(OrbaCommandTest, ExportOfAFileThatIsNoModelIsRefused) {
  sandbox_.WriteFile("notes.obx", "not a database");
  const OrbaRun run = sandbox_.Run({"export", sandbox_.Path("notes.obx")});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr("not an Orba model file"));
}

TEST_F(OrbaCommandTest, RegisterRecordsTheModulesProgIDs) {
  const OrbaRun run =
      sandbox_.Run({"register", (OrbaSandbox::BuildBin() / "libtessary.so").string()});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("registered Tessary.CTessary -> "));
  EXPECT_THAT(sandbox_.ReadFile("components.ini"), HasSubstr("Tessary.CTessary="));
}

TEST_F(OrbaCommandTest, RegisterRefusesAFileThatIsNoModule) {
  sandbox_.WriteFile("fake.so", "text");
  const OrbaRun run = sandbox_.Run({"register", sandbox_.Path("fake.so")});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_THAT(run.err, HasSubstr("cannot load module"));
}

}  // namespace
}  // namespace orba::cli::testing
