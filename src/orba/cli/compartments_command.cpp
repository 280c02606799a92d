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
#include "orba/store/model_session.h"

namespace orba::cli {
namespace {

constexpr char kCompartmentAddin[] = "SysML";
constexpr int32_t kElementObjectType = 4;  // the host's object type of an element

struct CompartmentsOptions {
  std::string model;
  std::string element;
  std::string format = "text";
  std::string output;
};

struct Compartment {
  std::string name;
  std::string data;
};

struct CompartmentList {
  std::string element_guid;
  std::string element_name;
  std::string offered;
  std::vector<Compartment> compartments;
};

// The text an add-in operation answers; throws when the call failed (the
// failure itself has been reported by the session).
std::string CallForText(session::HostSession& session, const std::string& operation,
                        std::vector<automation::Variant>&& args) {
  const automation::CallResult result =
      session.CallAddin(kCompartmentAddin, operation, std::move(args));
  if (!result.ok) throw CommandError("the compartments could not be read");
  return result.value.ToString();
}

// "parts,flow ports" -> {"parts", "flow ports"}; "" -> {}.
std::vector<std::string> OfferedNames(const std::string& offered) {
  std::vector<std::string> names;
  for (size_t start = 0; start < offered.size();) {
    const size_t comma = std::min(offered.find(',', start), offered.size());
    names.push_back(offered.substr(start, comma - start));
    start = comma + 1;
  }
  return names;
}

// The compartments of one drawing of the element: the add-in asks for the
// element's document once per compartment, which the read cache answers
// after the first.
CompartmentList ReadCompartments(session::HostSession& session, const host::ElementPtr& element) {
  const auto& repository = session.Repository();
  const store::ReadCacheScope drawing(repository->Session());
  CompartmentList list{element->ElementGUID(),
                       element->Name(),
                       CallForText(session, "Orba_QueryAvailableCompartments", {repository}),
                       {}};
  for (const std::string& name : OfferedNames(list.offered)) {
    list.compartments.push_back(
        {name, CallForText(session, "Orba_GetCompartmentData",
                           {repository, name, list.element_guid, kElementObjectType})});
  }
  return list;
}

// Splits text at every occurrence of separator.
std::vector<std::string> SplitAt(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t found; (found = text.find(separator, start)) != std::string::npos;
       start = found + separator.size()) {
    parts.push_back(text.substr(start, found - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

// The text with the compartment escapes turned back into their characters.
std::string Unescaped(const std::string& text) {
  std::string plain;
  for (size_t i = 0; i < text.size();) {
    if (text.compare(i, 6, "&_eq_^") == 0) {
      plain += '=', i += 6;
    } else if (text.compare(i, 6, "&_sc_^") == 0) {
      plain += ';', i += 6;
    } else if (text.compare(i, 5, "&_c_^") == 0) {
      plain += ',', i += 5;
    } else {
      plain += text[i++];
    }
  }
  return plain;
}

// The "Data" value of every row of a compartment data string, as the host
// would draw the rows: "CompartmentData=" holds rows closed by "&_sc_^,",
// each a list of key&_eq_^value fields closed by "&_sc_^".
std::vector<std::string> DrawnRows(const std::string& data) {
  const std::string key = "CompartmentData=";
  const size_t begin = data.find(key);
  if (begin == std::string::npos || data.back() != ';') return {};
  std::vector<std::string> rows;
  for (const std::string& row :
       SplitAt(data.substr(begin + key.size(), data.size() - begin - key.size() - 1), "&_sc_^,")) {
    for (const std::string& field : SplitAt(row, "&_sc_^")) {
      if (field.starts_with("Data&_eq_^")) rows.push_back(Unescaped(field.substr(10)));
    }
  }
  return rows;
}

// Each text on its line: control characters from the model or the add-in are
// shown as escapes, so none can drive the terminal.
void WriteText(const CompartmentList& list, std::ostream& out) {
  using base::EscapeControlCharacters;
  out << "element \"" << EscapeControlCharacters(list.element_name) << "\" "
      << EscapeControlCharacters(list.element_guid) << "\n";
  if (list.compartments.empty()) {
    out << "no compartments offered (they are switched on in the add-in's options)\n";
    return;
  }
  out << "offered: " << EscapeControlCharacters(list.offered) << "\n";
  for (const Compartment& compartment : list.compartments) {
    out << EscapeControlCharacters(compartment.name) << ": "
        << (compartment.data.empty() ? "(empty)" : EscapeControlCharacters(compartment.data))
        << "\n";
    for (const std::string& row : DrawnRows(compartment.data)) {
      out << "    | " << EscapeControlCharacters(row) << "\n";
    }
  }
}

nlohmann::ordered_json ToJson(const CompartmentList& list) {
  nlohmann::ordered_json compartments = nlohmann::ordered_json::array();
  for (const Compartment& compartment : list.compartments) {
    compartments.push_back({{"name", compartment.name}, {"data", compartment.data}});
  }
  return {
      {"element", list.element_guid}, {"offered", list.offered}, {"compartments", compartments}};
}

int ShowCompartments(const GlobalOptions& globals, const CompartmentsOptions& options) {
  session::HostSession session(SessionOptionsFor(globals));
  StartSession(session, options.model, store::ModelRepository::Access::kReadOnly);
  const CompartmentList list =
      ReadCompartments(session, FindElement(*session.Repository(), options.element));
  WriteDocument(options.output, [&](std::ostream& out) {
    if (options.format == "json") {
      out << JsonText(ToJson(list)) << "\n";
    } else {
      WriteText(list, out);
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
