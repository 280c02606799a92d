#include "automation/variant.h"
#include "compartments/compartments.h"

namespace compartments {
namespace {

struct Switch {
  const char* key;
  const char* compartment;
};

// Table order is the order of the names in the answer.
constexpr Switch kSwitches[] = {
    {"Parts", "parts"},
    {"FlowPorts", "flow ports"},
    {"Parameters", "parameters"},
    {"AllocatedTo", "allocatedTo"},
    {"AllocatedFrom", "allocatedFrom"},
    {"ShowCompartmentRequirements", "requirements"},
};

}  // namespace

std::string AvailableCompartments(platform::SettingsStore& settings) {
  std::string names;
  for (const Switch& entry : kSwitches) {
    const std::string stored = settings.GetSetting("SysML", "Options", entry.key, "0");
    // On only when the stored number is exactly 1 (converted as a 16-bit whole number).
    const int16_t value = automation::ConvertFrom(std::string("SysML option ") + entry.key, [&] {
      return automation::Variant(stored).ToInt16();
    });
    if (value == 1) names += std::string(entry.compartment) + ",";
  }
  if (!names.empty()) names.pop_back();
  return names;
}

}  // namespace compartments
