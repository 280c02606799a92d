#include "addin/tessary.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/recording_repository.h"
#include "support/test_platform.h"

namespace addin {
namespace {

using automation::Variant;
using testing::ElementsAre;
using testing_support::RecordingRepository;

class TessaryTest : public testing::Test {
 protected:
  TessaryTest() { repository_->build_number = 1558; }

  // Calls an operation by name, as the host does.
  automation::CallResult CallByName(const std::string& name, std::vector<Variant> args) {
    return automation::Call(addin_, name, args);
  }
  Variant Repo() { return Variant(repository_); }

  testing_support::TestPlatform platform_;
  CTessary addin_{platform_.platform};
  std::shared_ptr<RecordingRepository> repository_ = std::make_shared<RecordingRepository>();
};

TEST_F(TessaryTest, ConstructionLeavesTheAddinDisabledWithItsHelpFileBesideTheModule) {
  EXPECT_TRUE(addin_.Disabled());
  EXPECT_EQ(addin_.HelpFile(), "/opt/sysml/Orba_SysML.chm");
  EXPECT_EQ(addin_.Compartments, "");
}

struct GateCase {
  int32_t build;
  bool accepted;
};

class VersionGateTest : public TessaryTest, public testing::WithParamInterface<GateCase> {};

TEST_P(VersionGateTest, RefusesHostsOlderThan797) {
  repository_->build_number = GetParam().build;
  platform_.settings->SetOption("Parts", "1");
  EXPECT_EQ(addin_.Orba_Connect(repository_), "");
  EXPECT_EQ(addin_.Disabled(), !GetParam().accepted);
  if (GetParam().accepted) {
    EXPECT_TRUE(platform_.ui->MessageBoxes().empty());
    EXPECT_EQ(addin_.Compartments, "parts");
  } else {
    EXPECT_EQ(platform_.ui->MessageBoxes(),
              (std::vector<platform::RecordedMessageBox>{
                  {"Add-in will only work with Orba 6.5 or later.", "Quindle Technology for SysML",
                   platform::MessageIcon::kCriticalStop}}));
    EXPECT_EQ(addin_.Compartments, "");
    EXPECT_EQ(platform_.settings->reads, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Builds, VersionGateTest,
                         testing::Values(GateCase{796, false}, GateCase{797, true},
                                         GateCase{798, true}, GateCase{-5, false},
                                         GateCase{0, false}, GateCase{1558, true}));

TEST_F(TessaryTest, ARefusedHostKeepsTheAddinInert) {
  repository_->build_number = 796;
  addin_.Orba_Connect(repository_);
  repository_->ClearCalls();
  addin_.Orba_OnPostInitialized(repository_);
  EXPECT_TRUE(repository_->Calls().empty());  // the search is not registered
}

TEST_F(TessaryTest, AHostRefusedOnASecondConnectDisablesTheAddin) {
  addin_.Orba_Connect(repository_);
  repository_->build_number = 796;
  addin_.Orba_Connect(repository_);
  EXPECT_TRUE(addin_.Disabled());
}

TEST_F(TessaryTest, ConnectingTwiceRecomputesCompartmentsAndStaysEnabled) {
  addin_.Orba_Connect(repository_);
  EXPECT_EQ(addin_.Compartments, "");
  platform_.settings->SetOption("FlowPorts", "1");
  platform_.settings->SetOption("ShowCompartmentRequirements", "1");
  addin_.Orba_Connect(repository_);
  EXPECT_FALSE(addin_.Disabled());
  EXPECT_EQ(addin_.Compartments, "flow ports,requirements");
}

struct SwitchCase {
  std::vector<std::pair<std::string, std::string>> stored;
  std::string expected;
};

class CompartmentSwitchTest : public TessaryTest, public testing::WithParamInterface<SwitchCase> {};

TEST_P(CompartmentSwitchTest, ListsTheSwitchesThatAreExactlyOne) {
  for (const auto& [key, value] : GetParam().stored) platform_.settings->SetOption(key, value);
  addin_.Orba_Connect(repository_);
  EXPECT_EQ(addin_.Compartments, GetParam().expected);
  EXPECT_EQ(addin_.GetAvailableCompartments(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, CompartmentSwitchTest,
    testing::Values(
        SwitchCase{{}, ""}, SwitchCase{{{"ShowCompartmentRequirements", "1"}}, "requirements"},
        SwitchCase{{{"Parts", "2"}, {"FlowPorts", "-1"}, {"Parameters", "0"}}, ""},
        SwitchCase{{{"Parts", "1"},
                    {"FlowPorts", "1"},
                    {"Parameters", "1"},
                    {"AllocatedTo", "1"},
                    {"AllocatedFrom", "1"},
                    {"ShowCompartmentRequirements", "1"}},
                   "parts,flow ports,parameters,allocatedTo,allocatedFrom,requirements"},
        SwitchCase{{{"AllocatedFrom", "1"}, {"Parts", "1"}}, "parts,allocatedFrom"}));

TEST_F(TessaryTest, AStoredSwitchThatIsNotANumberFailsTheQuery) {
  addin_.Orba_Connect(repository_);
  platform_.settings->SetOption("Parameters", "yes");
  automation::CallResult result = CallByName("Orba_QueryAvailableCompartments", {Repo()});
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("\"yes\" is not a number"), std::string::npos) << result.error;
}

std::string SearchDocumentFile() {
  std::ifstream in(std::string(TESSARY_SOURCE_ROOT) + "/src/resources/custom_search.xml",
                   std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST_F(TessaryTest, PostInitializedHandsTheSearchDefinitionToTheHost) {
  addin_.Orba_Connect(repository_);
  repository_->ClearCalls();
  addin_.Orba_OnPostInitialized(repository_);
  ASSERT_THAT(repository_->CallNames(), ElementsAre("RegisterSearches"));
  const std::string document = repository_->LastArgument("RegisterSearches");
  EXPECT_EQ(document.size(), 270u);
  EXPECT_EQ(document, SearchDocumentFile());
  EXPECT_EQ(document,
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<RootSearch><Search Name=\"SysML "
            "Allocations\" GUID=\"{79D35FBB-FD52-4cfc-8495-0FA9B696E506}\" PkgGUID=\"-1\" "
            "Type=\"0\" LnksToObj=\"0\" CustomSearch=\"1\" "
            "AddinAndMethodName=\"SysML.AllocationSearch\"><SrchOn/><LnksTo/></Search></"
            "RootSearch>\r\n");
}

TEST_F(TessaryTest, FileOpenWithoutRepositoryOrTechnologyChangesNothing) {
  addin_.Orba_Connect(repository_);
  addin_.Orba_FileOpen(nullptr);
  repository_->has_technology = false;
  repository_->ClearCalls();
  addin_.Orba_FileOpen(repository_);
  EXPECT_THAT(repository_->Calls(), ElementsAre("HasTechnology(SysML)"));
}

TEST_F(TessaryTest, FileOpenReappliesTheStoredToolboxChoice) {
  addin_.Orba_Connect(repository_);
  repository_->has_technology = true;
  platform_.settings->SetOption("ShowAlways", "1");
  repository_->ClearCalls();
  addin_.Orba_FileOpen(repository_);
  platform_.settings->SetOption("ShowAlways", "0");
  addin_.Orba_FileOpen(repository_);
  EXPECT_THAT(repository_->Calls(),
              ElementsAre("HasTechnology(SysML)", "SetTechnologyVisibility(SysML, , True)",
                          "HasTechnology(SysML)", "SetTechnologyVisibility(SysML, , False)"));
}

TEST_F(TessaryTest, FileOpenWhileDisabledReadsTheChoiceButChangesNothing) {
  repository_->has_technology = true;
  addin_.Orba_FileOpen(repository_);
  EXPECT_THAT(repository_->Calls(), ElementsAre("HasTechnology(SysML)"));
  EXPECT_EQ(platform_.settings->reads, 1);
}

TEST_F(TessaryTest, DisconnectChangesNothing) {
  addin_.Orba_Connect(repository_);
  addin_.Orba_Disconnect();
  EXPECT_FALSE(addin_.Disabled());
  EXPECT_TRUE(CallByName("Orba_Disconnect", {}).ok);
  platform_.settings->SetOption("Parts", "1");
  EXPECT_EQ(CallByName("GetAvailableCompartments", {}).value.String(), "parts");
}

TEST_F(TessaryTest, AFailingHostCallIsTheOperationsErrorResult) {
  repository_->FailOn("BuildNumber");
  automation::CallResult result = CallByName("Orba_Connect", {Repo()});
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error, "injected failure of BuildNumber");
  EXPECT_TRUE(addin_.Disabled());
}

TEST_F(TessaryTest, AResourceOrSettingFailureEndsTheOperationWithWhatWasDoneKept) {
  addin_.Orba_Connect(repository_);
  repository_->has_technology = true;
  platform_.settings->SetOption("ShowAlways", "maybe");
  automation::CallResult result = CallByName("Orba_FileOpen", {Repo()});
  EXPECT_FALSE(result.ok);
  EXPECT_THAT(repository_->CallNames(), ElementsAre("BuildNumber", "HasTechnology"));
}

TEST_F(TessaryTest, TheInterfaceListsEveryOperationInOrder) {
  EXPECT_THAT(addin_.MethodNames(),
              ElementsAre("Orba_Connect", "Orba_Disconnect", "Orba_OnPostInitialized",
                          "Orba_GetMenuItems", "Orba_MenuClick", "Orba_FileOpen",
                          "OpenExampleModel", "ShowTechnology", "HideTechnology",
                          "ShowPerspective", "AllocationSearch", "DoLoad", "DoUnload",
                          "DoNewDiagram", "Orba_OnPostNewElement", "Orba_OnInitializeUserRules",
                          "Orba_OnRunElementRule", "Orba_OnRunPackageRule",
                          "Orba_OnRunConnectorRule", "Orba_OnRunMethodRule",
                          "GetAvailableCompartments", "Orba_QueryAvailableCompartments",
                          "Orba_GetCompartmentData", "Orba_OnNotifyContextItemModified"));
}

TEST_F(TessaryTest, CompartmentsIsAReadWriteProperty) {
  ASSERT_TRUE(automation::PutProperty(addin_, "Compartments", Variant("parts")).ok);
  EXPECT_EQ(automation::GetProperty(addin_, "Compartments").value.String(), "parts");
}

TEST_F(TessaryTest, ARepositoryArgumentMustBeAnObject) {
  automation::CallResult result = CallByName("Orba_Connect", {Variant("not a repository")});
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("expected an object reference"), std::string::npos);
}

// While disabled, every operation answers its neutral value and makes only
// the host calls listed (the menu asks the host's build; file-open asks
// whether the technology is loaded).
struct DisabledCase {
  std::string operation;
  std::vector<Variant> extra_args;
  Variant expected;
  std::vector<std::string> calls;
};

class DisabledStateTest : public TessaryTest, public testing::WithParamInterface<DisabledCase> {};

TEST_P(DisabledStateTest, DoesNothingAndAnswersItsNeutralValue) {
  repository_->has_technology = true;
  repository_->model_location = "/models/m.obx";
  platform_.settings->SetOption("Parts", "1");
  std::vector<Variant> args = {Repo()};
  for (const auto& extra : GetParam().extra_args) args.push_back(extra);
  automation::CallResult result = CallByName(GetParam().operation, args);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.value, GetParam().expected);
  EXPECT_EQ(repository_->CallNames(), GetParam().calls);
  EXPECT_TRUE(platform_.ui->MessageBoxes().empty());
  EXPECT_TRUE(platform_.ui->DialogsShown().empty());
  EXPECT_TRUE(platform_.settings->Writes().empty());
}

const Variant kEmpty;
const Variant kNoText = Variant(std::string());

const auto kEveryOperation = testing::Values(
    DisabledCase{"Orba_OnPostInitialized", {}, kEmpty, {}},
    DisabledCase{"Orba_GetMenuItems",
                 {Variant(""), Variant("-&SysML Technology")},
                 Variant(std::vector<Variant>{Variant("&Help"), Variant("&About")}),
                 {"BuildNumber"}},
    DisabledCase{"Orba_MenuClick",
                 {Variant(""), Variant("-&SysML Technology"), Variant("&Options")},
                 kEmpty,
                 {}},
    DisabledCase{"Orba_FileOpen", {}, kEmpty, {"HasTechnology"}},
    DisabledCase{"OpenExampleModel", {}, kEmpty, {}},
    DisabledCase{"ShowTechnology", {}, kEmpty, {}}, DisabledCase{"HideTechnology", {}, kEmpty, {}},
    DisabledCase{"ShowPerspective", {}, kEmpty, {}},
    DisabledCase{"AllocationSearch", {Variant(""), Variant("untouched")}, kNoText, {}},
    DisabledCase{"DoLoad", {}, kEmpty, {}}, DisabledCase{"DoUnload", {}, kEmpty, {}},
    DisabledCase{"DoNewDiagram", {Variant("block")}, kEmpty, {}},
    DisabledCase{"Orba_OnPostNewElement", {Variant(automation::ObjectPtr())}, Variant(false), {}},
    DisabledCase{"Orba_OnInitializeUserRules", {}, kEmpty, {}},
    DisabledCase{
        "Orba_OnRunElementRule", {Variant("H1"), Variant(automation::ObjectPtr())}, kEmpty, {}},
    DisabledCase{"Orba_OnRunPackageRule", {Variant("H1"), Variant(int32_t{1})}, kEmpty, {}},
    DisabledCase{"Orba_OnRunConnectorRule", {Variant("H1"), Variant(int32_t{1})}, kEmpty, {}},
    DisabledCase{
        "Orba_OnRunMethodRule", {Variant("H1"), Variant("{G}"), Variant(int32_t{1})}, kEmpty, {}},
    DisabledCase{"Orba_QueryAvailableCompartments", {}, kNoText, {}},
    DisabledCase{"Orba_GetCompartmentData",
                 {Variant("parts"), Variant("{G}"), Variant(int32_t{4})},
                 kNoText,
                 {}},
    DisabledCase{
        "Orba_OnNotifyContextItemModified", {Variant("{G}"), Variant(int32_t{4})}, kEmpty, {}});

std::string OperationName(const testing::TestParamInfo<DisabledCase>& info) {
  return info.param.operation;
}

INSTANTIATE_TEST_SUITE_P(Operations, DisabledStateTest, kEveryOperation, OperationName);

// A host that hands an enabled add-in no Repository at all: each operation
// does nothing or fails with an error saying what is missing; none crashes.
class NothingRepositoryTest : public DisabledStateTest {};

TEST_P(NothingRepositoryTest, FailsOrDoesNothingButNeverCrashes) {
  addin_.Orba_Connect(repository_);
  std::vector<Variant> args = {Variant(automation::ObjectPtr())};
  for (const auto& extra : GetParam().extra_args) args.push_back(extra);
  const automation::CallResult result = CallByName(GetParam().operation, args);
  if (!result.ok) {
    EXPECT_THAT(result.error, testing::HasSubstr("is nothing"));
  }
}

INSTANTIATE_TEST_SUITE_P(Operations, NothingRepositoryTest, kEveryOperation, OperationName);

TEST_F(TessaryTest, OperationsThatTestForNothingDoNothingWithoutARepository) {
  addin_.Orba_Connect(repository_);
  const Variant nothing{automation::ObjectPtr()};
  EXPECT_TRUE(CallByName("Orba_FileOpen", {nothing}).ok);
  EXPECT_TRUE(
      CallByName("Orba_OnNotifyContextItemModified", {nothing, Variant("{G}"), Variant(4)}).ok);
  const automation::CallResult menu =
      CallByName("Orba_GetMenuItems", {nothing, Variant(""), Variant("-&SysML Technology")});
  EXPECT_EQ(menu.error, "object variable not set: the Repository argument is nothing");
}

TEST_F(TessaryTest, DisabledAllocationSearchLeavesItsResultArgumentAlone) {
  std::vector<Variant> args = {Repo(), Variant("term"), Variant("untouched")};
  ASSERT_TRUE(automation::Call(addin_, "AllocationSearch", args).ok);
  EXPECT_EQ(args[2].String(), "untouched");
}

}  // namespace
}  // namespace addin
