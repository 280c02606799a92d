// orba search: runs a model search by name and shows its table.
#include <iostream>

#include "orba/cli/command.h"
#include "orba/cli/search_output.h"
#include "orba/cli/text_files.h"

namespace orba::cli {
namespace {

struct SearchOptions {
  std::string model;
  std::string name;
  std::string term;
  std::string format = "text";
  std::string output;
};

int Search(const GlobalOptions& globals, const SearchOptions& options) {
  session::HostSession session(SessionOptionsFor(globals));
  StartSession(session, options.model, store::ModelRepository::Access::kReadOnly);
  const searches::SearchResult result = session.Search(options.name, options.term);
  WriteDocument(options.output, [&](std::ostream& out) {
    if (options.format == "xml") {
      out << result.document;  // as answered (held to XML 1.0), not even a line end added
    } else if (options.format == "json") {
      WriteSearchJson(result, out);
    } else {
      WriteSearchText(result, out);
    }
  });
  return kExitOk;
}

}  // namespace

void AddSearchCommand(CLI::App& app, const GlobalOptions& globals, CommandAction& action) {
  auto options = std::make_shared<SearchOptions>();
  CLI::App* command = app.add_subcommand(
      "search",
      "Run a model search: \"SysML Allocations\" (answered by the SysML add-in) or "
      "\"Requirements\" (the host's own list of requirements)");
  command->add_option("MODEL", options->model, "The model file (*.obx)")->required();
  command->add_option("NAME", options->name, "The search's name")->required();
  command->add_option("--term", options->term, "The search term handed to the search");
  command
      ->add_option("--format", options->format,
                   "text, json, or xml (the report table as the search answered it; a "
                   "character XML 1.0 forbids becomes U+FFFD)")
      ->check(CLI::IsMember({"text", "json", "xml"}))
      ->capture_default_str();
  AddOutputOption(*command, options->output);
  command->callback([&action, &globals, options] {
    action = [&globals, options] { return Search(globals, *options); };
  });
}

}  // namespace orba::cli
