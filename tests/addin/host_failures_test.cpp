// Every host call an add-in operation makes, failing in turn: the operation
// ends with the host's error (passed back as its error result) where nothing
// traps it, answers its empty value where the operation traps errors, and
// never crashes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "addin/tessary.h"
#include "orba/store/host_services_objects.h"
#include "platform/ansi_text.h"
#include "resources/resource_table.h"
#include "support/scripted_host.h"
#include "support/test_model.h"
#include "support/test_platform.h"

namespace addin {
namespace {

using automation::Variant;

constexpr char kHeading[] = "-&SysML Technology";

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

// A fresh model and add-in for every run, so that one run's changes do not
// meet the next: the technology is loaded, a package selected, the add-in connected.
struct FreshAddin {
  FreshAddin() {
    model.Repository()->InstallTechnology(
        platform::AnsiToText(resources::LoadResData("TECHFILE", 101)));
    model.SelectPackage("p");
    addin.Orba_Connect(host);
    host->Plan().ClearCalls();
  }
  // Calls the operation by name with the host, as the host does.
  automation::CallResult Call(const char* operation, std::vector<Variant> arguments) {
    arguments.insert(arguments.begin(), Variant(host));
    return automation::Call(addin, operation, arguments);
  }

  testing_support::TestModel model{kModel};
  std::shared_ptr<testing_support::ScriptedHost> host =
      std::make_shared<testing_support::ScriptedHost>(model.Repository());
  testing_support::TestPlatform platform;
  CTessary addin{platform.platform};
};

// An operation, and whether it traps a failing host call into its empty text
// rather than failing with the host's error.
struct FailureCase {
  const char* name;
  bool traps;
  std::function<automation::CallResult(FreshAddin&)> operation;
  friend void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }
};

// clang-format off
const FailureCase kCases[] = {
    {"Menu", false, [](FreshAddin& r) { return r.Call("Orba_GetMenuItems", {"", kHeading}); }},
    {"FileOpen", false, [](FreshAddin& r) { return r.Call("Orba_FileOpen", {}); }},
    {"Search", false, [](FreshAddin& r) { return r.Call("AllocationSearch", {"", ""}); }},
    {"NewViewpoint", false, [](FreshAddin& r) {
       auto arguments = std::make_shared<orba::store::EventArgumentList>(
           std::vector<Variant>{r.model.ElementId("vp")});
       return r.Call("Orba_OnPostNewElement", {r.host->Wrap(arguments)});
     }},
    {"Load", false, [](FreshAddin& r) { return r.Call("DoLoad", {}); }},
    {"ShowPerspective", false, [](FreshAddin& r) { return r.Call("ShowPerspective", {}); }},
    {"NewDiagramFromTheMenu", false, [](FreshAddin& r) {
       return r.Call("Orba_MenuClick", {"", kHeading, "New &Block Definition Diagram"});
     }},
    {"PartsCompartment", true, [](FreshAddin& r) {
       return r.Call("Orba_GetCompartmentData", {"parts", r.model.ElementGuid("car"), 4});
     }},
    {"RequirementsCompartment", true, [](FreshAddin& r) {
       return r.Call("Orba_GetCompartmentData", {"requirements", r.model.ElementGuid("req"), 4});
     }},
};
// clang-format on

class HostFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(HostFailureTest, EachHostCallFailingInTurn) {
  FreshAddin clean;
  const automation::CallResult result = GetParam().operation(clean);
  ASSERT_TRUE(result.ok) << result.error;
  const size_t calls = clean.host->Plan().Calls().size();
  ASSERT_GT(calls, 0u);
  for (size_t n = 1; n <= calls; ++n) {
    FreshAddin run;
    run.host->Plan().FailAtCall(static_cast<int>(n));
    const automation::CallResult result = GetParam().operation(run);
    const std::string failed = run.host->Plan().Calls().at(n - 1);
    if (GetParam().traps) {
      ASSERT_TRUE(result.ok) << "call " << n << " (" << failed << "): " << result.error;
      EXPECT_EQ(result.value, Variant(std::string())) << "call " << n << " (" << failed << ")";
    } else {
      EXPECT_FALSE(result.ok) << "call " << n << " (" << failed << ") did not end the operation";
      EXPECT_THAT(result.error, testing::HasSubstr("injected failure of " + failed));
    }
    EXPECT_EQ(run.host->Plan().Calls().size(), n) << "the operation went on after " << failed;
  }
}

INSTANTIATE_TEST_SUITE_P(Operations, HostFailureTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace addin
