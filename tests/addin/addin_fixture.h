// The add-in under test: a CTessary on test platform services, and the host
// it is handed: a ScriptedHost around a model of the reference host's own
// store (by default an empty one, open in memory, on a modern host).
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "addin/tessary.h"
#include "support/scripted_host.h"
#include "support/test_model.h"
#include "support/test_platform.h"

namespace addin {

class AddinTest : public testing::Test {
 protected:
  explicit AddinTest(std::string_view model = testing_support::kEmptyModel) : model_(model) {}

  // Connects the add-in, as the host does on start, and forgets the calls so far.
  void Connect() {
    addin_.Orba_Connect(host_);
    Plan().ClearCalls();
  }
  testing_support::FaultPlan& Plan() { return host_->Plan(); }

  testing_support::TestModel model_;
  testing_support::TestPlatform platform_;
  CTessary addin_{platform_.platform};
  std::shared_ptr<testing_support::ScriptedHost> host_ =
      std::make_shared<testing_support::ScriptedHost>(model_.Repository());
};

}  // namespace addin
