// The "parts" compartment of a block owning 10,000 elements (5,000 parts)
// against the plain cost of the same work: the host's ModelItem XML, parsed
// with pugixml, with the parts picked out by a loop over the root's children.
// A drawing of the block (its owned-item compartments, each asking for the
// block's document, with the host's read cache on as the command line has it)
// against one SELECT of the block's children on the store's connection.
#include <benchmark/benchmark.h>

#include <cstring>
#include <pugixml.hpp>
#include <string>

#include "bench_models.h"
#include "compartments/compartments.h"
#include "orba/store/database.h"
#include "orba/store/model_session.h"
#include "support/scripted_host.h"
#include "timed_loop.h"

namespace {

using bench_loop::LastResult;

constexpr int kChildren = 10000;

struct CompartmentModel {
  bench_models::BuiltModel model;
  std::string guid;
  std::string model_item_xml;  // captured once, for the add-in-only runs
};

CompartmentModel& Model() {
  static CompartmentModel built = [] {
    CompartmentModel m{bench_models::ImportModel(bench_models::OwnerWithChildrenJson(kChildren)),
                       "", ""};
    m.guid = m.model.repository->GetElementByID(m.model.keys.elements.at("owner"))->ElementGUID();
    m.model_item_xml = m.model.repository->GetModelItemXml(m.guid);
    return m;
  }();
  return built;
}

// The plain work on a ModelItem document: parse it and write a row with the
// name and GUID of each part, as the compartment data has them.
std::string PlainParts(const std::string& xml) {
  pugi::xml_document document;
  document.load_buffer(xml.data(), xml.size());
  std::string rows;
  for (pugi::xml_node child : document.first_child().children("ModelItem")) {
    if (std::strcmp(child.attribute("Metatype").value(), "BlockProperty") != 0) continue;
    rows += "Data&_eq_^";
    rows += child.attribute("Name").value();
    rows += "&_sc_^GUID&_eq_^";
    rows += child.attribute("GUID").value();
    rows += "&_sc_^,";
  }
  return rows;
}

// Checks that the last result has a row for every part.
void CheckParts(benchmark::State& state, const std::string& rows) {
  int parts = 0;
  for (size_t at = rows.find("GUID&_eq_^"); at != std::string::npos;
       at = rows.find("GUID&_eq_^", at + 1)) {
    ++parts;
  }
  if (parts != kChildren / 2) state.SkipWithError("the result does not have the expected parts");
  state.counters["parts"] = parts;
}

// --- Through the host (GetModelItemXml on the SQLite store) --------------------

void BM_CompartmentData_Host(benchmark::State& state) {
  CompartmentModel& m = Model();
  CheckParts(state, LastResult(state, [&m] {
               return compartments::CompartmentData(*m.model.repository, "parts", m.guid);
             }));
}

void BM_Plain_Host(benchmark::State& state) {
  CompartmentModel& m = Model();
  CheckParts(state, LastResult(state, [&m] {
               return PlainParts(m.model.repository->GetModelItemXml(m.guid));
             }));
}

void BM_HostModelItemXmlOnly(benchmark::State& state) {
  CompartmentModel& m = Model();
  LastResult(state, [&m] { return m.model.repository->GetModelItemXml(m.guid); });
}

// --- On the captured ModelItem XML (the add-in's own cost) ----------------------

void BM_CompartmentData_CapturedXml(benchmark::State& state) {
  CompartmentModel& m = Model();
  testing_support::ScriptedHost repository(m.model.repository);
  repository.Plan().Answer("Repository.GetModelItemXml", m.model_item_xml);
  CheckParts(state, LastResult(state, [&] {
               std::string data = compartments::CompartmentData(repository, "parts", m.guid);
               repository.Plan().ClearCalls();
               return data;
             }));
}

void BM_Plain_CapturedXml(benchmark::State& state) {
  CompartmentModel& m = Model();
  CheckParts(state, LastResult(state, [&m] { return PlainParts(m.model_item_xml); }));
}

// --- A whole drawing against one SELECT of the children ------------------------

void BM_Drawing_Host(benchmark::State& state) {
  CompartmentModel& m = Model();
  CheckParts(state, LastResult(state, [&m] {
               const orba::store::ReadCacheScope drawing(m.model.repository->Session());
               std::string parts;
               for (const char* name : {"parts", "flow ports", "parameters"}) {
                 std::string data =
                     compartments::CompartmentData(*m.model.repository, name, m.guid);
                 if (parts.empty()) parts = std::move(data);
               }
               return parts;
             }));
}

void BM_SelectChildren(benchmark::State& state) {
  CompartmentModel& m = Model();
  const int32_t owner = m.model.keys.elements.at("owner");
  size_t rows = 0;
  for (auto _ : state) {
    orba::store::Statement children = m.model.repository->Session().Db().Prepare(
        "SELECT * FROM t_object WHERE ParentID = ? ORDER BY Object_ID");
    children.Bind(owner);
    rows = 0;
    while (children.Step()) {
      ++rows;
      for (int column = 0; column < children.ColumnCount(); ++column)
        benchmark::DoNotOptimize(children.IsNull(column) ? std::string() : children.Text(column));
    }
  }
  if (rows != static_cast<size_t>(kChildren)) state.SkipWithError("unexpected row count");
  state.counters["rows"] = static_cast<double>(rows);
}

BENCHMARK(BM_CompartmentData_Host)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Plain_Host)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HostModelItemXmlOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompartmentData_CapturedXml)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Plain_CapturedXml)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Drawing_Host)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SelectChildren)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
