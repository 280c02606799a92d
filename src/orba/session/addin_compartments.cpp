#include "orba/session/addin_compartments.h"

#include <algorithm>
#include <ostream>

#include "orba/store/model_session.h"

namespace orba::session {
namespace {

constexpr char kCompartmentAddin[] = "SysML";
constexpr int32_t kElementObjectType = 4;  // the host's object type of an element

std::string CallForText(HostSession& session, const std::string& operation,
                        std::vector<automation::Variant>&& args) {
  const automation::CallResult result =
      session.CallAddin(kCompartmentAddin, operation, std::move(args));
  if (!result.ok) throw SessionError("the compartments could not be read");
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

}  // namespace

// The add-in asks for the element's document once per compartment, which
// the read cache answers after the first.
OfferedCompartments ReadOfferedCompartments(HostSession& session, const std::string& element_guid) {
  const auto& repository = session.Repository();
  const store::ReadCacheScope drawing(repository->Session());
  OfferedCompartments list{CallForText(session, "Orba_QueryAvailableCompartments", {repository}),
                           {}};
  for (const std::string& name : OfferedNames(list.offered)) {
    list.compartments.push_back(
        {name, CallForText(session, "Orba_GetCompartmentData",
                           {repository, name, element_guid, kElementObjectType})});
  }
  return list;
}

std::vector<diagrams::CompartmentData> DrawnCompartments(HostSession& session,
                                                         const std::string& element_guid,
                                                         std::ostream& diagnostics) {
  std::vector<diagrams::CompartmentData> compartments;
  for (const OfferedCompartment& offered :
       ReadOfferedCompartments(session, element_guid).compartments) {
    try {
      if (auto data = diagrams::ParseCompartmentData(offered.data))
        compartments.push_back(std::move(*data));
    } catch (const diagrams::CompartmentDataError& error) {
      diagnostics << "orba: compartment \"" << offered.name << "\" of " << element_guid
                  << " left out: " << error.what() << "\n";
    }
  }
  return compartments;
}

}  // namespace orba::session
