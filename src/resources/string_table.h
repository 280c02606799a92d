// The string table: every user-visible text of the add-in, by number.
#pragma once

#include <string>

namespace resources {

// The text of string `id`. Throws ResourceError for an id the table does not hold.
const std::string& LoadResString(int id);

// The ids that code refers to by name.
namespace str {
inline constexpr int kMenuHeading = 101;
inline constexpr int kUnloadTechnology = 102;
inline constexpr int kLoadTechnology = 103;
inline constexpr int kUnableToLoad = 104;
inline constexpr int kUnableToUnload = 105;
inline constexpr int kNoModelOpen = 106;
inline constexpr int kHelp = 107;
inline constexpr int kHostTooOld = 110;
inline constexpr int kNewBlockDefinitionDiagram = 111;
inline constexpr int kNewInternalBlockDiagram = 112;
inline constexpr int kNoPackageSelected = 113;
inline constexpr int kRootModelSelected = 114;
inline constexpr int kNewParametricDiagram = 116;
inline constexpr int kNewRequirementsDiagram = 117;
inline constexpr int kAbout = 119;
inline constexpr int kViewAllocations = 122;
inline constexpr int kOpenExampleModel = 123;
inline constexpr int kTitle = 127;
inline constexpr int kRuleCategory = 128;
inline constexpr int kOptions = 178;
inline constexpr int kViewRequirements = 179;
}  // namespace str

}  // namespace resources
