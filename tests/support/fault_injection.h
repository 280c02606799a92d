// The former name of ScriptedHost, for the suites that still use it. A class
// rather than an alias, so that a subclass can still name its base by it.
#pragma once

#include "support/scripted_host.h"

namespace testing_support {

class FaultInjectingRepository : public ScriptedHost {
 public:
  using ScriptedHost::ScriptedHost;
};

}  // namespace testing_support
