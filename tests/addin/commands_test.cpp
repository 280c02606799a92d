#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "addin/addin_fixture.h"
#include "platform/ansi_text.h"
#include "resources/resource_table.h"

namespace addin {
namespace {

using testing::ElementsAre;

class CommandTest : public AddinTest {
 protected:
  std::string Resource(std::string_view type, int id) {
    return platform::AnsiToText(resources::LoadResData(type, id));
  }
};

TEST_F(CommandTest, LoadAndUnloadWithoutAModelOnlyWarn) {
  repository_->model_location = "";
  addin_.DoLoad(repository_);
  addin_.DoUnload(repository_);
  EXPECT_EQ(Boxes(), (std::vector{Warning("No Model Open!"), Warning("No Model Open!")}));
  EXPECT_THAT(repository_->CallNames(), ElementsAre("ModelLocation", "ModelLocation"));
}

TEST_F(CommandTest, LoadOnAnOldHostWarnsWithTheExclamationIcon) {
  repository_->build_number = 796;
  addin_.DoLoad(repository_);
  EXPECT_EQ(Boxes(), (std::vector{Warning("Add-in will only work with Orba 6.5 or later.")}));
  EXPECT_THAT(repository_->CallNames(), ElementsAre("ModelLocation", "BuildNumber"));
}

TEST_F(CommandTest, LoadHandsTheWholeTechnologyResourceToTheHost) {
  repository_->install_technology = false;
  addin_.DoLoad(repository_);
  const std::string document = repository_->LastArgument("InstallTechnology");
  EXPECT_EQ(document, Resource("TECHFILE", 101));
  EXPECT_EQ(document.size(), resources::LoadResData("TECHFILE", 101).size());
  EXPECT_EQ(document.substr(document.size() - 3), std::string(3, '\0'));
  EXPECT_EQ(Boxes(), (std::vector{Warning("Unable to Load Technology File")}));
  EXPECT_THAT(repository_->CallNames(),
              ElementsAre("ModelLocation", "BuildNumber", "InstallTechnology"));
}

TEST_F(CommandTest, LoadWithShowAlwaysStoredShowsTheToolboxesWithoutPerspective) {
  repository_->install_technology = true;
  platform_.settings->SetOption("ShowAlways", "1");
  addin_.DoLoad(repository_);
  EXPECT_THAT(repository_->CallNames(), ElementsAre("ModelLocation", "BuildNumber",
                                                    "InstallTechnology", "SetTechnologyVisibility"));
  EXPECT_EQ(repository_->Calls().back(), "SetTechnologyVisibility(SysML, , True)");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(CommandTest, LoadWithoutStoredChoiceSelectsAPresentPerspective) {
  repository_->install_technology = true;
  repository_->query_perspective = "-1";
  addin_.DoLoad(repository_);
  EXPECT_THAT(repository_->CallNames(),
              ElementsAre("ModelLocation", "BuildNumber", "InstallTechnology", "BuildNumber",
                          "QueryPerspective", "SelectPerspective"));
  EXPECT_EQ(repository_->Calls().back(), "SelectPerspective(SysML, 1)");
}

TEST_F(CommandTest, LoadInstallsAMissingPerspectiveFirst) {
  repository_->install_technology = true;
  repository_->query_perspective = "0";
  addin_.DoLoad(repository_);
  EXPECT_THAT(repository_->CallNames(),
              ElementsAre("ModelLocation", "BuildNumber", "InstallTechnology", "BuildNumber",
                          "QueryPerspective", "InstallPerspective", "SelectPerspective"));
  const std::string perspective = repository_->LastArgument("InstallPerspective");
  EXPECT_EQ(perspective.size(), 1143u);
  EXPECT_EQ(perspective, Resource("PERSPECTIVE", 102));
  EXPECT_EQ(repository_->LastArgument("InstallPerspective", 1), "1");
}

TEST_F(CommandTest, APerspectiveAnswerThatIsNotANumberFailsTheCommand) {
  repository_->query_perspective = "present";
  std::vector<automation::Variant> args = {automation::Variant(repository_)};
  automation::CallResult result = automation::Call(addin_, "ShowPerspective", args);
  EXPECT_FALSE(result.ok);
  EXPECT_THAT(repository_->CallNames(), ElementsAre("BuildNumber", "QueryPerspective"));
}

TEST_F(CommandTest, ShowPerspectiveOnAnOldHostStopsSilently) {
  repository_->build_number = 796;
  addin_.ShowPerspective(repository_);
  EXPECT_THAT(repository_->CallNames(), ElementsAre("BuildNumber"));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(CommandTest, UnloadThatSucceedsSaysNothingMore) {
  repository_->remove_technology = true;
  addin_.DoUnload(repository_);
  EXPECT_THAT(repository_->Calls(), ElementsAre("ModelLocation()", "RemoveTechnology(SysML)"));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(CommandTest, UnloadThatTheHostRefusesIsReported) {
  repository_->remove_technology = false;
  addin_.DoUnload(repository_);
  EXPECT_EQ(Boxes(), (std::vector{Warning("Unable to Unload Technology File")}));
}

// The stored "ShowAlways" as the toolbox routine reads it on file open.
struct ShowAlwaysCase {
  const char* stored;
  bool shown;
};

class StoredToolboxChoiceTest : public CommandTest,
                                public testing::WithParamInterface<ShowAlwaysCase> {};

TEST_P(StoredToolboxChoiceTest, AnyNumberButZeroShowsTheToolboxes) {
  repository_->has_technology = true;
  platform_.settings->SetOption("ShowAlways", GetParam().stored);
  addin_.Orba_FileOpen(repository_);
  EXPECT_EQ(repository_->LastArgument("SetTechnologyVisibility", 2),
            GetParam().shown ? "True" : "False");
}

INSTANTIATE_TEST_SUITE_P(Values, StoredToolboxChoiceTest,
                         testing::Values(ShowAlwaysCase{"0", false}, ShowAlwaysCase{"1", true},
                                         ShowAlwaysCase{"2", true}, ShowAlwaysCase{"-1", true},
                                         ShowAlwaysCase{"True", true},
                                         ShowAlwaysCase{"false", false}));

TEST_F(CommandTest, OpenExampleModelClosesThenOpensTheModelBesideTheModule) {
  addin_.OpenExampleModel(repository_);
  EXPECT_THAT(repository_->Calls(),
              ElementsAre("CloseModel()", "OpenModel(/opt/sysml/SysML Example.obx)"));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(CommandTest, NewDiagramWithoutSelectionWarnsAndCreatesNothing) {
  addin_.DoNewDiagram(repository_, "block");
  EXPECT_EQ(Boxes(), (std::vector{Warning(
                         "Please select a package in the model tree for the new diagram.")}));
  EXPECT_THAT(repository_->CallNames(), ElementsAre("GetSelectedPackage"));
}

}  // namespace
}  // namespace addin
