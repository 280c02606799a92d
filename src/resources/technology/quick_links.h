// The quick-link table of the first profile: the relationships, and new
// elements, that the host offers when the user draws from an element of a kind.
#pragma once

#include <string>
#include <vector>

namespace technology {

// The rule lines of the table, 23 comma-separated fields each, in table order.
std::vector<std::string> QuickLinkRuleLines();

// The table as the QuickLink `data` attribute holds it: the comment line and
// the rule lines, each ended by a line break, then one empty line.
std::string QuickLinkData();

}  // namespace technology
