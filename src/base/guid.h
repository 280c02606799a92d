// GUIDs as the host writes them: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}",
// upper case.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace base {

std::string NewGuid();

// A name-based (SHA-1, version 5) GUID of `name` in the namespace
// `namespace_id`: the same name always gives the same GUID, so that a model
// imported twice from the same document has the same GUIDs.
using GuidNamespace = std::array<unsigned char, 16>;
std::string NameBasedGuid(const GuidNamespace& namespace_id, std::string_view name);

}  // namespace base
