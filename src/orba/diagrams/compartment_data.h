// Reading the compartment data string an add-in answers for one compartment
// of an element's shape:
//
//   Name=NAME;OwnerGUID=GUID;Options=KEY&_eq_^VALUE&_sc_^...CompartmentData=ROWS;
//
// ROWS is a run of rows, each closed by "&_sc_^," and each a run of
// "KEY&_eq_^VALUE&_sc_^" pairs ("Data" the row's text, "GUID" the item it
// shows). Values may hold the escapes "&_eq_^", "&_sc_^" and "&_c_^" for
// "=", ";" and ","; names of items are written as they stand, so a row's
// text runs to the "&_sc_^GUID&_eq_^" that follows it, whatever it holds.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace orba::diagrams {

struct CompartmentRow {
  std::string text;  // unescaped
  std::string guid;  // the item the row shows; empty for a row of properties
};

struct CompartmentData {
  std::string name;
  std::string owner_guid;
  bool skip_if_on_diagram = false;  // rows whose item is on the diagram are left out
  std::vector<CompartmentRow> rows;
};

class CompartmentDataError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "&_eq_^", "&_sc_^" and "&_c_^" back to "=", ";" and ",".
std::string UnescapeCompartmentText(std::string text);

// nullopt for the empty string (the compartment has nothing to show);
// throws CompartmentDataError naming what is wrong with any other text that
// does not have the form above.
std::optional<CompartmentData> ParseCompartmentData(const std::string& data);

}  // namespace orba::diagrams
