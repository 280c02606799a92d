// The "SysML Allocations" custom search: every allocate dependency and every
// element of an allocating activity partition, as a ReportViewData document.
#pragma once

#include <string>

#include "host/host.h"

namespace search {

std::string AllocationSearchDocument(host::Repository& repository);

}  // namespace search
