// orba matrix: the report's traceability or allocation matrix as data, CSV
// or JSON.
#include "orba/cli/command.h"
#include "orba/cli/text_files.h"
#include "orba/report/matrix_data.h"
#include "orba/report/report_site.h"

namespace orba::cli {
namespace {

struct MatrixOptions {
  std::string model;
  std::string matrix;
  std::string format = "csv";
  bool bom = false;
  std::string output;
};

// The table as CSV, or as JSON with `extra` fields (such as the coverage).
std::string Formatted(const MatrixOptions& options, const report::DataTable& table,
                      const nlohmann::ordered_json& extra) {
  if (options.format != "json") return report::CsvText(table, options.bom);
  nlohmann::ordered_json json = report::TableJson(options.matrix, table);
  for (const auto& [key, value] : extra.items()) json[key] = value;
  return JsonText(json) + "\n";
}

std::string MatrixDocument(session::HostSession& session, const MatrixOptions& options) {
  const report::ModelIndex model(session.Repository()->Session());
  if (options.matrix == "traceability") {
    const report::TraceabilityMatrix matrix = report::TraceRequirements(model);
    return Formatted(options, report::TraceabilityTable(matrix, model),
                     {{"coverage", report::CoverageJson(matrix)}});
  }
  return Formatted(
      options, report::AllocationTable(report::MatrixOf(report::SearchAllocations(session, model))),
      nlohmann::ordered_json::object());
}

int WriteMatrix(const GlobalOptions& globals, const MatrixOptions& options) {
  if (options.bom && options.format != "csv")
    throw CommandError("--bom is for --format csv: a JSON document starts without one");
  session::HostSession session(SessionOptionsFor(globals));
  StartSession(session, options.model, store::ModelRepository::Access::kReadOnly);
  const std::string document = MatrixDocument(session, options);
  WriteDocument(options.output, [&](std::ostream& out) { out << document; });
  return kExitOk;
}

}  // namespace

void AddMatrixCommand(CLI::App& app, const GlobalOptions& globals, CommandAction& action) {
  auto options = std::make_shared<MatrixOptions>();
  CLI::App* command = app.add_subcommand(
      "matrix",
      "Print the requirements traceability matrix or the allocation matrix of a model as data: "
      "CSV (RFC 4180) or JSON");
  command->add_option("MODEL", options->model, "The model file (*.obx), or a JSON or XMI model")
      ->required();
  command->add_option("MATRIX", options->matrix, "traceability or allocation")
      ->required()
      ->check(CLI::IsMember({"traceability", "allocation"}));
  command->add_option("--format", options->format, "csv or json")
      ->check(CLI::IsMember({"csv", "json"}))
      ->capture_default_str();
  command->add_flag("--bom", options->bom,
                    "Start the CSV with a UTF-8 byte order mark, for spreadsheets");
  AddOutputOption(*command, options->output);
  command->callback([&action, &globals, options] {
    action = [&globals, options] { return WriteMatrix(globals, *options); };
  });
}

}  // namespace orba::cli
