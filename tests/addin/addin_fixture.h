// The add-in under test: a CTessary on test platform services, and the host
// it is handed: a ScriptedHost around a model of the reference host's own
// store (by default an empty one, open in memory, on a modern host).
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "addin/tessary.h"
#include "support/scripted_host.h"
#include "support/test_model.h"
#include "support/test_platform.h"

namespace addin {

// One conversation of the add-in with its host: how the host answers, what
// the user stored, the operation called by name, and what comes of it.
struct Scenario {
  const char* name = "";
  bool connected = true;  // false: the add-in is still disabled
  std::vector<std::pair<std::string, std::string>> answers = {};  // Repository member, answer
  const char* stored = "";                                        // "Key=Value;..."
  const char* operation = "";
  std::vector<automation::Variant> arguments = {};  // after the Repository
  std::vector<std::string> calls = {};              // as Calls() shows them
  std::vector<std::string> warnings = {};
  automation::Variant result = {};
  bool fails = false;
  friend void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }
};

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

  // Calls an operation by name with the host and `arguments`, as the host does.
  automation::CallResult CallByName(const std::string& operation,
                                    std::vector<automation::Variant> arguments = {}) {
    arguments.insert(arguments.begin(), automation::Variant(host_));
    return automation::Call(addin_, operation, arguments);
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

  // Plays the scenario and checks what comes of it.
  void Play(const Scenario& scenario) {
    platform_.settings->SetOptions(scenario.stored);
    if (scenario.connected) Connect();
    for (const auto& [member, answer] : scenario.answers) {
      Plan().Answer("Repository." + member, answer);
    }
    const automation::CallResult result = CallByName(scenario.operation, scenario.arguments);
    EXPECT_EQ(result.ok, !scenario.fails) << result.error;
    if (result.ok) {
      EXPECT_EQ(result.value, scenario.result);
    }
    EXPECT_EQ(Calls(), scenario.calls);
    EXPECT_EQ(Warnings(), scenario.warnings);
    EXPECT_TRUE(platform_.ui->DialogsShown().empty());
    EXPECT_TRUE(platform_.settings->Writes().empty());
  }

  testing_support::TestModel model_;
  testing_support::TestPlatform platform_;
  CTessary addin_{platform_.platform};
  std::shared_ptr<testing_support::ScriptedHost> host_ =
      std::make_shared<testing_support::ScriptedHost>(model_.Repository());
};

class ScenarioTest : public AddinTest, public testing::WithParamInterface<Scenario> {};

inline std::string ScenarioName(const testing::TestParamInfo<Scenario>& info) {
  return info.param.name;
}

}  // namespace addin
