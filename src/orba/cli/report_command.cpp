// orba report: the model as a static HTML site that works offline.
#include <iostream>

#include "orba/cli/command.h"
#include "orba/cli/progress.h"
#include "orba/report/report_site.h"

namespace orba::cli {
namespace {

struct ReportOptions {
  std::string model;
  std::string output;
};

// "1 element", "2 elements".
std::string Counted(size_t count, const std::string& noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

int Report(const GlobalOptions& globals, const ReportOptions& options) {
  session::HostSession session(SessionOptionsFor(globals));
  StartSession(session, options.model, store::ModelRepository::Access::kReadOnly);
  const bool quiet = globals.quiet;
  const report::ReportSettings settings{
      [quiet](const char* activity) { return Progress(activity, quiet); }, &std::cerr};
  const report::ReportSummary summary = report::WriteReportSite(session, options.output, settings);
  if (!quiet) {
    const char* drawn = summary.generated_views ? " drawn for the model" : "";
    std::cerr << "orba: wrote the report of " << Counted(summary.element_pages, "element") << ", "
              << Counted(summary.diagram_pages, summary.generated_views ? "view" : "diagram")
              << drawn << " and " << Counted(summary.violations, "violation") << " into "
              << options.output << "\n";
  }
  return kExitOk;
}

}  // namespace

void AddReportCommand(CLI::App& app, const GlobalOptions& globals, CommandAction& action) {
  auto options = std::make_shared<ReportOptions>();
  CLI::App* command = app.add_subcommand(
      "report",
      "Write the model as a static HTML site that works offline from file://: the package "
      "tree, a page per element and per diagram, the validation results, the allocations and "
      "the requirements traceability matrix");
  command->add_option("MODEL", options->model, "The model file (*.obx), or a JSON or XMI model")
      ->required();
  command
      ->add_option("-o,--output", options->output,
                   "The folder to write the site into: new, empty, or an earlier report, which "
                   "is replaced")
      ->required();
  command->callback([&action, &globals, options] {
    action = [&globals, options] { return Report(globals, *options); };
  });
}

}  // namespace orba::cli
