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

  // The host calls so far, the repository's without "Repository." and every
  // document (an argument of several lines) shown as "<document>":
  // "SetTechnologyVisibility(SysML, , True)", "InstallTechnology(<document>)".
  std::vector<std::string> Calls() const {
    std::vector<std::string> calls;
    for (size_t i = 0; i < host_->Plan().Calls().size(); ++i) {
      std::string call = host_->Plan().Calls()[i];
      if (call.starts_with("Repository.")) call.erase(0, std::string_view("Repository.").size());
      call += "(";
      for (const std::string& argument : host_->Plan().Arguments()[i]) {
        call += (call.ends_with("(") ? "" : ", ") +
                (argument.find('\n') == std::string::npos ? argument : "<document>");
      }
      calls.push_back(call + ")");
    }
    return calls;
  }

  // The texts of the message boxes shown so far, each checked to be a warning of the add-in.
  std::vector<std::string> Warnings() const {
    std::vector<std::string> texts;
    for (const platform::RecordedMessageBox& box : platform_.ui->MessageBoxes()) {
      EXPECT_EQ(box.title, "Quindle Technology for SysML") << box.text;
      EXPECT_EQ(box.icon, platform::MessageIcon::kExclamation) << box.text;
      texts.push_back(box.text);
    }
    return texts;
  }

  testing_support::TestModel model_;
  testing_support::TestPlatform platform_;
  CTessary addin_{platform_.platform};
  std::shared_ptr<testing_support::ScriptedHost> host_ =
      std::make_shared<testing_support::ScriptedHost>(model_.Repository());
};

}  // namespace addin
