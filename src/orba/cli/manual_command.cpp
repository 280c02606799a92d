// orba man: the manual page in roff (`orba man | man -l -`), made from the
// command line's own definition: the description, the global options and
// each command with its arguments and options, as `--help` gives them.
#include <iostream>
#include <sstream>

#include "orba/cli/command.h"

namespace orba::cli {
namespace {

// Text as roff reads it: backslashes and hyphens escaped, no line taken for a request.
std::string Roff(const std::string& text) {
  std::string escaped;
  bool line_start = true;
  for (const char c : text) {
    if (line_start && (c == '.' || c == '\'')) escaped += "\\&";
    if (c == '\\') {
      escaped += "\\e";
    } else if (c == '-') {
      escaped += "\\-";
    } else {
      escaped += c;
    }
    line_start = c == '\n';
  }
  return escaped;
}

// "-o, --output FILE" for an option; "MODEL" for a positional.
std::string Spelled(const CLI::Option& option) {
  if (option.get_positional()) return "\\fI" + Roff(option.get_name()) + "\\fR";
  std::string names;
  for (const std::string& name : option.get_snames()) names += (names.empty() ? "-" : ", -") + name;
  for (const std::string& name : option.get_lnames())
    names += (names.empty() ? "--" : ", --") + name;
  std::string spelled = "\\fB" + Roff(names) + "\\fR";
  if (option.get_expected_min() > 0) spelled += " \\fI" + Roff(option.get_type_name()) + "\\fR";
  return spelled;
}

void WriteOptions(const CLI::App& command, std::ostream& out) {
  for (const CLI::Option* option : command.get_options()) {
    if (option->get_lnames() == std::vector<std::string>{"help"}) continue;
    std::string text = option->get_description();
    if (!option->get_default_str().empty()) text += " (default: " + option->get_default_str() + ")";
    out << ".TP\n" << Spelled(*option) << "\n" << Roff(text) << "\n";
  }
}

void WriteCommand(const CLI::App& command, std::ostream& out) {
  std::string usage = "orba " + command.get_name() + " [OPTIONS]";
  for (const CLI::Option* option : command.get_options()) {
    if (option->get_positional())
      usage += option->get_required() ? " " + option->get_name() : " [" + option->get_name() + "]";
  }
  out << ".SS " << Roff(command.get_name()) << "\n"
      << Roff(command.get_description()) << "\n.PP\n.B " << Roff(usage) << "\n";
  WriteOptions(command, out);
}

std::string ManualPage(const CLI::App& app) {
  std::ostringstream out;
  out << ".TH ORBA 1 \"\" \"orba " << kOrbaVersion << "\" \"User Commands\"\n"
      << ".SH NAME\norba \\- the reference Orba host: SysML models, validation and searches\n"
      << ".SH SYNOPSIS\n.B orba\n[\\fIOPTIONS\\fR] \\fICOMMAND\\fR [\\fIARGUMENTS\\fR]\n"
      << ".SH DESCRIPTION\n"
      << Roff(app.get_description()) << "\n.SH OPTIONS\n";
  WriteOptions(app, out);
  out << ".SH COMMANDS\n";
  for (const CLI::App* command : app.get_subcommands({})) WriteCommand(*command, out);
  out << ".SH EXIT STATUS\n"
      << "0: done (validate: nothing at the \\-\\-fail\\-on level); 1: validate reported "
         "violations; 2: the command could not run.\n"
      << ".SH ENVIRONMENT\n.TP\n\\fBORBA_REGISTRY\\fR\nThe component registry the add-ins are "
         "found in.\n.TP\n\\fBORBA_UI\\fR\nThe default of \\-\\-ui.\n"
      << ".SH FILES\n.TP\n\\fBorba.ini\\fR\nBeside a model: the project's rule settings for "
         "validate ([families], [messages]).\n"
      << ".TP\n\\fBcomponents.ini\\fR\nThe component registry: beside orba or in lib/orba of its "
         "installed tree, else in "
         "~/.config/orba.\n";
  return out.str();
}

}  // namespace

void AddManualCommand(CLI::App& app, CommandAction& action) {
  CLI::App* command =
      app.add_subcommand("man", "Print this manual page in roff, for man: orba man | man -l -");
  PrintsDocumentOfTheApp(*command, app, action, ManualPage);
}

}  // namespace orba::cli
