// The SysML menu: its layouts, the commands behind its items, and the help,
// About and Options items.
#include "addin/addin_fixture.h"
#include "ui/about_dialog.h"

namespace addin {
namespace {

using automation::Variant;
using testing::ElementsAre;

constexpr char kHeading[] = "-&SysML Technology";
constexpr char kNoSelection[] = "Please select a package in the model tree for the new diagram.";

Variant Menu(const std::vector<const char*>& items) {
  return std::vector<Variant>(items.begin(), items.end());
}

const Variant kLayoutHelpAbout = Menu({"&Help", "&About"});
const Variant kLayoutLoaded =
    Menu({"&Unload SysML Technology", "-", "New &Block Definition Diagram",
          "New &Internal Block Diagram", "New &Parametric Diagram", "New &Requirements Diagram",
          "-", "&View Allocations", "Vie&w Requirements", "-", "Open SysML &Example Model", "-",
          "&Options", "&Help", "&About"});

const Scenario kMenus[] = {
    // The layout follows the host's answers, asked in this order.
    {.name = "TheHeadingNeedsNoHostCall",
     .operation = "Orba_GetMenuItems",
     .arguments = {"TreeView", ""},
     .result = kHeading},
    {.name = "TheHeadingNeedsNoHostCallEvenWhenDisabled",
     .connected = false,
     .operation = "Orba_GetMenuItems",
     .arguments = {"", ""},
     .result = kHeading},
    {.name = "OldHostWithTechnology",
     .answers = {{"BuildNumber", "796"}, {"HasTechnology", "True"}},
     .operation = "Orba_GetMenuItems",
     .arguments = {"MainMenu", kHeading},
     .calls = {"BuildNumber()"},
     .result = kLayoutHelpAbout},
    {.name = "Loaded",
     .answers = {{"HasTechnology", "True"}},
     .operation = "Orba_GetMenuItems",
     .arguments = {"MainMenu", kHeading},
     .calls = {"BuildNumber()", "HasTechnology(SysML)"},
     .result = kLayoutLoaded},
    {.name = "LoadedWithoutModel",
     .answers = {{"HasTechnology", "True"}, {"ModelLocation", ""}},
     .operation = "Orba_GetMenuItems",
     .arguments = {"MainMenu", kHeading},
     .calls = {"BuildNumber()", "HasTechnology(SysML)"},
     .result = kLayoutLoaded},
    {.name = "ModelOpen",
     .operation = "Orba_GetMenuItems",
     .arguments = {"MainMenu", kHeading},
     .calls = {"BuildNumber()", "HasTechnology(SysML)", "ModelLocation()"},
     .result = Menu(
         {"&Load SysML Technology", "-", "Open SysML &Example Model", "-", "&Help", "&About"})},
    {.name = "NoModel",
     .answers = {{"BuildNumber", "797"}, {"ModelLocation", ""}},
     .operation = "Orba_GetMenuItems",
     .arguments = {"MainMenu", kHeading},
     .calls = {"BuildNumber()", "HasTechnology(SysML)", "ModelLocation()"},
     .result = Menu({"Open SysML &Example Model", "-", "&Help", "&About"})},
    // A click runs its item's command; the menu's name is not looked at.
    {.name = "ViewAllocations",
     .operation = "Orba_MenuClick",
     .arguments = {"", "anything", "&View Allocations"},
     .calls = {"RunSearch(SysML Allocations, , , )"}},
    {.name = "ViewRequirements",
     .operation = "Orba_MenuClick",
     .arguments = {"", kHeading, "Vie&w Requirements"},
     .calls = {"RunSearch(Requirements, , , )"}},
    {.name = "OpenExampleModel",
     .operation = "Orba_MenuClick",
     .arguments = {"", kHeading, "Open SysML &Example Model"},
     .calls = {"CloseModel()", "OpenModel(/opt/sysml/SysML Example.obx)"}},
    {.name = "LoadTechnology",
     .answers = {{"BuildNumber", "796"}},
     .operation = "Orba_MenuClick",
     .arguments = {"", kHeading, "&Load SysML Technology"},
     .calls = {"ModelLocation()", "BuildNumber()"},
     .warnings = {"Add-in will only work with Orba 6.5 or later."}},
    {.name = "UnloadTechnology",
     .answers = {{"RemoveTechnology", "True"}},
     .operation = "Orba_MenuClick",
     .arguments = {"", kHeading, "&Unload SysML Technology"},
     .calls = {"ModelLocation()", "RemoveTechnology(SysML)"}},
    {.name = "NewBlockDefinitionDiagram",
     .operation = "Orba_MenuClick",
     .arguments = {"", kHeading, "New &Block Definition Diagram"},
     .calls = {"GetSelectedPackage()"},
     .warnings = {kNoSelection}},
    {.name = "NewInternalBlockDiagram",
     .operation = "Orba_MenuClick",
     .arguments = {"", kHeading, "New &Internal Block Diagram"},
     .calls = {"GetSelectedPackage()"},
     .warnings = {kNoSelection}},
    {.name = "NewParametricDiagram",
     .operation = "Orba_MenuClick",
     .arguments = {"", kHeading, "New &Parametric Diagram"},
     .calls = {"GetSelectedPackage()"},
     .warnings = {kNoSelection}},
    {.name = "NewRequirementsDiagram",
     .operation = "Orba_MenuClick",
     .arguments = {"", kHeading, "New &Requirements Diagram"},
     .calls = {"GetSelectedPackage()"},
     .warnings = {kNoSelection}},
    {.name = "AnItemWithoutItsAccessKeyIsUnknown",
     .operation = "Orba_MenuClick",
     .arguments = {"", kHeading, "Load SysML Technology"},
     .warnings = {"ItemName=Load SysML Technology"}},
    {.name = "ABadStoredOptionFailsTheOptionsBeforeAnyChange",
     .stored = "FlowPorts=3",
     .operation = "Orba_MenuClick",
     .arguments = {"", kHeading, "&Options"},
     .fails = true},
};

class MenuTest : public ScenarioTest {};

TEST_P(MenuTest, TalksWithTheHostAsScripted) { Play(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Menu, MenuTest, testing::ValuesIn(kMenus), ScenarioName);

TEST_F(AddinTest, AnUnknownMenuNameIsShownAndAnswersEmpty) {
  Connect();
  EXPECT_TRUE(addin_.Orba_GetMenuItems(host_, "", "-&sysml technology").IsEmpty());
  EXPECT_THAT(Warnings(), ElementsAre("MenuName=-&sysml technology"));
  EXPECT_TRUE(Calls().empty());
}

TEST_F(AddinTest, HelpOpensTheHelpFileAtContext1000) {
  Connect();
  addin_.Orba_MenuClick(host_, "", kHeading, "&Help");
  EXPECT_THAT(platform_.help->shown, ElementsAre("/opt/sysml/Orba_SysML.chm#1000"));
}

TEST_F(AddinTest, WhileDisabledOnlyHelpAndAboutActAndSilently) {
  for (const char* item : {"&Options", "&Load SysML Technology", "&View Allocations", "Bogus"}) {
    addin_.Orba_MenuClick(host_, "", kHeading, item);
  }
  EXPECT_TRUE(Calls().empty());
  EXPECT_TRUE(Warnings().empty());
  EXPECT_TRUE(platform_.ui->DialogsShown().empty());
  addin_.Orba_MenuClick(host_, "", kHeading, "&Help");
  addin_.Orba_MenuClick(host_, "", kHeading, "&About");
  EXPECT_EQ(platform_.help->shown.size(), 1u);
  EXPECT_THAT(platform_.ui->DialogsShown(), ElementsAre("Quindle Technology for SysML - About"));
}

TEST_F(AddinTest, AboutKeepsTheRepositoryOnlyWhileShown) {
  Connect();
  platform_.ui->ExpectDialog([this](platform::Dialog& dialog) {
    auto& about = dynamic_cast<ui::AboutDialog&>(dialog);
    EXPECT_EQ(about.Repository(), host_);
    EXPECT_EQ(about.Get("lblVersion").caption, "Version 1.0");
    dialog.Click("cmdOK");
    EXPECT_EQ(about.Repository(), nullptr);
  });
  const long uses_before = host_.use_count();
  addin_.Orba_MenuClick(host_, "", kHeading, "&About");
  EXPECT_EQ(host_.use_count(), uses_before);
  EXPECT_TRUE(Calls().empty());
}

// The Options item: the dialog's clicks, then the host calls and the compartments after it.
struct OptionsCase {
  const char* name;
  const char* stored;
  std::vector<const char*> clicks;
  std::vector<std::string> calls;
  const char* compartments;
  size_t writes;
  friend void PrintTo(const OptionsCase& c, std::ostream* out) { *out << c.name; }
};

class OptionsTest : public AddinTest, public testing::WithParamInterface<OptionsCase> {};

TEST_P(OptionsTest, RecomputesCompartmentsAppliesAChangedToolboxChoiceAndRedraws) {
  platform_.settings->SetOptions(GetParam().stored);
  Connect();
  platform_.ui->ExpectDialog([](platform::Dialog& dialog) {
    for (const char* control : GetParam().clicks) dialog.Click(control);
  });
  addin_.Orba_MenuClick(host_, "", kHeading, "&Options");
  EXPECT_EQ(addin_.Compartments, GetParam().compartments);
  EXPECT_EQ(Calls(), GetParam().calls);
  EXPECT_EQ(platform_.settings->Writes().size(), GetParam().writes);
}

INSTANTIATE_TEST_SUITE_P(Choices, OptionsTest,
                         testing::Values(OptionsCase{"Cancel",
                                                     "Parts=1",
                                                     {"chkShowAlways", "cmdCancel"},
                                                     {"RedrawOpenDiagrams(True)"},
                                                     "parts",
                                                     0},
                                         OptionsCase{"OkAfterTickingShowAlwaysShowsTheToolboxes",
                                                     "",
                                                     {"chkShowAlways", "chkParameters", "cmdOK"},
                                                     {"SetTechnologyVisibility(SysML, , True)",
                                                      "RedrawOpenDiagrams(True)"},
                                                     "parameters",
                                                     7},
                                         OptionsCase{
                                             "OkAfterChoosingThePerspectiveHidesTheToolboxes",
                                             "ShowAlways=1",
                                             {"chkOnlyWithPerspective", "cmdOK"},
                                             {"SetTechnologyVisibility(SysML, , False)",
                                              "RedrawOpenDiagrams(True)"},
                                             "",
                                             7},
                                         OptionsCase{"OkWithoutChangesTouchesNoToolbox",
                                                     "",
                                                     {"cmdOK"},
                                                     {"RedrawOpenDiagrams(True)"},
                                                     "",
                                                     7}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace addin
