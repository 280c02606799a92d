// Every host call an add-in operation makes, failing in turn: the operation
// ends with the host's error (passed back as its error result) where nothing
// traps it, answers its empty value where the operation traps errors, and
// never crashes.
#include "addin/addin_fixture.h"
#include "orba/store/host_services_objects.h"
#include "platform/ansi_text.h"
#include "resources/resource_table.h"

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
struct FreshAddin : AddinTest {
  FreshAddin() : AddinTest(kModel) {
    model_.Repository()->InstallTechnology(
        platform::AnsiToText(resources::LoadResData("TECHFILE", 101)));
    model_.SelectPackage("p");
    Connect();
  }
  void TestBody() override {}
  using AddinTest::Plan;
  // Calls the operation by name with the host, as the host does; an argument
  // "guid:KEY" is the element's GUID, "new:KEY" the new-element event of it.
  automation::CallResult Call(const std::string& operation, std::vector<Variant> arguments) {
    for (Variant& argument : arguments) {
      const std::string text = argument.type() == Variant::Type::kString ? argument.String() : "";
      if (text.starts_with("guid:")) argument = model_.ElementGuid(text.substr(5));
      if (text.starts_with("new:")) {
        argument = host_->Wrap(std::make_shared<orba::store::EventArgumentList>(
            std::vector<Variant>{model_.ElementId(text.substr(4))}));
      }
    }
    arguments.insert(arguments.begin(), Variant(host_));
    return automation::Call(addin_, operation, arguments);
  }
};

// An operation, and whether it traps a failing host call into its empty text
// rather than failing with the host's error.
struct FailureCase {
  const char* name;
  bool traps;
  const char* operation;
  std::vector<Variant> arguments;
  friend void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }
};

// clang-format off
const FailureCase kCases[] = {
    {"Menu", false, "Orba_GetMenuItems", {"", kHeading}},
    {"FileOpen", false, "Orba_FileOpen", {}},
    {"Search", false, "AllocationSearch", {"", ""}},
    {"NewViewpoint", false, "Orba_OnPostNewElement", {"new:vp"}},
    {"Load", false, "DoLoad", {}},
    {"ShowPerspective", false, "ShowPerspective", {}},
    {"NewDiagramFromTheMenu", false, "Orba_MenuClick", {"", kHeading, "New &Block Definition Diagram"}},
    {"PartsCompartment", true, "Orba_GetCompartmentData", {"parts", "guid:car", int32_t{4}}},
    {"RequirementsCompartment", true, "Orba_GetCompartmentData", {"requirements", "guid:req", int32_t{4}}},
};
// clang-format on

class HostFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(HostFailureTest, EachHostCallFailingInTurn) {
  FreshAddin clean;
  const automation::CallResult result = clean.Call(GetParam().operation, GetParam().arguments);
  ASSERT_TRUE(result.ok) << result.error;
  const size_t calls = clean.Plan().Calls().size();
  ASSERT_GT(calls, 0u);
  for (size_t n = 1; n <= calls; ++n) {
    FreshAddin run;
    run.Plan().FailAtCall(static_cast<int>(n));
    const automation::CallResult result = run.Call(GetParam().operation, GetParam().arguments);
    const std::string failed = run.Plan().Calls().at(n - 1);
    if (GetParam().traps) {
      ASSERT_TRUE(result.ok) << "call " << n << " (" << failed << "): " << result.error;
      EXPECT_EQ(result.value, Variant(std::string())) << "call " << n << " (" << failed << ")";
    } else {
      EXPECT_FALSE(result.ok) << "call " << n << " (" << failed << ") did not end the operation";
      EXPECT_THAT(result.error, testing::HasSubstr("injected failure of " + failed));
    }
    EXPECT_EQ(run.Plan().Calls().size(), n) << "the operation went on after " << failed;
  }
}

INSTANTIATE_TEST_SUITE_P(Operations, HostFailureTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace addin
