// The report site of a large model (`orba report`, in process: validation,
// the allocation search, every diagram or generated view drawn, a page per
// element with its compartments) beside the plain cost of reading the whole
// model once: exporting the same model file to its JSON document, in the
// same run. The model is the file named by ORBA_LARGE_MODEL (imported from
// bench/make_large_model.py's output; see README.md). Wall-clock time, as
// layout runs in child processes and pages are written by threads.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "orba/cli/command.h"
#include "orba/report/report_site.h"
#include "orba/store/json_model.h"
#include "support/temp_folder.h"

namespace {

std::string LargeModel(benchmark::State& state) {
  const char* path = std::getenv("ORBA_LARGE_MODEL");
  if (!path || !std::filesystem::exists(path)) state.SkipWithError("set ORBA_LARGE_MODEL");
  return path ? path : "";
}

void BM_ReportSite(benchmark::State& state) {
  const std::string model = LargeModel(state);
  testing_support::TempFolder folder;
  std::ostringstream diagnostics;
  for (auto _ : state) {
    orba::session::SessionOptions options;
    options.ui = "none";
    options.diagnostics = &diagnostics;
    orba::session::HostSession session(options);
    orba::cli::StartSession(session, model, orba::store::ModelRepository::Access::kReadOnly);
    const auto summary = orba::report::WriteReportSite(session, folder.path() / "site", {});
    state.counters["pages"] = static_cast<double>(summary.element_pages + summary.diagram_pages);
    state.PauseTiming();
    std::filesystem::remove_all(folder.path() / "site");
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ReportSite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_ExportJsonBaseline(benchmark::State& state) {
  const std::string model = LargeModel(state);
  testing_support::TempFolder folder;
  for (auto _ : state) {
    orba::store::ModelRepository repository;
    repository.Open(model, orba::store::ModelRepository::Access::kReadOnly);
    std::ofstream(folder.path() / "model.json") << orba::store::ExportJsonModel(repository);
  }
}
BENCHMARK(BM_ExportJsonBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
