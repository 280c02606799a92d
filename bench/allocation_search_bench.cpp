// The "SysML Allocations" search over 100,000 allocate dependencies against the
// plain cost of the same work: the same queries through the host's
// ExecuteSqlQuery, the XML answers parsed with pugixml and the rows written
// with plain string appends. The host's query alone and the bare SQLite query
// on the store's connection show where the time goes.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <map>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "bench_models.h"
#include "orba/store/model_session.h"
#include "orba/store/sqlite_database.h"
#include "search/allocation_search.h"
#include "support/scripted_host.h"
#include "timed_loop.h"

namespace {

using bench_loop::LastResult;

constexpr int kElements = 2000;
constexpr int kDependencies = 100000;

struct AllocationModel {
  bench_models::BuiltModel model;
  // The queries the search sends, in order, and the host's answers to them.
  std::vector<std::string> queries;
  std::map<std::string, std::string> answers;
};

// Runs the search once on a recording wrapper to learn the queries it sends.
void CaptureQueries(AllocationModel& m) {
  testing_support::ScriptedHost recorder(m.model.repository);
  recorder.Plan().Answer("Repository.ExecuteSqlQuery", [&m](const std::vector<std::string>& sql) {
    m.queries.push_back(sql.at(0));
    return m.answers[sql.at(0)] = m.model.repository->ExecuteSqlQuery(sql.at(0));
  });
  search::AllocationSearchDocument(recorder);
}

AllocationModel& Model() {
  static AllocationModel built = [] {
    AllocationModel m{
        bench_models::ImportModel(bench_models::AllocationsJson(kElements, kDependencies)), {}, {}};
    CaptureQueries(m);
    return m;
  }();
  return built;
}

size_t CountRows(std::string_view document) {
  size_t rows = 0;
  for (size_t at = document.find("<Row>"); at != std::string_view::npos;
       at = document.find("<Row>", at + 1)) {
    ++rows;
  }
  return rows;
}

void ReportRows(benchmark::State& state, std::string_view document) {
  const size_t rows = CountRows(document);
  if (rows != static_cast<size_t>(kDependencies)) state.SkipWithError("unexpected row count");
  state.counters["rows"] = static_cast<double>(rows);
}

// --- The plain row writer -----------------------------------------------------

void AppendEscaped(std::string& out, const char* value) {
  for (; *value != '\0'; ++value) {
    switch (*value) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '"': out += "&quot;"; break;
      default: out += *value;
    }
  }
}

// "From_Type" -> "From Type".
void AppendFieldName(std::string& out, const char* column) {
  for (; *column != '\0'; ++column) out += *column == '_' ? ' ' : *column;
}

// Appends a <Row> for every row of a host query answer.
void AppendPlainRows(const std::string& answer, std::string& out) {
  pugi::xml_document document;
  document.load_buffer(answer.data(), answer.size());
  const pugi::xml_node data = document.child("OrbaData").first_child().first_child();
  for (pugi::xml_node row : data.children()) {
    out += "<Row>";
    for (pugi::xml_node column : row.children()) {
      out += "<Field name=\"";
      AppendFieldName(out, column.name());
      out += "\" value=\"";
      AppendEscaped(out, column.text().get());
      out += "\" />";
    }
    out += "</Row>";
  }
}

template <class Answer>
std::string PlainDocument(const std::vector<std::string>& queries, Answer answer) {
  std::string out = "<ReportViewData><Fields></Fields><Rows>";
  for (const std::string& query : queries) AppendPlainRows(answer(query), out);
  return out + "</Rows></ReportViewData>";
}

// --- Through the host (queries on the SQLite store) ----------------------------

void BM_AllocationSearch_Host(benchmark::State& state) {
  AllocationModel& m = Model();
  ReportRows(state, LastResult(state, [&m] {
               return search::AllocationSearchDocument(*m.model.repository);
             }));
}

void BM_Plain_Host(benchmark::State& state) {
  AllocationModel& m = Model();
  ReportRows(state, LastResult(state, [&m] {
               return PlainDocument(m.queries, [&m](const std::string& query) {
                 return m.model.repository->ExecuteSqlQuery(query);
               });
             }));
}

void BM_HostExecuteSqlQueryOnly(benchmark::State& state) {
  AllocationModel& m = Model();
  for (auto _ : state) {
    for (const std::string& query : m.queries) {
      benchmark::DoNotOptimize(m.model.repository->ExecuteSqlQuery(query));
    }
  }
}

// Steps through every row, touching each column's text.
size_t RunBareQuery(sqlite3* db, const std::string& query) {
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, query.c_str(), -1, &statement, nullptr);
  size_t bytes = 0;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    for (int column = 0; column < sqlite3_column_count(statement); ++column) {
      sqlite3_column_text(statement, column);
      bytes += static_cast<size_t>(sqlite3_column_bytes(statement, column));
    }
  }
  sqlite3_finalize(statement);
  return bytes;
}

void BM_BareSqliteQueryOnly(benchmark::State& state) {
  AllocationModel& m = Model();
  sqlite3* db = orba::store::SqliteOf(m.model.repository->Session().Db()).Handle();
  for (auto _ : state) {
    for (const std::string& query : m.queries) benchmark::DoNotOptimize(RunBareQuery(db, query));
  }
}

// --- On the captured answers (the add-in's own cost) ---------------------------

void BM_AllocationSearch_CapturedAnswers(benchmark::State& state) {
  AllocationModel& m = Model();
  testing_support::ScriptedHost repository(m.model.repository);
  repository.Plan().Answer("Repository.ExecuteSqlQuery", [&m](const std::vector<std::string>& sql) {
    return m.answers.at(sql.at(0));
  });
  ReportRows(state, LastResult(state, [&repository] {
               std::string document = search::AllocationSearchDocument(repository);
               repository.Plan().ClearCalls();
               return document;
             }));
}

void BM_Plain_CapturedAnswers(benchmark::State& state) {
  AllocationModel& m = Model();
  ReportRows(state, LastResult(state, [&m] {
               return PlainDocument(m.queries,
                                    [&m](const std::string& query) { return m.answers.at(query); });
             }));
}

BENCHMARK(BM_AllocationSearch_Host)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Plain_Host)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HostExecuteSqlQueryOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareSqliteQueryOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllocationSearch_CapturedAnswers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Plain_CapturedAnswers)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
