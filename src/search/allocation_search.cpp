#include "search/allocation_search.h"

namespace search {

std::string AllocationSearchDocument(host::Repository&) { return ""; }

}  // namespace search
