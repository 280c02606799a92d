#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "addin/addin_fixture.h"
#include "ui/about_dialog.h"

namespace addin {
namespace {

using automation::Variant;
using testing::ElementsAre;

const char kHeading[] = "-&SysML Technology";

std::vector<std::string> Items(const Variant& menu) {
  std::vector<std::string> items;
  for (const Variant& item : menu.Array()) items.push_back(item.String());
  return items;
}

class MenuTest : public AddinTest {};

TEST_F(MenuTest, TheHeadingNeedsNoHostCallEvenWhenDisabled) {
  CTessary disabled(platform_.platform);
  EXPECT_EQ(disabled.Orba_GetMenuItems(nullptr, "", "").String(), kHeading);
  EXPECT_EQ(addin_.Orba_GetMenuItems(repository_, "TreeView", "").String(), kHeading);
  EXPECT_TRUE(repository_->Calls().empty());
}

TEST_F(MenuTest, AnUnknownMenuNameIsShownAndAnswersEmpty) {
  EXPECT_TRUE(addin_.Orba_GetMenuItems(repository_, "", "-&sysml technology").IsEmpty());
  EXPECT_EQ(Boxes(), (std::vector{Warning("MenuName=-&sysml technology")}));
  EXPECT_TRUE(repository_->Calls().empty());
}

const std::vector<std::string> kLayoutA = {"&Help", "&About"};
const std::vector<std::string> kLayoutB = {
    "&Unload SysML Technology", "-", "New &Block Definition Diagram",
    "New &Internal Block Diagram", "New &Parametric Diagram", "New &Requirements Diagram", "-",
    "&View Allocations", "Vie&w Requirements", "-", "Open SysML &Example Model", "-", "&Options",
    "&Help", "&About"};
const std::vector<std::string> kLayoutC = {"&Load SysML Technology", "-",
                                           "Open SysML &Example Model", "-", "&Help", "&About"};
const std::vector<std::string> kLayoutD = {"Open SysML &Example Model", "-", "&Help", "&About"};

struct LayoutCase {
  const char* name;
  int32_t build;
  bool technology;
  const char* location;
  std::vector<std::string> layout;
  std::vector<std::string> questions;
};

class MenuLayoutTest : public AddinTest, public testing::WithParamInterface<LayoutCase> {};

TEST_P(MenuLayoutTest, ChoosesTheLayoutFromTheHostsAnswersInOrder) {
  repository_->build_number = GetParam().build;
  repository_->has_technology = GetParam().technology;
  repository_->model_location = GetParam().location;
  EXPECT_EQ(Items(addin_.Orba_GetMenuItems(repository_, "MainMenu", kHeading)), GetParam().layout);
  EXPECT_EQ(repository_->CallNames(), GetParam().questions);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, MenuLayoutTest,
    testing::Values(
        LayoutCase{"OldHostWithTechnology", 796, true, "/m.obx", kLayoutA, {"BuildNumber"}},
        LayoutCase{"Loaded", 1558, true, "/m.obx", kLayoutB, {"BuildNumber", "HasTechnology"}},
        LayoutCase{"LoadedWithoutModel", 1558, true, "", kLayoutB, {"BuildNumber", "HasTechnology"}},
        LayoutCase{"ModelOpen", 1558, false, "/m.obx", kLayoutC,
                   {"BuildNumber", "HasTechnology", "ModelLocation"}},
        LayoutCase{"NoModel", 797, false, "", kLayoutD,
                   {"BuildNumber", "HasTechnology", "ModelLocation"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MenuTest, ADisabledAddinOffersHelpAndAboutAfterAskingTheBuild) {
  CTessary disabled(platform_.platform);
  repository_->has_technology = true;
  EXPECT_EQ(Items(disabled.Orba_GetMenuItems(repository_, "", kHeading)), kLayoutA);
  EXPECT_THAT(repository_->CallNames(), ElementsAre("BuildNumber"));
}

// A click: the item, the host calls it makes and the message boxes it shows
// (a model with the technology loaded, nothing selected in its tree).
struct ClickCase {
  const char* item;
  std::vector<std::string> calls;
  std::vector<std::string> boxes;
};

const char kNoSelection[] = "Please select a package in the model tree for the new diagram.";

class MenuClickTest : public AddinTest, public testing::WithParamInterface<ClickCase> {};

TEST_P(MenuClickTest, RunsTheItemsCommand) {
  repository_->has_technology = true;
  repository_->remove_technology = true;
  addin_.Orba_MenuClick(repository_, "", kHeading, GetParam().item);
  EXPECT_EQ(repository_->Calls(), GetParam().calls);
  std::vector<std::string> texts;
  for (const auto& box : Boxes()) texts.push_back(box.text);
  EXPECT_EQ(texts, GetParam().boxes);
}

INSTANTIATE_TEST_SUITE_P(
    Items, MenuClickTest,
    testing::Values(
        ClickCase{"&View Allocations", {"RunSearch(SysML Allocations, , , )"}, {}},
        ClickCase{"Vie&w Requirements", {"RunSearch(Requirements, , , )"}, {}},
        ClickCase{"Open SysML &Example Model",
                  {"CloseModel()", "OpenModel(/opt/sysml/SysML Example.obx)"}, {}},
        ClickCase{"&Unload SysML Technology", {"ModelLocation()", "RemoveTechnology(SysML)"}, {}},
        ClickCase{"New &Block Definition Diagram", {"GetSelectedPackage()"}, {kNoSelection}},
        ClickCase{"New &Internal Block Diagram", {"GetSelectedPackage()"}, {kNoSelection}},
        ClickCase{"New &Parametric Diagram", {"GetSelectedPackage()"}, {kNoSelection}},
        ClickCase{"New &Requirements Diagram", {"GetSelectedPackage()"}, {kNoSelection}}));

TEST_F(MenuTest, AnItemWithoutItsAccessKeyIsUnknown) {
  addin_.Orba_MenuClick(repository_, "", kHeading, "Load SysML Technology");
  EXPECT_EQ(Boxes(), (std::vector{Warning("ItemName=Load SysML Technology")}));
  EXPECT_TRUE(repository_->Calls().empty());
}

TEST_F(MenuTest, TheMenuNameOfAClickIsNotLookedAt) {
  addin_.Orba_MenuClick(repository_, "", "anything", "&View Allocations");
  EXPECT_THAT(repository_->CallNames(), ElementsAre("RunSearch"));
}

TEST_F(MenuTest, HelpOpensTheHelpFileAtContext1000) {
  addin_.Orba_MenuClick(repository_, "", kHeading, "&Help");
  EXPECT_THAT(platform_.help->shown, ElementsAre("/opt/sysml/Orba_SysML.chm#1000"));
}

TEST_F(MenuTest, WhileDisabledOnlyHelpAndAboutActAndSilently) {
  CTessary disabled(platform_.platform);
  for (const char* item : {"&Options", "&Load SysML Technology", "&View Allocations", "Bogus"}) {
    disabled.Orba_MenuClick(repository_, "", kHeading, item);
  }
  EXPECT_TRUE(repository_->Calls().empty());
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(platform_.ui->DialogsShown().empty());
  disabled.Orba_MenuClick(repository_, "", kHeading, "&Help");
  disabled.Orba_MenuClick(repository_, "", kHeading, "&About");
  EXPECT_EQ(platform_.help->shown.size(), 1u);
  EXPECT_THAT(platform_.ui->DialogsShown(), ElementsAre("Quindle Technology for SysML - About"));
}

TEST_F(MenuTest, AboutKeepsTheRepositoryOnlyWhileShown) {
  platform_.ui->ExpectDialog([this](platform::Dialog& dialog) {
    auto& about = dynamic_cast<ui::AboutDialog&>(dialog);
    EXPECT_EQ(about.Repository(), repository_);
    EXPECT_EQ(about.Get("lblVersion").caption, "Version 1.0");
    dialog.Click("cmdOK");
    EXPECT_EQ(about.Repository(), nullptr);
  });
  const long uses_before = repository_.use_count();
  addin_.Orba_MenuClick(repository_, "", kHeading, "&About");
  EXPECT_EQ(repository_.use_count(), uses_before);
  EXPECT_TRUE(repository_->Calls().empty());
}

class OptionsCommandTest : public AddinTest {
 protected:
  void RunOptions(std::function<void(platform::Dialog&)> script) {
    platform_.ui->ExpectDialog(std::move(script));
    addin_.Orba_MenuClick(repository_, "", kHeading, "&Options");
  }
};

TEST_F(OptionsCommandTest, CancelRecomputesCompartmentsAndRedrawsOnly) {
  platform_.settings->SetOption("Parts", "1");
  RunOptions([](platform::Dialog& dialog) {
    dialog.Click("chkShowAlways");
    dialog.Click("cmdCancel");
  });
  EXPECT_EQ(addin_.Compartments, "parts");
  EXPECT_THAT(repository_->Calls(), ElementsAre("RedrawOpenDiagrams(True)"));
  EXPECT_TRUE(platform_.settings->Writes().empty());
}

TEST_F(OptionsCommandTest, OkAfterTickingShowAlwaysShowsTheToolboxes) {
  RunOptions([](platform::Dialog& dialog) {
    dialog.Click("chkShowAlways");
    dialog.Click("chkParameters");
    dialog.Click("cmdOK");
  });
  EXPECT_EQ(addin_.Compartments, "parameters");
  EXPECT_THAT(repository_->Calls(),
              ElementsAre("SetTechnologyVisibility(SysML, , True)", "RedrawOpenDiagrams(True)"));
}

TEST_F(OptionsCommandTest, OkAfterChoosingThePerspectiveHidesTheToolboxes) {
  platform_.settings->SetOption("ShowAlways", "1");
  RunOptions([](platform::Dialog& dialog) {
    dialog.Click("chkOnlyWithPerspective");
    dialog.Click("cmdOK");
  });
  EXPECT_THAT(repository_->Calls(),
              ElementsAre("SetTechnologyVisibility(SysML, , False)", "RedrawOpenDiagrams(True)"));
}

TEST_F(OptionsCommandTest, OkWithoutChangesTouchesNoToolbox) {
  RunOptions([](platform::Dialog& dialog) { dialog.Click("cmdOK"); });
  EXPECT_THAT(repository_->Calls(), ElementsAre("RedrawOpenDiagrams(True)"));
  EXPECT_EQ(platform_.settings->Writes().size(), 7u);
}

TEST_F(OptionsCommandTest, ABadStoredValueFailsTheCommandBeforeAnyChange) {
  platform_.settings->SetOption("FlowPorts", "3");
  automation::Variant args[] = {Variant(repository_), Variant(""), Variant(kHeading),
                                Variant("&Options")};
  automation::CallResult result = automation::Call(addin_, "Orba_MenuClick", args);
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(repository_->Calls().empty());
}

}  // namespace
}  // namespace addin
