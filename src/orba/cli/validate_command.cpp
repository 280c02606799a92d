// orba validate: runs the add-in's validation rules on every item of a model.
#include <iostream>

#include "orba/cli/command.h"
#include "orba/cli/finding_places.h"
#include "orba/cli/terminal_progress.h"
#include "orba/cli/text_files.h"
#include "orba/validator/validation_output.h"

namespace orba::cli {
namespace {

constexpr char kValidatingAddin[] = "SysML";

struct ValidateOptions {
  std::string model;
  std::string format = "text";
  std::string source_root = ".";
};

void WriteResult(const ValidateOptions& options, const validator::ValidationResult& result) {
  if (options.format == "json") {
    std::cout << JsonText(validator::ValidationJson(options.model, result)) << "\n";
  } else if (options.format == "sarif") {
    const validator::SarifRun run{options.model, options.source_root, kOrbaVersion, ""};
    std::cout << JsonText(validator::ValidationSarif(run, result)) << "\n";
  } else {
    validator::WriteValidationText(result, std::cout);
  }
}

// Add-in calls that failed before validation began (connecting, opening the
// model) come first among the failures: the rules may have run without them.
void PrependStartFailures(const session::HostSession& session,
                          validator::ValidationResult& result) {
  std::vector<validator::Failure> failures;
  for (const session::FailedCall& call : session.FailedCalls()) {
    failures.push_back(validator::Failure{"", std::nullopt, call.error, call.operation, {}});
  }
  result.failures.insert(result.failures.begin(), failures.begin(), failures.end());
}

int Validate(const GlobalOptions& globals, const ValidateOptions& options) {
  session::HostSession session(SessionOptionsFor(globals));
  StartSession(session, options.model, store::ModelRepository::Access::kReadOnly);
  validator::ValidationResult result = validator::Validate(
      session.Repository(), session.Addin(kValidatingAddin), TerminalProgress("validating"));
  PrependStartFailures(session, result);
  if (options.format == "sarif") {
    PlaceFindings(session.Repository()->Session(),
                  IsSourceDocument(options.model) ? ReadTextFile(options.model) : "", result);
  }
  WriteResult(options, result);
  if (result.rules.empty()) {
    // A gate that checked nothing must not pass (an add-in that refused the host, say).
    std::cerr << "orba: the add-in registered no validation rules; nothing was checked"
              << std::endl;
    return kExitError;
  }
  if (!result.failures.empty()) return kExitError;
  return result.violations.empty() ? kExitOk : kExitViolations;
}

}  // namespace

void AddValidateCommand(CLI::App& app, const GlobalOptions& globals, CommandAction& action) {
  auto options = std::make_shared<ValidateOptions>();
  CLI::App* command = app.add_subcommand(
      "validate",
      "Run the SysML validation rules on every element, package, connector and operation. "
      "Exit 0: clean; 1: violations reported; 2: the command could not run, or an add-in "
      "operation failed (listed under failures)");
  command->add_option("MODEL", options->model, "The model file (*.obx)")->required();
  command->add_option("--format", options->format, "text (grouped by item), json or sarif (2.1.0)")
      ->check(CLI::IsMember({"text", "json", "sarif"}))
      ->capture_default_str();
  command
      ->add_option("--source-root", options->source_root,
                   "The folder SARIF names the model relative to (a repository's root)")
      ->capture_default_str();
  command->callback([&action, &globals, options] {
    action = [&globals, options] { return Validate(globals, *options); };
  });
}

}  // namespace orba::cli
