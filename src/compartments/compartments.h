// The compartments the add-in contributes to element shapes.
#pragma once

#include <string>

#include "host/host.h"
#include "platform/settings_store.h"

namespace compartments {

// The comma-separated names of the compartments switched on in the stored
// settings (application "SysML", section "Options"), in table order. A stored
// switch that is not a number is an error (not trapped).
std::string AvailableCompartments(platform::SettingsStore& settings);

// The compartment data string for compartment sCompartment of the element
// sGUID, or "" when it has no rows. Traps every failure into "".
std::string CompartmentData(host::Repository& repository, const std::string& sCompartment,
                            const std::string& sGUID);

}  // namespace compartments
