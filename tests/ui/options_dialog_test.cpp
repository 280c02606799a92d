#include "ui/options_dialog.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "automation/errors.h"
#include "support/test_platform.h"

namespace ui {
namespace {

using Stored = std::map<std::string, std::string>;

// The check boxes in the order of the value lists below.
const std::vector<std::string> kBoxes = {
    "chkParts",         "chkFlowPorts",  "chkParameters",          "chkAllocatedTo",
    "chkAllocatedFrom", "chkShowAlways", "chkOnlyWithPerspective", "chkRequirements"};

void Store(testing_support::MemorySettingsStore& settings, const Stored& stored) {
  for (const auto& [key, value] : stored) settings.SetOption(key, value);
}

std::vector<int> Values(const OptionsDialog& dialog) {
  std::vector<int> values;
  for (const std::string& box : kBoxes) values.push_back(dialog.Value(box));
  return values;
}

struct LoadCase {
  const char* name;
  Stored stored;
  std::vector<int> values;  // in the order of kBoxes
};

class OptionsLoadTest : public testing::TestWithParam<LoadCase> {};

TEST_P(OptionsLoadTest, PutsTheStoredNumbersIntoTheBoxes) {
  testing_support::MemorySettingsStore settings;
  Store(settings, GetParam().stored);
  OptionsDialog dialog(settings);
  dialog.Load();
  EXPECT_EQ(Values(dialog), GetParam().values);
  EXPECT_FALSE(dialog.Get("chkAllocatedTo").enabled);
  EXPECT_FALSE(dialog.Get("chkAllocatedFrom").enabled);
  EXPECT_TRUE(dialog.Get("chkParts").enabled);
  EXPECT_TRUE(settings.Writes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Stored, OptionsLoadTest,
    testing::Values(
        LoadCase{"FirstUse", {}, {0, 0, 0, 0, 0, 0, 1, 0}},
        LoadCase{"AllZero",
                 {{"Parts", "0"},
                  {"FlowPorts", "0"},
                  {"Parameters", "0"},
                  {"AllocatedTo", "0"},
                  {"AllocatedFrom", "0"},
                  {"ShowAlways", "0"},
                  {"ShowCompartmentRequirements", "0"}},
                 {0, 0, 0, 0, 0, 0, 1, 0}},
        LoadCase{"ShowAlwaysOne", {{"ShowAlways", "1"}}, {0, 0, 0, 0, 0, 1, 0, 0}},
        LoadCase{"ShowAlwaysGreyed", {{"ShowAlways", "2"}}, {0, 0, 0, 0, 0, 2, 0, 0}},
        LoadCase{"EveryCompartment",
                 {{"Parts", "1"}, {"FlowPorts", "1"}, {"Parameters", "1"}, {"AllocatedTo", "1"},
                  {"AllocatedFrom", "1"}, {"ShowCompartmentRequirements", "1"}},
                 {1, 1, 1, 1, 1, 0, 1, 1}},
        LoadCase{"GreyedValuesAsStored",
                 {{"Parts", "2"}, {"AllocatedTo", "2"}, {"ShowCompartmentRequirements", "2"}},
                 {2, 0, 0, 2, 0, 0, 1, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadValueCase {
  const char* name;
  const char* key;
  const char* value;
};

class OptionsBadValueTest : public testing::TestWithParam<BadValueCase> {};

TEST_P(OptionsBadValueTest, FailsTheLoad) {
  testing_support::MemorySettingsStore settings;
  settings.SetOption(GetParam().key, GetParam().value);
  OptionsDialog dialog(settings);
  EXPECT_THROW(dialog.Load(), automation::Error);
}

INSTANTIATE_TEST_SUITE_P(
    Stored, OptionsBadValueTest,
    testing::Values(BadValueCase{"Three", "Parts", "3"},
                    BadValueCase{"Letter", "ShowAlways", "x"},
                    BadValueCase{"Negative", "FlowPorts", "-1"},
                    BadValueCase{"TooBigForAWholeNumber", "AllocatedFrom", "70000"},
                    BadValueCase{"LastKeyToo", "ShowCompartmentRequirements", "x"}),
    [](const auto& info) { return std::string(info.param.name); });

// A step of the user: a control to click, or kCloseBox for the window's close box.
constexpr char kCloseBox[] = "close box";

void Perform(OptionsDialog& dialog, const std::vector<std::string>& steps) {
  for (const std::string& step : steps) {
    if (step == kCloseBox) {
      dialog.CloseBox();
    } else {
      dialog.Click(step);
    }
  }
}

struct ClickCase {
  const char* name;
  Stored stored;
  std::vector<std::string> steps;
  std::vector<int> values;          // afterwards, in the order of kBoxes
  std::vector<std::string> writes;  // "Key=Value", in order
  bool closed;
  bool show_always_changed;
};

class OptionsClickTest : public testing::TestWithParam<ClickCase> {};

TEST_P(OptionsClickTest, ReactsAndStoresOnlyOnOk) {
  const ClickCase& test = GetParam();
  testing_support::MemorySettingsStore settings;
  Store(settings, test.stored);
  OptionsDialog dialog(settings);
  dialog.Load();
  Perform(dialog, test.steps);
  EXPECT_EQ(Values(dialog), test.values);
  EXPECT_EQ(settings.Writes(), test.writes);
  EXPECT_EQ(dialog.Closed(), test.closed);
  EXPECT_EQ(dialog.IsShowAlwaysChanged(), test.show_always_changed);
}

const std::vector<std::string> kAllZeroWrites = {
    "Parts=0",         "FlowPorts=0",  "Parameters=0", "AllocatedTo=0",
    "AllocatedFrom=0", "ShowAlways=0", "ShowCompartmentRequirements=0"};

INSTANTIATE_TEST_SUITE_P(
    Steps, OptionsClickTest,
    testing::Values(
        ClickCase{"TickingShowAlwaysUnticksTheOther", {}, {"chkShowAlways"},
                  {0, 0, 0, 0, 0, 1, 0, 0}, {}, false, false},
        ClickCase{"TickingOnlyWithPerspectiveUnticksTheOther", {{"ShowAlways", "1"}},
                  {"chkOnlyWithPerspective"}, {0, 0, 0, 0, 0, 0, 1, 0}, {}, false, false},
        ClickCase{"UntickingShowAlwaysTicksTheOther", {{"ShowAlways", "1"}}, {"chkShowAlways"},
                  {0, 0, 0, 0, 0, 0, 1, 0}, {}, false, false},
        ClickCase{"UntickingOnlyWithPerspectiveTicksTheOther", {}, {"chkOnlyWithPerspective"},
                  {0, 0, 0, 0, 0, 1, 0, 0}, {}, false, false},
        ClickCase{"AGreyedShowAlwaysUnticksOnClick", {{"ShowAlways", "2"}}, {"chkShowAlways"},
                  {0, 0, 0, 0, 0, 0, 1, 0}, {}, false, false},
        ClickCase{"CompartmentBoxesToggle", {{"FlowPorts", "1"}},
                  {"chkParts", "chkFlowPorts", "chkRequirements"}, {1, 0, 0, 0, 0, 0, 1, 1}, {},
                  false, false},
        ClickCase{"GreyedBoxesIgnoreClicks", {{"AllocatedTo", "1"}},
                  {"chkAllocatedTo", "chkAllocatedFrom"}, {0, 0, 0, 1, 0, 0, 1, 0}, {}, false,
                  false},
        ClickCase{"OkUnchangedRewritesAllSevenKeys", {}, {"cmdOK"}, {0, 0, 0, 0, 0, 0, 1, 0},
                  kAllZeroWrites, true, false},
        ClickCase{"OkKeepsTheStoredValues",
                  {{"Parts", "1"}, {"Parameters", "2"}, {"ShowAlways", "1"},
                   {"ShowCompartmentRequirements", "1"}},
                  {"cmdOK"},
                  {1, 0, 2, 0, 0, 1, 0, 1},
                  {"Parts=1", "FlowPorts=0", "Parameters=2", "AllocatedTo=0", "AllocatedFrom=0",
                   "ShowAlways=1", "ShowCompartmentRequirements=1"},
                  true, false},
        ClickCase{"OkAfterSwitchingToShowAlways", {}, {"chkShowAlways", "cmdOK"},
                  {0, 0, 0, 0, 0, 1, 0, 0},
                  {"Parts=0", "FlowPorts=0", "Parameters=0", "AllocatedTo=0", "AllocatedFrom=0",
                   "ShowAlways=1", "ShowCompartmentRequirements=0"},
                  true, true},
        ClickCase{"OkAfterSwitchingBackIsUnchanged", {{"ShowAlways", "1"}},
                  {"chkOnlyWithPerspective", "chkShowAlways", "cmdOK"},
                  {0, 0, 0, 0, 0, 1, 0, 0},
                  {"Parts=0", "FlowPorts=0", "Parameters=0", "AllocatedTo=0", "AllocatedFrom=0",
                   "ShowAlways=1", "ShowCompartmentRequirements=0"},
                  true, false},
        ClickCase{"OkWritesGreyedBoxesBack", {{"AllocatedTo", "1"}, {"AllocatedFrom", "2"}},
                  {"cmdOK"}, {0, 0, 0, 1, 2, 0, 1, 0},
                  {"Parts=0", "FlowPorts=0", "Parameters=0", "AllocatedTo=1", "AllocatedFrom=2",
                   "ShowAlways=0", "ShowCompartmentRequirements=0"},
                  true, false},
        ClickCase{"CancelAfterChangesWritesNothing", {},
                  {"chkShowAlways", "chkParts", "cmdCancel"}, {1, 0, 0, 0, 0, 1, 0, 0}, {}, true,
                  false},
        ClickCase{"CloseBoxAfterChangesWritesNothing", {}, {"chkShowAlways", kCloseBox},
                  {0, 0, 0, 0, 0, 1, 0, 0}, {}, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OptionsDialogTest, AFailingWriteFailsOkAndLeavesTheDialogOpen) {
  testing_support::MemorySettingsStore settings;
  OptionsDialog dialog(settings);
  dialog.Load();
  settings.fail_writes = true;
  EXPECT_THROW(dialog.Click("cmdOK"), platform::SettingsError);
  EXPECT_FALSE(dialog.Closed());
}

TEST(OptionsDialogTest, HasItsCaptionAndClientSize) {
  testing_support::MemorySettingsStore settings;
  OptionsDialog dialog(settings);
  EXPECT_EQ(dialog.Caption(), "Quindle Technology for SysML - Options");
  EXPECT_EQ(dialog.ClientWidth(), 3765);
  EXPECT_EQ(dialog.ClientHeight(), 3390);
}

}  // namespace
}  // namespace ui
