// The add-in's life with its host beyond the conversations of cases/: the
// documents it hands the host, the About dialog, the allocation search and
// new diagrams in a real package.
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

TEST_F(AddinTest, ConstructionLeavesTheAddinDisabledWithItsHelpFileBesideTheModule) {
  EXPECT_TRUE(addin_.Disabled());
  EXPECT_EQ(addin_.HelpFile(), "/opt/sysml/Orba_SysML.chm");
  EXPECT_EQ(addin_.Compartments, "");
  ASSERT_TRUE(automation::PutProperty(addin_, "Compartments", Variant("parts")).ok);
  EXPECT_EQ(automation::GetProperty(addin_, "Compartments").value.String(), "parts");
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
  EXPECT_THAT(Plan().Calls(), testing::IsEmpty());
}

// Both texts arrive by reference and come back as text; the second holds the
// document, or stays untouched while the add-in is disabled.
TEST_F(AddinTest, AllocationSearchDeliversTheDocumentInItsSecondTextWhateverTheFirst) {
  std::vector<Variant> arguments = {Variant(host_), int32_t{5}, "untouched"};
  ASSERT_TRUE(automation::Call(addin_, "AllocationSearch", arguments).ok);
  EXPECT_EQ(arguments[2], Variant("untouched"));
  Connect();
  const automation::CallResult result = automation::Call(addin_, "AllocationSearch", arguments);
  EXPECT_EQ(result.value, Variant(std::string()));
  EXPECT_EQ(arguments[1], Variant("5"));
  EXPECT_EQ(arguments[2], Variant(search::AllocationSearchDocument(*model_.Repository())));
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

// Each item of the menu creates its kind of diagram, named after the selected
// package, and opens it; the root model gets the second warning.
TEST_F(NewDiagramTest, EachItemCreatesADiagramNamedAfterItsPackageAndOpensIt) {
  addin_.DoNewDiagram(host_, "Block");  // an unknown kind creates nothing, silently
  EXPECT_TRUE(Diagrams().empty());
  const std::pair<const char*, const char*> items[] = {
      {"New &Block Definition Diagram", "SysML::BlockDefinition"},
      {"New &Internal Block Diagram", "SysML::InternalBlock"},
      {"New &Parametric Diagram", "SysML::Parametric"},
      {"New &Requirements Diagram", "SysML::Requirement"}};
  for (const auto& [item, type] : items) {
    Plan().ClearCalls();
    addin_.Orba_MenuClick(host_, "", "-&SysML Technology", item);
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
  EXPECT_TRUE(platform_.ui->MessageBoxes().empty());
  model_.SelectPackage("root");
  addin_.DoNewDiagram(host_, "block");
  EXPECT_THAT(platform_.ui->MessageBoxes(),
              ElementsAre(platform::RecordedMessageBox{
                  "A diagram cannot be added to a root model: please select a package inside it.",
                  "Quindle Technology for SysML", platform::MessageIcon::kExclamation}));
  EXPECT_TRUE(model_.Package("root")->Diagrams()->Items().empty());
}

}  // namespace
}  // namespace addin
