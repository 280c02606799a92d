// orba validate: runs the add-in's validation rules on every item of a model.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>

#include "orba/cli/command.h"
#include "orba/cli/finding_places.h"
#include "orba/cli/progress.h"
#include "orba/cli/text_files.h"
#include "orba/validator/baseline.h"
#include "orba/validator/junit_output.h"
#include "orba/validator/project_rules.h"
#include "orba/validator/validation_output.h"

namespace orba::cli {
namespace {

constexpr char kValidatingAddin[] = "SysML";

struct ValidateOptions {
  std::string model;
  std::string format = "text";
  std::string source_root = ".";
  std::string fail_on = "warning";
  std::string output;
  std::string baseline;
  std::string config;  // "": orba.ini beside the model, when there is one
};

constexpr char kProjectFile[] = "orba.ini";

void WriteResult(const ValidateOptions& options, const validator::ValidationResult& result,
                 std::ostream& out) {
  if (options.format == "json") {
    out << JsonText(validator::ValidationJson(options.model, result)) << "\n";
  } else if (options.format == "sarif") {
    const validator::SarifRun run{options.model, options.source_root, kOrbaVersion,
                                  kOrbaInformationUri};
    out << JsonText(validator::ValidationSarif(run, result)) << "\n";
  } else if (options.format == "junit") {
    validator::WriteValidationJunit(options.model, result, out);
  } else {
    const bool terminal = options.output.empty() && isatty(STDOUT_FILENO);
    validator::WriteValidationText(
        result, out, validator::UseColour(terminal, std::getenv("NO_COLOR"), std::getenv("TERM")));
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

// Whether a violation fails the run: at or above the --fail-on level.
bool FailsTheRun(const std::string& fail_on, const validator::Violation& violation) {
  const std::string level = validator::LevelOf(violation.error_type);
  if (fail_on == "never") return false;
  if (fail_on == "error") return level == "error";
  return level == "error" || level == "warning";
}

// The project's rule settings: --config, else orba.ini beside the model.
std::optional<validator::ProjectRules> ProjectRulesFor(const ValidateOptions& options) {
  std::string path = options.config;
  if (path.empty()) {
    path = (std::filesystem::path(options.model).parent_path() / kProjectFile).string();
    if (!std::filesystem::exists(path)) return std::nullopt;
  }
  return validator::ProjectRules::Parse(ReadTextFile(path), path);
}

// The findings of the run given with --baseline; none without it.
std::optional<validator::Baseline> BaselineFor(const ValidateOptions& options) {
  if (options.baseline.empty()) return std::nullopt;
  return validator::Baseline::Parse(ReadTextFile(options.baseline), options.baseline);
}

int ExitCode(const ValidateOptions& options, const validator::ValidationResult& result) {
  if (result.rules.empty()) {
    // A gate that checked nothing must not pass (an add-in that refused the host, say).
    std::cerr << "orba: the add-in registered no validation rules; nothing was checked"
              << std::endl;
    return kExitError;
  }
  if (!result.failures.empty()) return kExitError;
  for (const validator::Violation& violation : result.violations) {
    const bool known = violation.baseline == validator::BaselineState::kUnchanged;
    if (!known && FailsTheRun(options.fail_on, violation)) return kExitViolations;
  }
  return kExitOk;
}

int Validate(const GlobalOptions& globals, const ValidateOptions& options) {
  session::HostSession session(SessionOptionsFor(globals));
  StartSession(session, options.model, store::ModelRepository::Access::kReadOnly);
  // Read before the rules run, so that a bad file is told at once.
  const std::optional<validator::ProjectRules> project = ProjectRulesFor(options);
  const std::optional<validator::Baseline> baseline = BaselineFor(options);
  validator::ValidationResult result = validator::Validate(
      session.Repository(), session.Addin(kValidatingAddin), Progress("validating", globals.quiet));
  PrependStartFailures(session, result);
  if (project) project->Apply(result);
  if (baseline) baseline->Mark(result);
  if (options.format == "sarif" || options.format == "junit") {
    PlaceFindings(session.Repository()->Session(),
                  IsSourceDocument(options.model) ? ReadTextFile(options.model) : "", result);
  }
  WriteDocument(options.output, [&](std::ostream& out) { WriteResult(options, result, out); });
  return ExitCode(options, result);
}

}  // namespace

void AddValidateCommand(CLI::App& app, const GlobalOptions& globals, CommandAction& action) {
  auto options = std::make_shared<ValidateOptions>();
  CLI::App* command = app.add_subcommand(
      "validate",
      "Run the SysML validation rules on every element, package, connector and operation. "
      "Exit 0: clean (or nothing at the --fail-on level); 1: violations reported; 2: the "
      "command could not run, or an add-in operation failed (listed under failures)");
  command->add_option("MODEL", options->model, "The model file (*.obx) or source document")
      ->required();
  command
      ->add_option("--format", options->format,
                   "text (grouped by item), json, sarif (2.1.0) or junit (JUnit XML)")
      ->check(CLI::IsMember({"text", "json", "sarif", "junit"}))
      ->capture_default_str();
  command
      ->add_option("--source-root", options->source_root,
                   "The folder SARIF names the model relative to (a repository's root)")
      ->capture_default_str();
  command
      ->add_option("--fail-on", options->fail_on,
                   "The least level of violation that makes the exit code 1: warning (warnings "
                   "and errors), error, or never")
      ->check(CLI::IsMember({"warning", "error", "never"}))
      ->capture_default_str();
  command->add_option("--baseline", options->baseline,
                      "A previous run's SARIF log or JSON: findings found there too are "
                      "marked unchanged and do not fail the run");
  command->add_option("--config", options->config,
                      "The project's rule settings (default: orba.ini beside the model): "
                      "[families] and [messages] set to error, warning, note or off");
  AddOutputOption(*command, options->output);
  command->callback([&action, &globals, options] {
    action = [&globals, options] { return Validate(globals, *options); };
  });
}

}  // namespace orba::cli
