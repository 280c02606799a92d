// XMI import of the largest real model at hand, the NIST discrete-event
// logistics library (2.9 MB, ../shared/realdata), beside the plain cost of
// reading the same file: a bare libxml2 parse with the reader's options.
// Measured: the reader alone (XMI to the JSON model document), and the whole
// import (the reader and the store writing the document into a new model in
// memory). The file is read where it is; the benchmarks stop when it is absent.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <fstream>
#include <sstream>
#include <string>

#include "orba/interchange/xmi_reader.h"
#include "orba/store/json_model.h"

namespace {

const std::string kPath = TESSARY_SOURCE_ROOT
    "/../shared/realdata/xmi/nist-dels-sysml14/DiscreteEventLogisticsSystems.xml";

const std::string& FileText() {
  static const std::string text = [] {
    std::ifstream file(kPath, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
  }();
  return text;
}

bool HaveFile(benchmark::State& state) {
  if (!FileText().empty()) return true;
  state.SkipWithError(("cannot read " + kPath).c_str());
  return false;
}

// The plain cost: parsing the file into a tree, as the reader's parse does
// (no network, no entity expansion, huge files allowed, errors kept quiet).
void BM_BareLibxml2Parse(benchmark::State& state) {
  if (!HaveFile(state)) return;
  const std::string& text = FileText();
  const int options = XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
  for (auto _ : state) {
    xmlParserCtxt* context = xmlNewParserCtxt();
    xmlDoc* document = xmlCtxtReadMemory(context, text.data(), static_cast<int>(text.size()),
                                         kPath.c_str(), nullptr, options);
    benchmark::DoNotOptimize(document);
    xmlFreeDoc(document);
    xmlFreeParserCtxt(context);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_BareLibxml2Parse)->Unit(benchmark::kMillisecond);

// The reader: parse, both passes and the report, to the JSON model document.
void BM_ReadXmi(benchmark::State& state) {
  if (!HaveFile(state)) return;
  const std::string& text = FileText();
  size_t elements = 0;
  for (auto _ : state) {
    orba::interchange::XmiImport imported =
        orba::interchange::ReadXmi(text, kPath, orba::interchange::XmiOptions{});
    elements = imported.report.elements;
    benchmark::DoNotOptimize(imported);
  }
  state.counters["elements"] = static_cast<double>(elements);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadXmi)->Unit(benchmark::kMillisecond);

// The whole import: the reader, then the store writing the document into a
// new model (in memory, so that the disk is not measured).
void BM_ImportXmiIntoModel(benchmark::State& state) {
  if (!HaveFile(state)) return;
  const std::string& text = FileText();
  for (auto _ : state) {
    orba::interchange::XmiImport imported =
        orba::interchange::ReadXmi(text, kPath, orba::interchange::XmiOptions{});
    orba::store::ModelRepository repository;
    repository.CreateInMemoryModel();
    orba::store::ImportJsonModel(repository, imported.document.dump());
    benchmark::DoNotOptimize(repository);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ImportXmiIntoModel)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
