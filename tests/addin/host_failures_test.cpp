// Every host call an add-in operation makes, failing in turn: the operation
// ends with the host's error (passed back as its error result) where nothing
// traps it, answers its empty value where the operation traps errors, and
// never crashes.
#include <gtest/gtest.h>

#include <functional>

#include "addin/tessary.h"
#include "orba/store/host_services_objects.h"
#include "orba/store/model_repository.h"
#include "platform/ansi_text.h"
#include "resources/resource_table.h"
#include "support/fault_injection.h"
#include "support/test_model.h"
#include "support/test_platform.h"

namespace addin {
namespace {

using automation::Variant;

constexpr char kModel[] = R"({
  "packages": [{"key": "root", "name": "Model"}, {"key": "p", "name": "Structure", "parent": "root"}],
  "elements": [
    {"key": "car", "package": "p", "type": "Class", "name": "Car", "metatype": "Block"},
    {"key": "wheel", "package": "p", "type": "Part", "name": "wheel", "parent": "car",
     "metatype": "BlockProperty"},
    {"key": "req", "package": "p", "type": "Requirement", "name": "Range", "metatype": "Requirement",
     "notes": "The car shall drive 500 km, loaded, on one tank.",
     "tags": [{"name": "Id", "value": "R1"}]},
    {"key": "drive", "package": "p", "type": "Activity", "name": "Drive"},
    {"key": "lane", "package": "p", "type": "ActivityPartition", "name": "Engine lane",
     "stereotype": "allocateActivityPartition", "classifier": "car"},
    {"key": "burn", "package": "p", "type": "Action", "name": "Burn", "parent": "lane",
     "stereotype": "act", "classifier": "drive"},
    {"key": "vp", "package": "p", "type": "Class", "name": "VP", "metatype": "Viewpoint"}],
  "connectors": [
    {"key": "a", "type": "Dependency", "stereotype": "allocate", "client": "drive", "supplier": "car"}]
})";

// What an operation does with a failing host call.
enum class Outcome { kFails, kTrapsIntoEmptyText };

struct FailureCase {
  const char* name;
  Outcome outcome;
  // Runs the operation by name on the add-in with the (decorated) repository.
  std::function<automation::CallResult(
      CTessary&, const std::shared_ptr<testing_support::FaultInjectingRepository>&,
      testing_support::TestModel&)>
      run;
};

automation::CallResult CallByName(CTessary& addin, const char* name, std::vector<Variant> args) {
  return automation::Call(addin, name, args);
}

