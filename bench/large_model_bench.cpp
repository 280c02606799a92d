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
//
// The allocation search also runs on a model of its own, built here: 2,000
// elements and 1,000,000 allocate dependencies (bench_models'
// AllocationsJson), against its bare query: the SQL the search sends, stepped
// through on a connection to the same file with SQLite's default settings,
// as the host's connection has them.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench_models.h"
#include "orba/store/model_repository.h"
#include "orba_process.h"
#include "search/allocation_search.h"
#include "support/scripted_host.h"

namespace {

const char* Setting(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
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

// Steps through every answer of `queries` on a new read-only connection to
// `model`, reading every column as text.
void StepThrough(benchmark::State& state, const std::string& model,
                 const std::vector<std::string>& queries) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(model.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    state.SkipWithError("cannot open the model file");
    sqlite3_close(db);
    return;
  }
  size_t rows = 0;
  size_t bytes = 0;
  for (auto _ : state) {
    rows = 0;
    for (const std::string& sql : queries) {
      sqlite3_stmt* statement = nullptr;
      sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
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

void BM_BareScan(benchmark::State& state) {
  StepThrough(state, Setting("ORBA_LARGE_MODEL"),
              {"SELECT * FROM t_object", "SELECT * FROM t_connector"});
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

// The model file of the allocation search, imported once by orba.
const std::string& AllocationsModel() {
  static const std::string model = [] {
    const auto folder = std::filesystem::temp_directory_path();
    const std::string json = folder / "orba-allocations-bench.json";
    const std::string obx = folder / "orba-allocations-bench.obx";
    std::ofstream(json) << bench_models::AllocationsJson(2000, 1000000);
    std::filesystem::remove(obx);
    const std::string command = std::string(TESSARY_BUILD_BIN_DIR "/orba --ui none import ") +
                                json + " -o " + obx + " > /dev/null";
    if (std::system(command.c_str()) != 0) return std::string();
    std::filesystem::remove(json);
    return obx;
  }();
  return model;
}

// The queries the search sends, recorded as it runs on the model once.
std::vector<std::string> AllocationSearchQueries(const std::string& model) {
  auto repository = std::make_shared<orba::store::ModelRepository>();
  repository->Open(model, orba::store::ModelRepository::Access::kReadOnly);
  std::vector<std::string> queries;
  testing_support::ScriptedHost recorder(repository);
  recorder.Plan().Answer("Repository.ExecuteSqlQuery", [&](const std::vector<std::string>& sql) {
    queries.push_back(sql.at(0));
    return repository->ExecuteSqlQuery(sql.at(0));
  });
  search::AllocationSearchDocument(recorder);
  return queries;
}

void BM_AllocationSearch1M(benchmark::State& state) {
  if (AllocationsModel().empty()) return state.SkipWithError("cannot build the model");
  for (auto _ : state) {
    if (!RunOrba(state, {"search", AllocationsModel(), "SysML Allocations", "--format", "json"}))
      state.SkipWithError("orba failed");
  }
}

void BM_AllocationBareQuery1M(benchmark::State& state) {
  if (AllocationsModel().empty()) return state.SkipWithError("cannot build the model");
  StepThrough(state, AllocationsModel(), AllocationSearchQueries(AllocationsModel()));
}

constexpr auto kSeconds = benchmark::kSecond;
BENCHMARK(BM_BareScan)->Unit(kSeconds)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Validate)->Unit(kSeconds)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Import)->Unit(kSeconds)->UseRealTime()->Iterations(1);
BENCHMARK(BM_OpenForTheMenu)->Unit(kSeconds)->UseRealTime()->Iterations(1);
BENCHMARK(BM_FullCheck)->Unit(kSeconds)->UseRealTime()->Iterations(1);
BENCHMARK(BM_AllocationSearch)->Unit(kSeconds)->UseRealTime()->Iterations(1);
BENCHMARK(BM_AllocationBareQuery1M)->Unit(kSeconds)->UseRealTime()->Iterations(1);
BENCHMARK(BM_AllocationSearch1M)->Unit(kSeconds)->UseRealTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
