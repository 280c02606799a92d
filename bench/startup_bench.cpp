// Add-in start-up: creating CTessary, Orba_Connect and Orba_OnPostInitialized
// on a repository with the example model open. Measured directly (with the
// test platform), through the component registry from the built module (the
// host's path), and in a fresh child process where the module is loaded cold.
// The plain costs: the host's own RegisterSearches of the same search document,
// and a child process that does nothing.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "addin/tessary.h"
#include "automation/dispatch.h"
#include "automation/registry.h"
#include "automation/variant.h"
#include "bench_models.h"
#include "support/scripted_host.h"
#include "support/test_platform.h"

namespace {

const std::filesystem::path kModule = TESSARY_BUILD_BIN_DIR "/libtessary.so";

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::shared_ptr<orba::store::ModelRepository>& Repository() {
  static auto repository =
      bench_models::ImportModel(ReadFile(TESSARY_SOURCE_ROOT "/examples/sysml_example.json"))
          .repository;
  return repository;
}

// Forks a child that runs `work` and exits; returns whether it exited with 0.
template <class Work>
bool RunInChild(Work work) {
  const pid_t child = fork();
  if (child == 0) _exit(work() ? 0 : 1);
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A registry file of this run, holding only the built module. Registering
// loads the module, so a child does it: this process stays without it until
// an in-process benchmark creates the add-in.
const std::filesystem::path& RegistryFile() {
  static const std::filesystem::path file = [] {
    auto path = std::filesystem::temp_directory_path() /
                ("tessary-bench-" + std::to_string(getpid()) + ".ini");
    RunInChild([&path] { return !automation::Registry(path).RegisterModule(kModule).empty(); });
    return path;
  }();
  return file;
}

bool ModuleLoaded() {
  void* handle = dlopen(kModule.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle != nullptr;
}

// Calls `operation` with the repository as its only argument; false when it failed.
bool CallWithRepository(automation::Object& addin, const char* operation) {
  std::vector<automation::Variant> args = {automation::Variant(Repository())};
  return automation::Call(addin, operation, args).ok;
}

// The host's start-up path: create by ProgID, then connect and initialise.
bool StartThroughRegistry() {
  // The module's default platform, showing no dialogs.
  automation::ObjectPtr addin =
      automation::Registry(RegistryFile()).CreateObject(addin::kProgID, {.user_interface = "none"});
  return CallWithRepository(*addin, "Orba_Connect") &&
         CallWithRepository(*addin, "Orba_OnPostInitialized");
}

// --- In this process ----------------------------------------------------------

void BM_Startup_Direct(benchmark::State& state) {
  testing_support::TestPlatform platform;
  for (auto _ : state) {
    addin::CTessary addin(platform.platform);
    addin.Orba_Connect(Repository());
    addin.Orba_OnPostInitialized(Repository());
    benchmark::DoNotOptimize(addin.Compartments);
  }
}

void BM_Startup_Registry(benchmark::State& state) {
  bool ok = true;
  for (auto _ : state) ok = StartThroughRegistry() && ok;
  if (!ok) state.SkipWithError("an add-in call failed");
}

// The host's own work in start-up: registering the add-in's search document.
void BM_Plain_HostRegisterSearches(benchmark::State& state) {
  testing_support::TestPlatform platform;
  auto recorder = std::make_shared<testing_support::ScriptedHost>(Repository());
  addin::CTessary addin(platform.platform);
  addin.Orba_Connect(recorder);
  addin.Orba_OnPostInitialized(recorder);
  const std::string document = recorder->Plan().LastArgument("Repository.RegisterSearches");
  for (auto _ : state) Repository()->RegisterSearches(document);
  if (document.empty() || Repository()->RegisteredSearches().empty()) {
    state.SkipWithError("the add-in registered no searches");
  }
}

// --- In a fresh child process ----------------------------------------------------

void BM_Startup_ColdModuleInChild(benchmark::State& state) {
  RegistryFile();
  if (ModuleLoaded()) {
    state.SkipWithError("the module is already loaded in this process; run this benchmark alone");
    return;
  }
  bool ok = true;
  for (auto _ : state) ok = RunInChild(StartThroughRegistry) && ok;
  if (!ok) state.SkipWithError("the child's start-up failed");
}

void BM_Plain_EmptyChild(benchmark::State& state) {
  bool ok = true;
  for (auto _ : state) ok = RunInChild([] { return true; }) && ok;
  if (!ok) state.SkipWithError("the child failed");
}

BENCHMARK(BM_Plain_EmptyChild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Startup_ColdModuleInChild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Startup_Direct)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Startup_Registry)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Plain_HostRegisterSearches)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(RegistryFile());
  std::filesystem::remove(RegistryFile().string() + ".lock");
  return 0;
}
