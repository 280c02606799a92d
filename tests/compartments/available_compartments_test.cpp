#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "automation/errors.h"
#include "compartments/compartments.h"
#include "support/temp_folder.h"
#include "support/test_platform.h"

namespace compartments {
namespace {

using testing_support::MemorySettingsStore;

struct SwitchCase {
  std::string description;
  std::map<std::string, std::string> stored;
  std::string offered;
  friend void PrintTo(const SwitchCase& c, std::ostream* os) { *os << c.description; }
};

class AvailableCompartmentsTest : public testing::TestWithParam<SwitchCase> {};

TEST_P(AvailableCompartmentsTest, OffersTheCompartmentsSwitchedOnInTableOrder) {
  MemorySettingsStore settings;
  for (const auto& [key, value] : GetParam().stored) settings.SetOption(key, value);
  EXPECT_EQ(AvailableCompartments(settings), GetParam().offered);
}

const std::map<std::string, std::string> kAllOn = {{"ShowCompartmentRequirements", "1"},
                                                   {"AllocatedFrom", "1"},
                                                   {"AllocatedTo", "1"},
                                                   {"Parameters", "1"},
                                                   {"FlowPorts", "1"},
                                                   {"Parts", "1"}};

INSTANTIATE_TEST_SUITE_P(
    Cases, AvailableCompartmentsTest,
    testing::Values(
        SwitchCase{"NothingStored", {}, ""},
        SwitchCase{"AllOff",
                   {{"Parts", "0"}, {"FlowPorts", "0"}, {"ShowCompartmentRequirements", "0"}},
                   ""},
        SwitchCase{"AllOn", kAllOn,
                   "parts,flow ports,parameters,allocatedTo,allocatedFrom,requirements"},
        SwitchCase{"OnlyRequirements", {{"ShowCompartmentRequirements", "1"}}, "requirements"},
        SwitchCase{"OnlyAllocations",
                   {{"AllocatedFrom", "1"}, {"AllocatedTo", "1"}},
                   "allocatedTo,allocatedFrom"},
        SwitchCase{"OnlyOneCounts",
                   {{"Parts", "2"}, {"FlowPorts", "-1"}, {"Parameters", "1"}},
                   "parameters"},
        SwitchCase{
            "NumbersAreConvertedToWholeNumbers",
            {{"Parts", " 1"}, {"FlowPorts", "1.0"}, {"Parameters", "1.5"}, {"AllocatedTo", "0.5"}},
            "parts,flow ports"},
        SwitchCase{"OtherKeysAreNotRead", {{"Part", "1"}, {"Requirements", "1"}}, ""}),
    [](const testing::TestParamInfo<SwitchCase>& info) { return info.param.description; });

// The error keeps the runtime's kind and names the option.
template <class ConversionError>
void ExpectFailureNaming(const std::string& key, const std::string& stored) {
  MemorySettingsStore settings;
  settings.SetOption(key, stored);
  try {
    AvailableCompartments(settings);
    ADD_FAILURE() << key << "=" << stored << " was accepted";
  } catch (const ConversionError& error) {
    EXPECT_THAT(error.what(), testing::StartsWith("SysML option " + key + ": "));
  }
}

TEST(AvailableCompartmentsFailureTest, ASwitchThatIsNotASixteenBitNumberFailsNamingIt) {
  ExpectFailureNaming<automation::TypeMismatch>("FlowPorts", "yes");
  ExpectFailureNaming<automation::Overflow>("Parts", "40000");
}

TEST(AvailableCompartmentsStoreTest, ReadsTheOptionsSectionOfTheUsersSysMLSettings) {
  const testing_support::TempFolder folder;
  std::ofstream(folder.path() / "SysML.ini")
      << "[Other]\nParts=1\n[Options]\nShowCompartmentRequirements=1\nFlowPorts=1\n";
  platform::IniSettingsStore settings(folder.path());
  EXPECT_EQ(AvailableCompartments(settings), "flow ports,requirements");
}

}  // namespace
}  // namespace compartments
