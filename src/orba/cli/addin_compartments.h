// The compartments the add-in offers for one element's shape, read as the
// host reads them while drawing it: Orba_QueryAvailableCompartments, then
// Orba_GetCompartmentData for each offered name, one call at a time.
#pragma once

#include <string>
#include <vector>

#include "orba/session/host_session.h"

namespace orba::cli {

struct OfferedCompartment {
  std::string name;
  std::string data;  // the compartment data string, as answered
};

struct OfferedCompartments {
  std::string offered;  // the add-in's answer to the query: "parts,flow ports"
  std::vector<OfferedCompartment> compartments;
};

// Throws CommandError when a call fails (the session has reported why).
OfferedCompartments ReadOfferedCompartments(session::HostSession& session,
                                            const std::string& element_guid);

}  // namespace orba::cli
