#include "orba/searches/requirements_search.h"

#include <algorithm>
#include <array>

namespace orba::searches {
namespace {

constexpr std::array<std::string_view, 7> kRequirementKinds = {
    "Requirement",           "DesignRequirement",    "ExtendedRequirement",
    "FunctionalRequirement", "InterfaceRequirement", "PerformanceRequirement",
    "PhysicalRequirement"};

// The value of the element's first tagged value named `name`; "" when none.
std::string TaggedValue(host::Element& element, const std::string& name) {
  for (const host::TaggedValuePtr& tag : element.TaggedValues()->Items()) {
    if (tag->Name() == name) return tag->Value();
  }
  return "";
}

SearchRow RequirementRow(host::Element& element) {
  return {{"CLASSGUID", element.ElementGUID()},
          {"CLASSTYPE", element.Type()},
          {"Name", element.Name()},
          {"Metatype", element.Metatype()},
          {"Id", TaggedValue(element, "Id")},
          {"Notes", element.Notes()}};
}

}  // namespace

bool IsRequirementKind(std::string_view metatype) {
  return std::ranges::find(kRequirementKinds, metatype) != kRequirementKinds.end();
}

SearchTable FindRequirements(store::ModelRepository& repository) {
  SearchTable table{{"CLASSGUID", "CLASSTYPE", "Name", "Metatype", "Id", "Notes"}, {}};
  for (int32_t id : repository.ElementIds()) {
    const host::ElementPtr element = repository.GetElementByID(id);
    if (element && IsRequirementKind(element->Metatype())) {
      table.rows.push_back(RequirementRow(*element));
    }
  }
  return table;
}

}  // namespace orba::searches
