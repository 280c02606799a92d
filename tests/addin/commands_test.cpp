// The commands behind the menu: loading and unloading the technology, the
// toolboxes and the perspective, the example model and new diagrams.
#include "addin/addin_fixture.h"
#include "platform/ansi_text.h"
#include "resources/resource_table.h"

namespace addin {
namespace {

using testing::ElementsAre;

// The model is open (in memory) on a modern host without the technology,
// whose perspective is not installed, unless the host answers otherwise.
const Scenario kCommands[] = {
    {.name = "LoadWithoutAModelOnlyWarns",
     .answers = {{"ModelLocation", ""}},
     .operation = "DoLoad",
     .calls = {"ModelLocation()"},
     .warnings = {"No Model Open!"}},
    {.name = "UnloadWithoutAModelOnlyWarns",
     .answers = {{"ModelLocation", ""}},
     .operation = "DoUnload",
     .calls = {"ModelLocation()"},
     .warnings = {"No Model Open!"}},
    {.name = "LoadOnAnOldHostWarns",
     .answers = {{"BuildNumber", "796"}},
     .operation = "DoLoad",
     .calls = {"ModelLocation()", "BuildNumber()"},
     .warnings = {"Add-in will only work with Orba 6.5 or later."}},
    {.name = "LoadThatTheHostRefusesWarns",
     .answers = {{"InstallTechnology", "False"}},
     .operation = "DoLoad",
     .calls = {"ModelLocation()", "BuildNumber()", "InstallTechnology(<document>)"},
     .warnings = {"Unable to Load Technology File"}},
    {.name = "LoadWithShowAlwaysStoredShowsTheToolboxesWithoutPerspective",
     .stored = "ShowAlways=1",
     .operation = "DoLoad",
     .calls = {"ModelLocation()", "BuildNumber()", "InstallTechnology(<document>)",
               "SetTechnologyVisibility(SysML, , True)"}},
    {.name = "LoadWithoutStoredChoiceSelectsAPresentPerspective",
     .answers = {{"QueryPerspective", "-1"}},
     .operation = "DoLoad",
     .calls = {"ModelLocation()", "BuildNumber()", "InstallTechnology(<document>)", "BuildNumber()",
               "QueryPerspective(SysML)", "SelectPerspective(SysML, 1)"}},
    {.name = "LoadInstallsAMissingPerspectiveFirst",
     .operation = "DoLoad",
     .calls = {"ModelLocation()", "BuildNumber()", "InstallTechnology(<document>)", "BuildNumber()",
               "QueryPerspective(SysML)", "InstallPerspective(<document>, 1)",
               "SelectPerspective(SysML, 1)"}},
    {.name = "APerspectiveAnswerThatIsNotANumberFailsTheCommand",
     .answers = {{"QueryPerspective", "present"}},
     .operation = "ShowPerspective",
     .calls = {"BuildNumber()", "QueryPerspective(SysML)"},
     .fails = true},
    {.name = "ShowPerspectiveOnAnOldHostStopsSilently",
     .answers = {{"BuildNumber", "796"}},
     .operation = "ShowPerspective",
     .calls = {"BuildNumber()"}},
    {.name = "UnloadThatSucceedsSaysNothingMore",
     .answers = {{"RemoveTechnology", "True"}},
     .operation = "DoUnload",
     .calls = {"ModelLocation()", "RemoveTechnology(SysML)"}},
    {.name = "UnloadThatTheHostRefusesWarns",
     .operation = "DoUnload",
     .calls = {"ModelLocation()", "RemoveTechnology(SysML)"},
     .warnings = {"Unable to Unload Technology File"}},
    {.name = "OpenExampleModelClosesThenOpensTheModelBesideTheModule",
     .operation = "OpenExampleModel",
     .calls = {"CloseModel()", "OpenModel(/opt/sysml/SysML Example.obx)"}},
    {.name = "NewDiagramWithoutSelectionWarnsAndCreatesNothing",
     .operation = "DoNewDiagram",
     .arguments = {"block"},
     .calls = {"GetSelectedPackage()"},
     .warnings = {"Please select a package in the model tree for the new diagram."}},
    {.name = "FileOpenWithoutTheTechnologyChangesNothing",
     .operation = "Orba_FileOpen",
     .calls = {"HasTechnology(SysML)"}},
    {.name = "FileOpenWithAChoiceThatIsNotANumberFails",
     .answers = {{"HasTechnology", "True"}},
     .stored = "ShowAlways=maybe",
     .operation = "Orba_FileOpen",
     .calls = {"HasTechnology(SysML)"},
     .fails = true},
    {.name = "FileOpenWhileDisabledReadsTheChoiceButChangesNothing",
     .connected = false,
     .answers = {{"HasTechnology", "True"}},
     .stored = "ShowAlways=maybe",
     .operation = "Orba_FileOpen",
     .calls = {"HasTechnology(SysML)"},
     .fails = true},
};

class CommandTest : public ScenarioTest {};

TEST_P(CommandTest, TalksWithTheHostAsScripted) { Play(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Commands, CommandTest, testing::ValuesIn(kCommands), ScenarioName);

// File open re-applies the stored toolbox choice: any number but 0 shows the toolboxes.
TEST_F(AddinTest, FileOpenShowsTheToolboxesForAnyStoredNumberButZero) {
  Connect();
  Plan().Answer("Repository.HasTechnology", "True");
  const std::pair<const char*, const char*> choices[] = {{"0", "False"},   {"1", "True"},
                                                         {"2", "True"},    {"-1", "True"},
                                                         {"True", "True"}, {"false", "False"}};
  for (const auto& [stored, shown] : choices) {
    platform_.settings->SetOption("ShowAlways", stored);
    Plan().ClearCalls();
    addin_.Orba_FileOpen(host_);
    const std::string visibility = std::string("SetTechnologyVisibility(SysML, , ") + shown + ")";
    EXPECT_THAT(Calls(), ElementsAre("HasTechnology(SysML)", visibility)) << stored;
  }
}

std::string Resource(std::string_view type, int id) {
  return platform::AnsiToText(resources::LoadResData(type, id));
}

TEST_F(AddinTest, LoadHandsTheWholeTechnologyAndPerspectiveResourcesToTheHost) {
  Connect();
  addin_.DoLoad(host_);
  const std::string technology = Plan().LastArgument("Repository.InstallTechnology");
  EXPECT_EQ(technology, Resource("TECHFILE", 101));
  EXPECT_EQ(technology.size(), resources::LoadResData("TECHFILE", 101).size());
  EXPECT_EQ(technology.substr(technology.size() - 3), std::string(3, '\0'));
  EXPECT_EQ(Plan().LastArgument("Repository.InstallPerspective"), Resource("PERSPECTIVE", 102));
  EXPECT_TRUE(host_->HasTechnology("SysML"));
}

class NewDiagramTest : public AddinTest {
 protected:
  NewDiagramTest()
      : AddinTest(R"({"packages": [{"key": "root", "name": "Model"},
                                   {"key": "reqs", "name": "Reqs", "parent": "root"}]})") {
    Connect();
    model_.SelectPackage("reqs");
  }
  std::vector<host::DiagramPtr> Diagrams() { return model_.Package("reqs")->Diagrams()->Items(); }
};

