// The compartments the add-in offers for one element's shape, read as the
// host reads them while drawing it: Orba_QueryAvailableCompartments, then
// Orba_GetCompartmentData for each offered name, one call at a time.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "orba/diagrams/scene.h"
#include "orba/session/host_session.h"

namespace orba::session {

struct OfferedCompartment {
  std::string name;
  std::string data;  // the compartment data string, as answered
};

struct OfferedCompartments {
  std::string offered;  // the add-in's answer to the query: "parts,flow ports"
  std::vector<OfferedCompartment> compartments;
};

// Throws SessionError when a call fails (the session has reported why).
OfferedCompartments ReadOfferedCompartments(HostSession& session, const std::string& element_guid);

// The compartments of `element_guid` the host draws: each offered one whose
// data has rows; one whose data cannot be read is left out and named on
// `diagnostics`.
std::vector<diagrams::CompartmentData> DrawnCompartments(HostSession& session,
                                                         const std::string& element_guid,
                                                         std::ostream& diagnostics);

}  // namespace orba::session
