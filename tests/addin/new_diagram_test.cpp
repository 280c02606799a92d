// New SysML diagrams, created in the selected package of a real model.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "addin/tessary.h"
#include "orba/store/model_repository.h"
#include "support/fault_injection.h"
#include "support/recording_repository.h"
#include "support/test_model.h"
#include "support/test_platform.h"

namespace addin {
namespace {

constexpr char kModel[] = R"({
  "packages": [{"key": "root", "name": "Model"},
               {"key": "reqs", "name": "Reqs", "parent": "root"}]})";

class NewDiagramTest : public testing::Test {
 protected:
  NewDiagramTest() { addin_.Orba_Connect(model_.Repository()); }

  void Select(const std::string& key) {
    std::dynamic_pointer_cast<orba::store::ModelRepository>(model_.Repository())
        ->SelectPackage(model_.PackageId(key));
  }
  std::vector<host::DiagramPtr> Diagrams() { return model_.Package("reqs")->Diagrams()->Items(); }

  testing_support::TestModel model_{kModel};
  testing_support::TestPlatform platform_;
  CTessary addin_{platform_.platform};
};

struct KindCase {
  const char* kind;
  const char* type;
};

class DiagramKindTest : public NewDiagramTest, public testing::WithParamInterface<KindCase> {};

TEST_P(DiagramKindTest, CreatesADiagramNamedAfterItsPackage) {
  Select("reqs");
  addin_.DoNewDiagram(model_.Repository(), GetParam().kind);
  const auto diagrams = Diagrams();
  ASSERT_EQ(diagrams.size(), 1u);
  EXPECT_EQ(diagrams[0]->Name(), "Reqs");
  EXPECT_EQ(diagrams[0]->Type(), GetParam().type);
  EXPECT_EQ(diagrams[0]->DisplayFlags(), 0);
  EXPECT_TRUE(platform_.ui->MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Kinds, DiagramKindTest,
                         testing::Values(KindCase{"block", "SysML::BlockDefinition"},
                                         KindCase{"internal block", "SysML::InternalBlock"},
                                         KindCase{"parametric", "SysML::Parametric"},
                                         KindCase{"requirement", "SysML::Requirement"}));

TEST_F(NewDiagramTest, SavesTheDiagramRefreshesTheListAndOpensIt) {
  Select("reqs");
  auto faults = std::make_shared<testing_support::FaultInjectingRepository>(model_.Repository());
  auto recording = std::make_shared<testing_support::RecordingRepository>(faults);
  addin_.DoNewDiagram(recording, "requirement");
  EXPECT_THAT(faults->Plan().Calls(),
              testing::ElementsAre("Repository.GetSelectedPackage", "Package.ParentID",
                                   "Package.Name", "Package.Diagrams", "Collection.AddNew",
                                   "Diagram.SetDisplayFlags", "Diagram.Update", "Package.Diagrams",
                                   "Collection.Refresh", "Diagram.DiagramID",
                                   "Repository.OpenDiagram"));
  ASSERT_EQ(Diagrams().size(), 1u);
  EXPECT_EQ(recording->LastArgument("OpenDiagram"), std::to_string(Diagrams()[0]->DiagramID()));
}

TEST_F(NewDiagramTest, AnUnknownKindCreatesNothingSilently) {
  Select("reqs");
  addin_.DoNewDiagram(model_.Repository(), "Block");
  EXPECT_TRUE(Diagrams().empty());
  EXPECT_TRUE(platform_.ui->MessageBoxes().empty());
}

TEST_F(NewDiagramTest, ARootModelGetsTheSecondWarning) {
  Select("root");
  addin_.DoNewDiagram(model_.Repository(), "block");
  ASSERT_EQ(platform_.ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(platform_.ui->MessageBoxes()[0].text,
            "A diagram cannot be added to a root model: please select a package inside it.");
  EXPECT_TRUE(model_.Package("root")->Diagrams()->Items().empty());
}

}  // namespace
}  // namespace addin