std::vector<FailureCase> Cases() {
  using testing_support::FaultInjectingRepository;
  using testing_support::TestModel;
  return {
      {"Menu", Outcome::kFails,
       [](CTessary& a, const std::shared_ptr<FaultInjectingRepository>& r, TestModel&) {
         return CallByName(a, "Orba_GetMenuItems",
                           {Variant(r), Variant(""), Variant("-&SysML Technology")});
       }},
      {"FileOpen", Outcome::kFails,
       [](CTessary& a, const std::shared_ptr<FaultInjectingRepository>& r, TestModel&) {
         return CallByName(a, "Orba_FileOpen", {Variant(r)});
       }},
      {"Search", Outcome::kFails,
       [](CTessary& a, const std::shared_ptr<FaultInjectingRepository>& r, TestModel&) {
         return CallByName(a, "AllocationSearch",
                           {Variant(r), Variant(""), Variant("")});
       }},
      {"NewViewpoint", Outcome::kFails,
       [](CTessary& a, const std::shared_ptr<FaultInjectingRepository>& r, TestModel& m) {
         auto args = std::make_shared<orba::store::EventArgumentList>(
             std::vector<Variant>{Variant(m.ElementId("vp"))});
         return CallByName(a, "Orba_OnPostNewElement", {Variant(r), Variant(r->Wrap(args))});
       }},
      {"Load", Outcome::kFails,
       [](CTessary& a, const std::shared_ptr<FaultInjectingRepository>& r, TestModel&) {
         return CallByName(a, "DoLoad", {Variant(r)});
       }},
      {"ShowPerspective", Outcome::kFails,
       [](CTessary& a, const std::shared_ptr<FaultInjectingRepository>& r, TestModel&) {
         return CallByName(a, "ShowPerspective", {Variant(r)});
       }},
      {"NewDiagramFromTheMenu", Outcome::kFails,
       [](CTessary& a, const std::shared_ptr<FaultInjectingRepository>& r, TestModel& m) {
         std::dynamic_pointer_cast<orba::store::ModelRepository>(m.Repository())
             ->SelectPackage(m.PackageId("p"));
         return CallByName(a, "Orba_MenuClick",
                           {Variant(r), Variant("Extensions"), Variant("-&SysML Technology"),
                            Variant("New &Block Definition Diagram")});
       }},
      {"PartsCompartment", Outcome::kTrapsIntoEmptyText,
       [](CTessary& a, const std::shared_ptr<FaultInjectingRepository>& r, TestModel& m) {
         return CallByName(a, "Orba_GetCompartmentData",
                           {Variant(r), Variant("parts"),
                            Variant(m.ElementGuid("car")), Variant(int32_t{4})});
       }},
      {"RequirementsCompartment", Outcome::kTrapsIntoEmptyText,
       [](CTessary& a, const std::shared_ptr<FaultInjectingRepository>& r, TestModel& m) {
         return CallByName(a, "Orba_GetCompartmentData",
                           {Variant(r), Variant("requirements"),
                            Variant(m.ElementGuid("req")), Variant(int32_t{4})});
       }},
  };
}

class HostFailureTest : public testing::TestWithParam<FailureCase> {
 protected:
  // A fresh model and add-in for every run, so that one run's changes do not
  // meet the next.
  struct Run {
    testing_support::TestModel model{kModel};
    std::shared_ptr<testing_support::FaultInjectingRepository> repository =
        std::make_shared<testing_support::FaultInjectingRepository>(model.Repository());
    testing_support::TestPlatform platform;
    CTessary addin{platform.platform};

    Run() {
      model.Repository()->InstallTechnology(
          platform::AnsiToText(resources::LoadResData("TECHFILE", 101)));
      addin.Orba_Connect(model.Repository());
      repository->Plan().ClearCalls();
    }
  };
};

TEST_P(HostFailureTest, EachHostCallFailingInTurn) {
  const FailureCase& c = GetParam();
  size_t calls = 0;
  {
    Run clean;
    const automation::CallResult result = c.run(clean.addin, clean.repository, clean.model);
    ASSERT_TRUE(result.ok) << result.error;
    calls = clean.repository->Plan().Calls().size();
  }
  ASSERT_GT(calls, 0u);
  for (size_t n = 1; n <= calls; ++n) {
    Run run;
    run.repository->Plan().FailAtCall(static_cast<int>(n));
    const automation::CallResult result = c.run(run.addin, run.repository, run.model);
    const std::string failed_call = run.repository->Plan().Calls().at(n - 1);
    if (c.outcome == Outcome::kFails) {
      EXPECT_FALSE(result.ok) << "call " << n << " (" << failed_call
                              << ") did not end the operation";
      EXPECT_NE(result.error.find("injected failure of " + failed_call), std::string::npos)
          << result.error;
    } else {
      ASSERT_TRUE(result.ok) << "call " << n << " (" << failed_call << "): " << result.error;
      EXPECT_EQ(result.value, Variant(std::string())) << "call " << n << " (" << failed_call << ")";
    }
    EXPECT_EQ(run.repository->Plan().Calls().size(), n)
        << "the operation went on after " << failed_call;
  }
}

INSTANTIATE_TEST_SUITE_P(Operations, HostFailureTest, testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace addin
