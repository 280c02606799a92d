#include "compartments/compartments.h"

namespace compartments {

std::string CompartmentData(host::Repository&, const std::string&, const std::string&) { return ""; }

}  // namespace compartments
