#include "ui/options_dialog.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "automation/errors.h"
#include "support/test_platform.h"

namespace ui {
namespace {

// clang-format off
// The check boxes, in the order of the digits of OptionsCase::boxes.
const char* const kBoxes[] = {"chkParts", "chkFlowPorts", "chkParameters", "chkAllocatedTo",
                              "chkAllocatedFrom", "chkShowAlways", "chkOnlyWithPerspective", "chkRequirements"};
// The stored keys, in the order OK writes them and of the digits of OptionsCase::written.
const char* const kKeys[] = {"Parts", "FlowPorts", "Parameters", "AllocatedTo", "AllocatedFrom", "ShowAlways",
                             "ShowCompartmentRequirements"};

// The dialog loaded from `stored`, then the user's `steps`.
struct OptionsCase {
  const char* name;
  const char* stored;   // "Key=Value;..."
  const char* steps;    // the controls clicked in turn; "close" is the window's close box
  const char* boxes;    // the boxes' values afterwards, a digit per box of kBoxes
  const char* written;  // the values OK stored, a digit per key of kKeys; "" for no write
  bool closed;
  bool show_always_changed;
  friend void PrintTo(const OptionsCase& c, std::ostream* out) { *out << c.name; }
};

const OptionsCase kCases[] = {
    // Loading puts the stored numbers into the boxes; "Only with perspective" is the opposite of
    // "Show always", ticked when that is 0.
    {"ShowAlwaysGreyed", "ShowAlways=2", "", "00000200", "", false, false},
    {"EveryCompartment", "Parts=1;FlowPorts=1;Parameters=1;AllocatedTo=1;AllocatedFrom=1;ShowCompartmentRequirements=1", "", "11111011", "", false, false},
    {"GreyedValuesAsStored", "Parts=2;AllocatedTo=2;ShowCompartmentRequirements=2", "", "20020012", "", false, false},
    // The two toolbox boxes keep each other opposite.
    {"TickingOnlyWithPerspectiveUnticksTheOther", "ShowAlways=1", "chkOnlyWithPerspective", "00000010", "", false, false},
    {"UntickingShowAlwaysTicksTheOther", "ShowAlways=1", "chkShowAlways", "00000010", "", false, false},
    {"UntickingOnlyWithPerspectiveTicksTheOther", "", "chkOnlyWithPerspective", "00000100", "", false, false},
    {"AGreyedShowAlwaysUnticksOnClick", "ShowAlways=2", "chkShowAlways", "00000010", "", false, false},
    {"CompartmentBoxesToggle", "FlowPorts=1", "chkParts chkFlowPorts chkRequirements", "10000011", "", false, false},
    {"GreyedBoxesIgnoreClicks", "AllocatedTo=1", "chkAllocatedTo chkAllocatedFrom", "00010010", "", false, false},
    // OK stores all seven keys, greyed ones too; Cancel and the close box store nothing.
    {"OkUnchangedRewritesAllSevenKeys", "Parts=0;FlowPorts=0;Parameters=0;AllocatedTo=0;AllocatedFrom=0;ShowAlways=0", "cmdOK", "00000010", "0000000", true, false},
    {"OkKeepsTheStoredValues", "Parts=1;Parameters=2;ShowAlways=1;ShowCompartmentRequirements=1", "cmdOK", "10200101", "1020011", true, false},
    {"OkAfterSwitchingBackIsUnchanged", "ShowAlways=1", "chkOnlyWithPerspective chkShowAlways cmdOK", "00000100", "0000010", true, false},
    {"OkWritesGreyedBoxesBack", "AllocatedTo=1;AllocatedFrom=2", "cmdOK", "00012010", "0001200", true, false},
    {"CancelAfterChangesWritesNothing", "", "chkShowAlways chkParts cmdCancel", "10000100", "", true, false},
};
// clang-format on

class OptionsDialogTest : public testing::TestWithParam<OptionsCase> {};

TEST_P(OptionsDialogTest, LoadsReactsAndStoresOnlyOnOk) {
  const OptionsCase& c = GetParam();
  testing_support::MemorySettingsStore settings;
  settings.SetOptions(c.stored);
  OptionsDialog dialog(settings);
  dialog.Load();
  EXPECT_FALSE(dialog.Get("chkAllocatedTo").enabled);
  EXPECT_FALSE(dialog.Get("chkAllocatedFrom").enabled);
  EXPECT_TRUE(dialog.Get("chkParts").enabled);
  std::istringstream steps(c.steps);
  for (std::string step; steps >> step;) step == "close" ? dialog.CloseBox() : dialog.Click(step);
  std::string boxes;
  for (const char* box : kBoxes) boxes += std::to_string(dialog.Value(box));
  EXPECT_EQ(boxes, c.boxes);
  std::vector<std::string> written;
  for (size_t i = 0; c.written[i] != '\0'; ++i) {
    written.push_back(std::string(kKeys[i]) + "=" + c.written[i]);
  }
  EXPECT_EQ(settings.Writes(), written);
  EXPECT_EQ(dialog.Closed(), c.closed);
  EXPECT_EQ(dialog.IsShowAlwaysChanged(), c.show_always_changed);
}

INSTANTIATE_TEST_SUITE_P(Cases, OptionsDialogTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A stored value that is not 0, 1 or 2 fails the load; a failing write fails
// OK and leaves the dialog open.
TEST(OptionsDialogFailureTest, BadStoredValuesAndFailingWritesFail) {
  for (const char* stored : {"Parts=3", "ShowAlways=x", "FlowPorts=-1", "AllocatedFrom=70000",
                             "ShowCompartmentRequirements=x"}) {
    testing_support::MemorySettingsStore settings;
    settings.SetOptions(stored);
    EXPECT_THROW(OptionsDialog(settings).Load(), automation::Error) << stored;
  }
  testing_support::MemorySettingsStore settings;
  OptionsDialog dialog(settings);
  dialog.Load();
  settings.fail_writes = true;
  EXPECT_THROW(dialog.Click("cmdOK"), platform::SettingsError);
  EXPECT_FALSE(dialog.Closed());
}

}  // namespace
}  // namespace ui
