#include "orba/cli/addin_compartments.h"

#include <algorithm>

#include "orba/cli/command.h"
#include "orba/store/model_session.h"

namespace orba::cli {
namespace {

constexpr char kCompartmentAddin[] = "SysML";
constexpr int32_t kElementObjectType = 4;  // the host's object type of an element

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

}  // namespace

// The add-in asks for the element's document once per compartment, which
// the read cache answers after the first.
OfferedCompartments ReadOfferedCompartments(session::HostSession& session,
                                            const std::string& element_guid) {
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

}  // namespace orba::cli
