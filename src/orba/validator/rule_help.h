// Help for the findings of the SysML add-in's rules, as code-scanning
// services show it beside an alert: what the SysML constraint behind a
// message means, and how to change the model so that it holds. Keyed by the
// message as the add-in reports it.
#pragma once

#include <string>

namespace orba::validator {

// The help for `message`; "" when the message is not one of the SysML rules'.
std::string RuleHelp(const std::string& message);

}  // namespace orba::validator
