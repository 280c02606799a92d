// orba completion bash: a bash completion script made from the command line's
// own definition, so it never lags behind it: the commands, then each
// command's options and the global ones; files for everything else.
#include <iostream>
#include <sstream>

#include "orba/cli/command.h"

namespace orba::cli {
namespace {

// The names of `command`'s options ("--format -o --output"), and those of
// them that take a value.
struct OptionNames {
  std::string all;
  std::string with_values;
};

OptionNames NamesOf(const CLI::App& command) {
  OptionNames names;
  for (const CLI::Option* option : command.get_options()) {
    if (option->get_positional()) continue;
    std::string spelled;
    for (const std::string& name : option->get_lnames()) spelled += " --" + name;
    for (const std::string& name : option->get_snames()) spelled += " -" + name;
    names.all += spelled;
    if (option->get_expected_min() > 0) names.with_values += spelled;
  }
  return names;
}

std::string Script(const CLI::App& app) {
  const OptionNames globals = NamesOf(app);
  std::string commands;
  std::ostringstream cases;
  for (const CLI::App* command : app.get_subcommands({})) {
    commands += " " + command->get_name();
    cases << "    " << command->get_name() << ") options=\"" << NamesOf(*command).all << "\" ;;\n";
  }
  std::ostringstream script;
  script << "# bash completion for orba: source it, or install it as\n"
         << "# /usr/share/bash-completion/completions/orba. Made by `orba completion bash`.\n"
         << "_orba() {\n"
         << "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
         << "  local global_options=\"" << globals.all << "\"\n"
         << "  local global_valued=\"" << globals.with_values << "\"\n"
         << "  local command=\"\" word skip=0 options=\"\" i\n"
         << "  for ((i = 1; i < COMP_CWORD; i++)); do\n"
         << "    word=${COMP_WORDS[i]}\n"
         << "    if ((skip)); then skip=0; continue; fi\n"
         << "    case \" $global_valued \" in *\" $word \"*) skip=1; continue ;; esac\n"
         << "    case $word in -*) ;; *) command=$word; break ;; esac\n"
         << "  done\n"
         << "  if [[ -z $command ]]; then\n"
         << "    case \" $global_valued \" in *\" $prev \"*) return ;; esac\n"
         << "    COMPREPLY=($(compgen -W \"" << commands << " $global_options\" -- \"$cur\"))\n"
         << "    return\n"
         << "  fi\n"
         << "  case $command in\n"
         << cases.str() << "  esac\n"
         << "  if [[ $cur == -* ]]; then\n"
         << "    COMPREPLY=($(compgen -W \"$options $global_options\" -- \"$cur\"))\n"
         << "  else\n"
         << "    COMPREPLY=($(compgen -f -- \"$cur\"))\n"
         << "  fi\n"
         << "}\n"
         << "complete -o filenames -F _orba orba\n";
  return script.str();
}

}  // namespace

void AddCompletionCommand(CLI::App& app, CommandAction& action) {
  CLI::App* command =
      app.add_subcommand("completion", "Print a completion script for a shell (bash)");
  command->add_option("SHELL", "The shell: bash")->required()->check(CLI::IsMember({"bash"}));
  PrintsDocumentOfTheApp(*command, app, action, Script);
}

}  // namespace orba::cli
