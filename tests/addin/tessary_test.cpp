// The add-in's life with its host beyond the conversations of cases/: the
// version gate, the documents it hands the host, the About dialog, the
// allocation search and new diagrams in a real package.
#include "addin/tessary.h"

#include <fstream>
#include <sstream>

#include "addin/addin_fixture.h"
#include "platform/ansi_text.h"
#include "resources/resource_table.h"
#include "search/allocation_search.h"
#include "support/temp_folder.h"
#include "ui/about_dialog.h"

namespace addin {
namespace {

using automation::Variant;
using testing::ElementsAre;
using testing::HasSubstr;

TEST_F(AddinTest, ConstructionLeavesTheAddinDisabledWithItsHelpFileBesideTheModule) {
  EXPECT_TRUE(addin_.Disabled());
  EXPECT_EQ(addin_.HelpFile(), "/opt/sysml/Orba_SysML.chm");
  EXPECT_EQ(addin_.Compartments, "");
  ASSERT_TRUE(automation::PutProperty(addin_, "Compartments", Variant("parts")).ok);
  EXPECT_EQ(automation::GetProperty(addin_, "Compartments").value.String(), "parts");
}

TEST_F(AddinTest, RefusesHostsOlderThan797) {
  for (const int32_t build : {796, 797, 798, -5, 0, 1558}) {
    SCOPED_TRACE(build);
    testing_support::TestPlatform platform;
    platform.settings->SetOption("Parts", "1");
    CTessary addin(platform.platform);
    Plan().Answer("Repository.BuildNumber", std::to_string(build));
    EXPECT_EQ(addin.Orba_Connect(host_), "");
    const bool accepted = build >= 797;
    EXPECT_EQ(addin.Disabled(), !accepted);
    EXPECT_EQ(addin.Compartments, accepted ? "parts" : "");
    EXPECT_EQ(platform.settings->reads > 0, accepted);
    std::vector<platform::RecordedMessageBox> boxes;
    if (!accepted) {
      boxes.push_back({"Add-in will only work with Orba 6.5 or later.",
                       "Quindle Technology for SysML", platform::MessageIcon::kCriticalStop});
    }
    EXPECT_EQ(platform.ui->MessageBoxes(), boxes);
    Plan().ClearCalls();
    addin.Orba_OnPostInitialized(host_);  // a refused add-in registers no search
    EXPECT_EQ(Plan().Calls().size(), accepted ? 1u : 0u);
  }
}

TEST_F(AddinTest, ConnectingAgainRecomputesCompartmentsOrDisablesForAnOldHost) {
  Connect();
  EXPECT_EQ(addin_.Compartments, "");
  platform_.settings->SetOptions("FlowPorts=1;ShowCompartmentRequirements=1");
  Connect();
  EXPECT_FALSE(addin_.Disabled());
  EXPECT_EQ(addin_.Compartments, "flow ports,requirements");
  EXPECT_EQ(addin_.GetAvailableCompartments(), "flow ports,requirements");
  Plan().Answer("Repository.BuildNumber", "796");
  Connect();
  EXPECT_TRUE(addin_.Disabled());
}

TEST_F(AddinTest, AFailingHostCallIsTheOperationsErrorResult) {
  Plan().FailOn("Repository.BuildNumber");
  std::vector<Variant> arguments = {Variant(host_)};
  const automation::CallResult result = automation::Call(addin_, "Orba_Connect", arguments);
  EXPECT_FALSE(result.ok);
  EXPECT_THAT(result.error, HasSubstr("injected failure of Repository.BuildNumber"));
  EXPECT_TRUE(addin_.Disabled());
}

std::string Resource(std::string_view type, int id) {
  return platform::AnsiToText(resources::LoadResData(type, id));
}

TEST_F(AddinTest, HandsTheHostTheWholeSearchTechnologyAndPerspectiveDocuments) {
  Connect();
  addin_.Orba_OnPostInitialized(host_);
  ASSERT_THAT(Plan().Calls(), ElementsAre("Repository.RegisterSearches"));
  EXPECT_EQ(Plan().LastArgument("Repository.RegisterSearches"),
            testing_support::FileBytes(TESSARY_SOURCE_ROOT "/src/resources/custom_search.xml"));
  addin_.DoLoad(host_);
  const std::string technology = Plan().LastArgument("Repository.InstallTechnology");
  EXPECT_EQ(technology, Resource("TECHFILE", 101));
  EXPECT_EQ(technology.size(), resources::LoadResData("TECHFILE", 101).size());
  EXPECT_EQ(technology.substr(technology.size() - 3), std::string(3, '\0'));
  EXPECT_EQ(Plan().LastArgument("Repository.InstallPerspective"), Resource("PERSPECTIVE", 102));
  EXPECT_TRUE(host_->HasTechnology("SysML"));
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
  addin_.Orba_MenuClick(host_, "", "-&SysML Technology", "&About");
  EXPECT_EQ(host_.use_count(), uses_before);
  EXPECT_TRUE(Calls().empty());
}

TEST_F(AddinTest, AllocationSearchDeliversTheDocumentInItsSecondTextWhateverTheFirst) {
  // Both texts arrive by reference: each comes back as text, the second
  // untouched while the add-in is disabled.
  std::vector<Variant> arguments = {Variant(host_), int32_t{5}, "untouched"};
  ASSERT_TRUE(automation::Call(addin_, "AllocationSearch", arguments).ok);
  EXPECT_EQ(arguments[1], Variant("5"));
  EXPECT_EQ(arguments[2], Variant("untouched"));
  Connect();
  for (std::string s1 : {"", "X", "<nothing & such>"}) {
    std::string s2 = "unchanged";
    EXPECT_EQ(addin_.AllocationSearch(host_, s1, s2), Variant(std::string()));
    EXPECT_EQ(s2, search::AllocationSearchDocument(*model_.Repository())) << s1;
  }
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
  addin_.DoNewDiagram(host_, "Block");  // an unknown kind creates nothing, silently
  EXPECT_TRUE(Diagrams().empty());
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

TEST_F(NewDiagramTest, ARootModelGetsTheSecondWarning) {
  model_.SelectPackage("root");
  addin_.DoNewDiagram(host_, "block");
  EXPECT_THAT(Warnings(), ElementsAre("A diagram cannot be added to a root model: please select "
                                      "a package inside it."));
  EXPECT_TRUE(model_.Package("root")->Diagrams()->Items().empty());
}

}  // namespace
}  // namespace addin
