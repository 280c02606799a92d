#include "orba/cli/app.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <sstream>

#include "automation/registry.h"
#include "orba/cli/command.h"
#include "orba/cli/text_files.h"

namespace orba::cli {
namespace {

constexpr char kDescription[] =
    "orba: the reference Orba host. It keeps models in *.obx files, loads the SysML add-in "
    "(ProgID Tessary.CTessary, found through the component registry: $ORBA_REGISTRY, else "
    "components.ini beside this program or in its installed tree's lib/orba, else "
    "~/.config/orba/components.ini) and runs its "
    "validation, searches, compartments and menu commands. Message boxes shown by the add-in "
    "are printed to stderr as \"Title: text\".";

constexpr char kGlobalOptionsFooter[] =
    "Global options (before or after the command): --host-build N, --ui qt|console|none, "
    "--quiet; "
    "see orba --help.";

// A build number is written in decimal digits only: CLI11 alone would read
// "" as 0 and "0x400" as 1024.
const CLI::Validator kDecimalNumber(
    [](const std::string& value) {
      const bool digits =
          !value.empty() && value.find_first_not_of("0123456789") == std::string::npos;
      return digits ? std::string() : "\"" + value + "\" is not a whole number in decimal digits";
    },
    "DIGITS");

// An empty file, model, element or menu item is a mistake (an unset variable
// in a script), never a request for "none".
const CLI::Validator kNotEmpty(
    [](const std::string& value) { return value.empty() ? std::string("it is empty") : ""; }, "");

void RefuseEmptyArguments(CLI::App& app) {
  for (CLI::App* command : app.get_subcommands({})) {
    for (CLI::Option* option : command->get_options()) {
      if (option->get_positional()) option->check(kNotEmpty);
    }
  }
}

// "orba 1.0", then each add-in the host knows: its module and the version
// the module states, or why it cannot be loaded.
std::string VersionText() {
  std::string text = std::string("orba ") + kOrbaVersion;
  for (const session::AddinEntry& addin : session::DefaultAddins()) {
    text += "\nadd-in " + addin.name + " (" + addin.prog_id + "): ";
    try {
      const auto registry = automation::Registry::DefaultPath();
      const auto module = automation::Registry(registry).ModuleFor(addin.prog_id);
      if (module.empty()) {
        text += "not registered in " + registry.string();
        continue;
      }
      const std::string version = automation::ModuleVersion(module);
      text += module.string() + (version.empty() ? ", no version stated" : ", " + version);
    } catch (const std::exception& error) {
      text += error.what();
    }
  }
  return text;
}

void AddGlobalOptions(CLI::App& app, GlobalOptions& globals) {
  app.add_option("--host-build", globals.host_build,
                 "The build number the host reports to add-ins (797 is release 6.5; below it "
                 "the SysML add-in stays disabled)")
      ->check(kDecimalNumber)
      ->capture_default_str();
  app.add_option("--ui", globals.ui,
                 "How add-ins show message boxes and dialogs: qt (windows, when a display is "
                 "there; fails when the add-in's Qt module cannot be loaded), console (stderr; "
                 "dialogs as terminal forms), none (boxes printed, dialogs cancelled). Default: "
                 "$ORBA_UI, else qt with a display (console without the Qt module), else console")
      ->check(CLI::IsMember({"qt", "console", "none"}));
  app.add_flag("-q,--quiet", globals.quiet, "No progress lines on stderr");
  app.set_version_flag("--version", VersionText,
                       "Show the version of orba and of each add-in module it loads");
}

// Output that could not be written (a full disk, a closed pipe) makes the
// command fail: its result did not arrive.
int CheckOutputWritten(int exit_code) {
  errno = 0;
  if (std::cout.flush()) return exit_code;
  std::cerr << "orba: cannot write the output"
            << (errno ? std::string(": ") + std::strerror(errno) : "") << std::endl;
  return kExitError;
}

int RunAction(const CommandAction& action) {
  try {
    return CheckOutputWritten(action());
  } catch (const std::exception& error) {
    std::cerr << "orba: " << error.what() << std::endl;
    return kExitError;
  }
}

}  // namespace

void AddOutputOption(CLI::App& command, std::string& output) {
  command.add_option("-o,--output", output, "Write the document to this file instead of stdout");
}

void PrintsDocumentOfTheApp(CLI::App& command, const CLI::App& app, CommandAction& action,
                            std::string (*make)(const CLI::App&)) {
  auto output = std::make_shared<std::string>();
  AddOutputOption(command, *output);
  command.callback([&app, &action, output, make] {
    action = [&app, output, make] {
      WriteDocument(*output, [&](std::ostream& out) { out << make(app); });
      return kExitOk;
    };
  });
}

void WriteDocument(const std::string& output, const std::function<void(std::ostream&)>& write) {
  if (output.empty()) {
    write(std::cout);
    return;
  }
  std::ostringstream document;
  write(document);
  WriteTextFile(output, document.str());
}

session::SessionOptions SessionOptionsFor(const GlobalOptions& globals) {
  session::SessionOptions options;
  options.host_build = globals.host_build;
  options.ui = globals.ui;
  return options;
}

void StartSession(session::HostSession& session, const std::string& model,
                  store::ModelRepository::Access access) {
  session.LoadAddins();
  if (model.empty()) return;
  if (access == store::ModelRepository::Access::kReadOnly && IsSourceDocument(model)) {
    OpenSourceDocument(session, model);
  } else {
    session.OpenModel(model, access);
  }
}

int Run(int argc, char** argv) {
  CLI::App app(kDescription, "orba");
  app.fallthrough();
  app.require_subcommand(1);
  GlobalOptions globals;
  AddGlobalOptions(app, globals);
  CommandAction action;
  AddModelCommands(app, globals, action);
  AddValidateCommand(app, globals, action);
  AddSearchCommand(app, globals, action);
  AddCompartmentsCommand(app, globals, action);
  AddMenuCommands(app, globals, action);
  AddRenderCommand(app, globals, action);
  AddReportCommand(app, globals, action);
  AddMatrixCommand(app, globals, action);
  AddCompletionCommand(app, action);
  AddManualCommand(app, action);
  for (CLI::App* command : app.get_subcommands({})) command->footer(kGlobalOptionsFooter);
  RefuseEmptyArguments(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    if (app.get_subcommands().empty() && !app.remaining().empty()) {
      std::cerr << "orba: unknown command \"" << app.remaining().front()
                << "\"; run orba --help for the commands" << std::endl;
      return kExitError;
    }
    // Help asked for exits 0; a command line that cannot be read exits 2.
    return app.exit(error) == 0 ? kExitOk : kExitError;
  }
  return RunAction(action);
}

}  // namespace orba::cli
