// What the commands of `orba` share: the global options, the exit codes, the
// way a command is added to the command line, and starting a host session.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "orba/session/host_session.h"

namespace orba::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitViolations = 1;  // `validate` found violations
inline constexpr int kExitError = 2;       // the command could not do its work

// This build's version of orba, and the page that describes it ("" when none).
inline constexpr char kOrbaVersion[] = ORBA_VERSION;
inline constexpr char kOrbaInformationUri[] = ORBA_INFORMATION_URI;

// Where the host opens add-in menus from; add-ins receive it and may ignore it.
inline constexpr char kMenuLocation[] = "MainMenu";

// A command that cannot run: bad input named in the message.
class CommandError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct GlobalOptions {
  int32_t host_build = store::ModelRepository::kDefaultBuildNumber;
  std::string ui;      // "qt", "console", "none"; empty: chosen by the display
  bool quiet = false;  // no progress on stderr
};

// Where a command's document goes: `-o FILE` (written whole, or not at all),
// else stdout.
void AddOutputOption(CLI::App& command, std::string& output);
// Writes the document `write` makes to `output` ("" for stdout).
void WriteDocument(const std::string& output, const std::function<void(std::ostream&)>& write);

// The chosen command, run once the whole command line has been read; answers the exit code.
using CommandAction = std::function<int()>;

// Makes `command` print (or write with -o) the document `make` makes of the
// whole command line `app`.
void PrintsDocumentOfTheApp(CLI::App& command, const CLI::App& app, CommandAction& action,
                            std::string (*make)(const CLI::App&));

// Each adds its subcommands to `app`; the subcommand's callback sets `action`.
// `globals` is read when the action runs, so options given after the
// subcommand count too.
void AddModelCommands(CLI::App& app, const GlobalOptions& globals, CommandAction& action);
void AddValidateCommand(CLI::App& app, const GlobalOptions& globals, CommandAction& action);
void AddSearchCommand(CLI::App& app, const GlobalOptions& globals, CommandAction& action);
void AddCompartmentsCommand(CLI::App& app, const GlobalOptions& globals, CommandAction& action);
void AddMenuCommands(CLI::App& app, const GlobalOptions& globals, CommandAction& action);
void AddRenderCommand(CLI::App& app, const GlobalOptions& globals, CommandAction& action);
void AddReportCommand(CLI::App& app, const GlobalOptions& globals, CommandAction& action);
void AddMatrixCommand(CLI::App& app, const GlobalOptions& globals, CommandAction& action);
// Added last: the completion script and the manual page list every command
// added before them.
void AddCompletionCommand(CLI::App& app, CommandAction& action);
void AddManualCommand(CLI::App& app, CommandAction& action);

session::SessionOptions SessionOptionsFor(const GlobalOptions& globals);

// Whether `path` names a source document (a JSON model document, or XMI:
// .json, .uml, .xmi, .xml) rather than a model.
bool IsSourceDocument(const std::string& path);

// Imports the source document `path` into a temporary model file and opens
// that read-only in `session` (the file goes once it is open).
void OpenSourceDocument(session::HostSession& session, const std::string& path);

// Loads the add-ins, then opens `model` when one is given; a source document
// is imported first when the model is only read.
void StartSession(session::HostSession& session, const std::string& model,
                  store::ModelRepository::Access access);

}  // namespace orba::cli