TEST_F(NewDiagramTest, EachKindCreatesADiagramNamedAfterItsPackageAndOpensIt) {
  const std::pair<const char*, const char*> kinds[] = {{"block", "SysML::BlockDefinition"},
                                                       {"internal block", "SysML::InternalBlock"},
                                                       {"parametric", "SysML::Parametric"},
                                                       {"requirement", "SysML::Requirement"}};
  for (const auto& [kind, type] : kinds) {
    Plan().ClearCalls();
    addin_.DoNewDiagram(host_, kind);
    const host::DiagramPtr diagram = Diagrams().back();
    EXPECT_EQ(diagram->Name(), "Reqs");
    EXPECT_EQ(diagram->Type(), type);
    EXPECT_EQ(diagram->DisplayFlags(), 0);
    EXPECT_THAT(Plan().Calls(),
                ElementsAre("Repository.GetSelectedPackage", "Package.ParentID", "Package.Name",
                            "Package.Diagrams", "Collection.AddNew", "Diagram.SetDisplayFlags",
                            "Diagram.Update", "Package.Diagrams", "Collection.Refresh",
                            "Diagram.DiagramID", "Repository.OpenDiagram"));
    EXPECT_EQ(Plan().LastArgument("Repository.OpenDiagram"), std::to_string(diagram->DiagramID()));
  }
  EXPECT_EQ(Diagrams().size(), 4u);
  EXPECT_TRUE(Warnings().empty());
}

TEST_F(NewDiagramTest, AnUnknownKindCreatesNothingSilently) {
  addin_.DoNewDiagram(host_, "Block");
  EXPECT_TRUE(Diagrams().empty());
  EXPECT_TRUE(Warnings().empty());
}

TEST_F(NewDiagramTest, ARootModelGetsTheSecondWarning) {
  model_.SelectPackage("root");
  addin_.DoNewDiagram(host_, "block");
  EXPECT_THAT(Warnings(), ElementsAre("A diagram cannot be added to a root model: please select "
                                      "a package inside it."));
  EXPECT_TRUE(model_.Package("root")->Diagrams()->Items().empty());
}

}  // namespace
}  // namespace addin
