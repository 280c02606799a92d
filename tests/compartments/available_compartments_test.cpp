#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "automation/errors.h"
#include "compartments/compartments.h"
#include "support/temp_folder.h"
#include "support/test_platform.h"

namespace compartments {
namespace {

struct SwitchCase {
  const char* name;
  const char* stored;
  const char* offered;
  friend void PrintTo(const SwitchCase& c, std::ostream* out) { *out << c.name; }
};

const SwitchCase kSwitches[] = {
    {"NothingStored", "", ""},
    {"AllOff", "Parts=0;FlowPorts=0;ShowCompartmentRequirements=0", ""},
    {"AllOnInTableOrder",
     "ShowCompartmentRequirements=1;AllocatedFrom=1;AllocatedTo=1;Parameters=1;FlowPorts=1;Parts=1",
     "parts,flow ports,parameters,allocatedTo,allocatedFrom,requirements"},
    {"OnlyRequirements", "ShowCompartmentRequirements=1", "requirements"},
    {"OnlyAllocations", "AllocatedFrom=1;AllocatedTo=1", "allocatedTo,allocatedFrom"},
    {"OnlyOneCounts", "Parts=2;FlowPorts=-1;Parameters=1", "parameters"},
    {"NumbersAreConvertedToWholeNumbers", "Parts= 1;FlowPorts=1.0;Parameters=1.5;AllocatedTo=0.5",
     "parts,flow ports"},
    {"OtherKeysAreNotRead", "Part=1;Requirements=1", ""},
};

class AvailableCompartmentsTest : public testing::TestWithParam<SwitchCase> {};

TEST_P(AvailableCompartmentsTest, OffersTheCompartmentsSwitchedOn) {
  testing_support::MemorySettingsStore settings;
  settings.SetOptions(GetParam().stored);
  EXPECT_EQ(AvailableCompartments(settings), GetParam().offered);
}

INSTANTIATE_TEST_SUITE_P(Cases, AvailableCompartmentsTest, testing::ValuesIn(kSwitches),
                         [](const auto& info) { return std::string(info.param.name); });

// The error keeps the runtime's kind and names the option.
template <class ConversionError>
void ExpectFailureNaming(const std::string& key, const std::string& stored) {
  testing_support::MemorySettingsStore settings;
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
