// orba compartments: the compartments the add-in offers for an element's
// shape, each with the data string it answers.
#include <algorithm>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "base/text.h"
#include "orba/cli/command.h"
#include "orba/cli/model_lookup.h"
#include "orba/cli/text_files.h"
#include "orba/diagrams/compartment_data.h"
#include "orba/session/addin_compartments.h"

namespace orba::cli {
namespace {

using session::OfferedCompartment;
using session::OfferedCompartments;
using session::ReadOfferedCompartments;

struct CompartmentsOptions {
  std::string model;
  std::string element;
  std::string format = "text";
  std::string output;
};

// The text of each row the host would draw; a data string that cannot be
// read draws nothing.
std::vector<std::string> DrawnRows(const std::string& data) {
  std::vector<std::string> rows;
  try {
    if (const auto compartment = diagrams::ParseCompartmentData(data)) {
      for (const diagrams::CompartmentRow& row : compartment->rows) rows.push_back(row.text);
    }
  } catch (const diagrams::CompartmentDataError&) {
  }
  return rows;
}

// Each text on its line: control characters from the model or the add-in are
// shown as escapes, so none can drive the terminal.
void WriteText(const host::ElementPtr& element, const OfferedCompartments& list,
               std::ostream& out) {
  using base::EscapeControlCharacters;
  out << "element \"" << EscapeControlCharacters(element->Name()) << "\" "
      << EscapeControlCharacters(element->ElementGUID()) << "\n";
  if (list.compartments.empty()) {
    out << "no compartments offered (they are switched on in the add-in's options)\n";
    return;
  }
  out << "offered: " << EscapeControlCharacters(list.offered) << "\n";
  for (const OfferedCompartment& compartment : list.compartments) {
    out << EscapeControlCharacters(compartment.name) << ": "
        << (compartment.data.empty() ? "(empty)" : EscapeControlCharacters(compartment.data))
        << "\n";
    for (const std::string& row : DrawnRows(compartment.data)) {
      out << "    | " << EscapeControlCharacters(row) << "\n";
    }
  }
}

nlohmann::ordered_json ToJson(const std::string& element_guid, const OfferedCompartments& list) {
  nlohmann::ordered_json compartments = nlohmann::ordered_json::array();
  for (const OfferedCompartment& compartment : list.compartments) {
    compartments.push_back({{"name", compartment.name}, {"data", compartment.data}});
  }
  return {{"element", element_guid}, {"offered", list.offered}, {"compartments", compartments}};
}

int ShowCompartments(const GlobalOptions& globals, const CompartmentsOptions& options) {
  session::HostSession session(SessionOptionsFor(globals));
  StartSession(session, options.model, store::ModelRepository::Access::kReadOnly);
  const host::ElementPtr element = FindElement(*session.Repository(), options.element);
  const OfferedCompartments list = ReadOfferedCompartments(session, element->ElementGUID());
  WriteDocument(options.output, [&](std::ostream& out) {
    if (options.format == "json") {
      out << JsonText(ToJson(element->ElementGUID(), list)) << "\n";
    } else {
      WriteText(element, list, out);
    }
  });
  return kExitOk;
}

}  // namespace

void AddCompartmentsCommand(CLI::App& app, const GlobalOptions& globals, CommandAction& action) {
  auto options = std::make_shared<CompartmentsOptions>();
  CLI::App* command = app.add_subcommand(
      "compartments",
      "List the compartments the add-in offers for an element's shape (as switched on in its "
      "options), each with the compartment data string it answers");
  command->add_option("MODEL", options->model, "The model file (*.obx)")->required();
  command->add_option("ELEMENT", options->element, "The element's GUID or name")->required();
  command->add_option("--format", options->format, "text or json")
      ->check(CLI::IsMember({"text", "json"}))
      ->capture_default_str();
  AddOutputOption(*command, options->output);
  command->callback([&action, &globals, options] {
    action = [&globals, options] { return ShowCompartments(globals, *options); };
  });
}

}  // namespace orba::cli
