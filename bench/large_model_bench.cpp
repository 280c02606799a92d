// The commands a CI job runs on a large model, each beside the bare scan of
// the same model file's tables in the same run, so that the ratio is read
// directly. The model comes from bench/make_large_model.py; the benchmark
// runs outside the test suite, on the files named by
//   ORBA_LARGE_JSON   the generated JSON model document (imported here), and
//   ORBA_LARGE_MODEL  the model file imported from it (validated, searched).
// Each command runs in a child process as a user runs `orba`; its peak
// resident memory is the counter peak_MiB.
//
// The bare scan steps through `SELECT *` of the element and connector tables
// and reads every column as text: the least any command that reads every item
// costs.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const char* Setting(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Runs orba with `args`, its stdout to /dev/null; false when it does not
// exit with 0 or 1 (1: validation found violations). Adds its peak memory.
bool RunOrba(benchmark::State& state, std::vector<std::string> args) {
  args.insert(args.begin(), {TESSARY_BUILD_BIN_DIR "/orba", "--ui", "none"});
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return false;
  state.counters["peak_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  return WIFEXITED(status) && WEXITSTATUS(status) <= 1;
}

void Command(benchmark::State& state, const std::vector<std::string>& args) {
  if (std::string(Setting("ORBA_LARGE_MODEL")).empty()) {
    state.SkipWithError("ORBA_LARGE_MODEL names no model file");
    return;
  }
  for (auto _ : state) {
    if (!RunOrba(state, args)) state.SkipWithError("orba failed");
  }
}

void BM_BareScan(benchmark::State& state) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(Setting("ORBA_LARGE_MODEL"), &db, SQLITE_OPEN_READONLY, nullptr) !=
      SQLITE_OK) {
    state.SkipWithError("cannot open ORBA_LARGE_MODEL");
    sqlite3_close(db);
    return;
  }
  size_t rows = 0;
  size_t bytes = 0;
  for (auto _ : state) {
    rows = 0;
    for (const char* sql : {"SELECT * FROM t_object", "SELECT * FROM t_connector"}) {
      sqlite3_stmt* statement = nullptr;
      sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
      while (sqlite3_step(statement) == SQLITE_ROW) {
        ++rows;
        for (int column = 0; column < sqlite3_column_count(statement); ++column) {
          const unsigned char* text = sqlite3_column_text(statement, column);
          bytes += text ? static_cast<size_t>(sqlite3_column_bytes(statement, column)) : 0;
        }
      }
      sqlite3_finalize(statement);
    }
  }
  benchmark::DoNotOptimize(bytes);
  state.counters["rows"] = static_cast<double>(rows);
  sqlite3_close(db);
}

void BM_Validate(benchmark::State& state) {
  Command(state, {"validate", Setting("ORBA_LARGE_MODEL"), "--format", "json"});
}

void BM_Import(benchmark::State& state) {
  const std::string model = std::filesystem::temp_directory_path() / "orba-large-bench.obx";
  for (auto _ : state) {
    std::filesystem::remove(model);
    if (!RunOrba(state, {"import", Setting("ORBA_LARGE_JSON"), "-o", model}))
      state.SkipWithError("orba import failed");
  }
  std::filesystem::remove(model);
}

// A command that opens the model and does little else.
void BM_OpenForTheMenu(benchmark::State& state) {
  Command(state, {"menu", Setting("ORBA_LARGE_MODEL")});
}

void BM_FullCheck(benchmark::State& state) {
  Command(state, {"check", Setting("ORBA_LARGE_MODEL")});
}

void BM_AllocationSearch(benchmark::State& state) {
  Command(state, {"search", Setting("ORBA_LARGE_MODEL"), "SysML Allocations", "--format", "json"});
}

constexpr auto kSeconds = benchmark::kSecond;
BENCHMARK(BM_BareScan)->Unit(kSeconds)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Validate)->Unit(kSeconds)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Import)->Unit(kSeconds)->UseRealTime()->Iterations(1);
BENCHMARK(BM_OpenForTheMenu)->Unit(kSeconds)->UseRealTime()->Iterations(1);
BENCHMARK(BM_FullCheck)->Unit(kSeconds)->UseRealTime()->Iterations(1);
BENCHMARK(BM_AllocationSearch)->Unit(kSeconds)->UseRealTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
