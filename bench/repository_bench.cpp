// Import and validation of one generated model on each engine: a model file
// (SQLite) and a team repository (PostgreSQL, a throwaway cluster started
// here on a Unix socket), in the same run, so that the ratio PostgreSQL /
// SQLite is read directly. The model is bench/make_large_model.py's, of
// ORBA_REPOSITORY_ELEMENTS elements (default 20,000); every command runs as
// a child process, as a user runs `orba`.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "orba_process.h"
#include "support/postgres_cluster.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Folder() {
  static const fs::path folder = [] {
    fs::path made =
        fs::temp_directory_path() / ("orba-repository-bench-" + std::to_string(getpid()));
    fs::create_directories(made);
    return made;
  }();
  return folder;
}

testing_support::PostgresCluster& Cluster() {
  static testing_support::PostgresCluster cluster =
      testing_support::PostgresCluster::Start(Folder() / "cluster", true);
  return cluster;
}

// The generated JSON model document, written once.
const std::string& ModelDocument() {
  static const std::string path = [] {
    const char* elements = std::getenv("ORBA_REPOSITORY_ELEMENTS");
    const std::string file = (Folder() / "model.json").string();
    const std::string command = "python3 " TESSARY_SOURCE_ROOT "/bench/make_large_model.py " +
                                std::string(elements ? elements : "20000") + " > " + file;
    if (std::system(command.c_str()) != 0) throw std::runtime_error("cannot generate the model");
    return file;
  }();
  return path;
}

// Where each engine keeps the model: a new location for every import.
std::string NewLocation(bool postgres) {
  static int next = 0;
  if (postgres) return Cluster().NewModelUri();
  return (Folder() / ("model-" + std::to_string(++next) + ".obx")).string();
}

// The model the validation runs on, imported once per engine.
const std::string& ImportedModel(bool postgres) {
  static std::string models[2];
  std::string& model = models[postgres ? 1 : 0];
  if (model.empty()) {
    model = NewLocation(postgres);
    const std::string command = std::string(TESSARY_BUILD_BIN_DIR "/orba --ui none import ") +
                                ModelDocument() + " -o '" + model + "' > /dev/null";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("cannot import the model");
  }
  return model;
}

void BM_Import(benchmark::State& state) {
  const bool postgres = state.range(0) == 1;
  for (auto _ : state) {
    if (!RunOrba(state, {"import", ModelDocument(), "-o", NewLocation(postgres)}))
      state.SkipWithError("orba import failed");
  }
  state.SetLabel(postgres ? "postgresql" : "sqlite");
}

void BM_Validate(benchmark::State& state) {
  const bool postgres = state.range(0) == 1;
  const std::string model = ImportedModel(postgres);
  for (auto _ : state) {
    if (!RunOrba(state, {"validate", model, "--format", "json"}))
      state.SkipWithError("orba validate failed");
  }
  state.SetLabel(postgres ? "postgresql" : "sqlite");
}

BENCHMARK(BM_Import)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Validate)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  testing_support::PostgresCluster::Stop(Folder() / "cluster");
  fs::remove_all(Folder());
  return 0;
}
