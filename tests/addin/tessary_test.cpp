// The add-in's life with its host: connecting (and refusing old hosts), the
// start-up, the compartments it offers, and its operations called by name,
// while disabled and with no Repository at all.
#include "addin/tessary.h"

#include <fstream>
#include <sstream>

#include "addin/addin_fixture.h"
#include "search/allocation_search.h"

namespace addin {
namespace {

using automation::Variant;
using testing::ElementsAre;
using testing::HasSubstr;

TEST_F(AddinTest, ConstructionLeavesTheAddinDisabledWithItsHelpFileBesideTheModule) {
  EXPECT_TRUE(addin_.Disabled());
  EXPECT_EQ(addin_.HelpFile(), "/opt/sysml/Orba_SysML.chm");
  EXPECT_EQ(addin_.Compartments, "");
}

struct GateCase {
  int32_t build;
  bool accepted;
  friend void PrintTo(const GateCase& c, std::ostream* out) { *out << "build " << c.build; }
};

class VersionGateTest : public AddinTest, public testing::WithParamInterface<GateCase> {};

TEST_P(VersionGateTest, RefusesHostsOlderThan797) {
  Plan().Answer("Repository.BuildNumber", std::to_string(GetParam().build));
  platform_.settings->SetOption("Parts", "1");
  EXPECT_EQ(addin_.Orba_Connect(host_), "");
  EXPECT_EQ(addin_.Disabled(), !GetParam().accepted);
  if (GetParam().accepted) {
    EXPECT_TRUE(platform_.ui->MessageBoxes().empty());
    EXPECT_EQ(addin_.Compartments, "parts");
  } else {
    EXPECT_THAT(platform_.ui->MessageBoxes(),
                ElementsAre(platform::RecordedMessageBox{
                    "Add-in will only work with Orba 6.5 or later.", "Quindle Technology for SysML",
                    platform::MessageIcon::kCriticalStop}));
    EXPECT_EQ(addin_.Compartments, "");
    EXPECT_EQ(platform_.settings->reads, 0);
    Plan().ClearCalls();
    addin_.Orba_OnPostInitialized(host_);  // the search is not registered
    EXPECT_THAT(Calls(), testing::IsEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(Builds, VersionGateTest,
                         testing::Values(GateCase{796, false}, GateCase{797, true},
                                         GateCase{798, true}, GateCase{-5, false},
                                         GateCase{0, false}, GateCase{1558, true}));

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

TEST_F(AddinTest, AStoredSwitchThatIsNotANumberFailsTheQuery) {
  Connect();
  platform_.settings->SetOption("Parameters", "yes");
  const automation::CallResult result = CallByName("Orba_QueryAvailableCompartments");
  EXPECT_FALSE(result.ok);
  EXPECT_THAT(result.error, HasSubstr("\"yes\" is not a number"));
}

TEST_F(AddinTest, PostInitializedHandsTheSearchDefinitionToTheHost) {
  Connect();
  addin_.Orba_OnPostInitialized(host_);
  ASSERT_THAT(Plan().Calls(), ElementsAre("Repository.RegisterSearches"));
  std::ifstream file(std::string(TESSARY_SOURCE_ROOT) + "/src/resources/custom_search.xml",
                     std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  EXPECT_EQ(Plan().LastArgument("Repository.RegisterSearches"), bytes.str());
}

TEST_F(AddinTest, DisconnectChangesNothing) {
  Connect();
  addin_.Orba_Disconnect();
  EXPECT_FALSE(addin_.Disabled());
  EXPECT_TRUE(automation::Call(addin_, "Orba_Disconnect", {}).ok);
  platform_.settings->SetOption("Parts", "1");
  EXPECT_EQ(automation::Call(addin_, "GetAvailableCompartments", {}).value.String(), "parts");
}

TEST_F(AddinTest, AFailingHostCallIsTheOperationsErrorResult) {
  Plan().FailOn("Repository.BuildNumber");
  const automation::CallResult result = CallByName("Orba_Connect");
  EXPECT_FALSE(result.ok);
  EXPECT_THAT(result.error, HasSubstr("injected failure of Repository.BuildNumber"));
  EXPECT_TRUE(addin_.Disabled());
}

TEST_F(AddinTest, CompartmentsIsAReadWriteProperty) {
  ASSERT_TRUE(automation::PutProperty(addin_, "Compartments", Variant("parts")).ok);
  EXPECT_EQ(automation::GetProperty(addin_, "Compartments").value.String(), "parts");
}

TEST_F(AddinTest, ARepositoryArgumentMustBeAnObject) {
  Variant argument("not a repository");
  const automation::CallResult result = automation::Call(addin_, "Orba_Connect", {&argument, 1});
  EXPECT_FALSE(result.ok);
  EXPECT_THAT(result.error, HasSubstr("expected an object reference"));
}

// While disabled, every operation answers its neutral value and makes only the
// host calls listed (the menu asks the host's build; file-open asks whether
// the technology is loaded and reads the stored toolbox choice).
const Variant kNoText = Variant(std::string());
const Scenario kEveryOperation[] = {
    {.name = "Orba_OnPostInitialized", .operation = "Orba_OnPostInitialized"},
    {.name = "Orba_GetMenuItems",
     .operation = "Orba_GetMenuItems",
     .arguments = {"", "-&SysML Technology"},
     .calls = {"BuildNumber()"},
     .result = std::vector<Variant>{"&Help", "&About"}},
    {.name = "Orba_MenuClick",
     .operation = "Orba_MenuClick",
     .arguments = {"", "-&SysML Technology", "&Options"}},
    {.name = "Orba_FileOpen", .operation = "Orba_FileOpen", .calls = {"HasTechnology(SysML)"}},
    {.name = "OpenExampleModel", .operation = "OpenExampleModel"},
    {.name = "ShowTechnology", .operation = "ShowTechnology"},
    {.name = "HideTechnology", .operation = "HideTechnology"},
    {.name = "ShowPerspective", .operation = "ShowPerspective"},
    {.name = "AllocationSearch",
     .operation = "AllocationSearch",
     .arguments = {"", "untouched"},
     .result = kNoText},
    {.name = "DoLoad", .operation = "DoLoad"},
    {.name = "DoUnload", .operation = "DoUnload"},
    {.name = "DoNewDiagram", .operation = "DoNewDiagram", .arguments = {"block"}},
    {.name = "Orba_OnPostNewElement",
     .operation = "Orba_OnPostNewElement",
     .arguments = {automation::ObjectPtr()},
     .result = false},
    {.name = "Orba_OnInitializeUserRules", .operation = "Orba_OnInitializeUserRules"},
    {.name = "Orba_OnRunElementRule",
     .operation = "Orba_OnRunElementRule",
     .arguments = {"H1", automation::ObjectPtr()}},
    {.name = "Orba_OnRunPackageRule",
     .operation = "Orba_OnRunPackageRule",
     .arguments = {"H1", int32_t{1}}},
    {.name = "Orba_OnRunConnectorRule",
     .operation = "Orba_OnRunConnectorRule",
     .arguments = {"H1", int32_t{1}}},
    {.name = "Orba_OnRunMethodRule",
     .operation = "Orba_OnRunMethodRule",
     .arguments = {"H1", "{G}", int32_t{1}}},
    {.name = "Orba_QueryAvailableCompartments",
     .operation = "Orba_QueryAvailableCompartments",
     .result = kNoText},
    {.name = "Orba_GetCompartmentData",
     .operation = "Orba_GetCompartmentData",
     .arguments = {"parts", "{G}", int32_t{4}},
     .result = kNoText},
    {.name = "Orba_OnNotifyContextItemModified",
     .operation = "Orba_OnNotifyContextItemModified",
     .arguments = {"{G}", int32_t{4}}},
};

class DisabledTest : public ScenarioTest {};

TEST_P(DisabledTest, DoesNothingAndAnswersItsNeutralValue) {
  Scenario disabled = GetParam();
  disabled.connected = false;
  disabled.answers = {{"HasTechnology", "True"}};
  disabled.stored = "Parts=1;ShowAlways=1";
  Play(disabled);
}

INSTANTIATE_TEST_SUITE_P(Operations, DisabledTest, testing::ValuesIn(kEveryOperation),
                         ScenarioName);

// A host that hands an enabled add-in no Repository at all: each operation
// does nothing or fails with an error saying what is missing; none crashes.
class NothingRepositoryTest : public ScenarioTest {};

TEST_P(NothingRepositoryTest, FailsOrDoesNothingButNeverCrashes) {
  Connect();
  std::vector<Variant> arguments = GetParam().arguments;
  arguments.insert(arguments.begin(), Variant(automation::ObjectPtr()));
  const automation::CallResult result = automation::Call(addin_, GetParam().operation, arguments);
  if (!result.ok) {
    EXPECT_THAT(result.error, HasSubstr("is nothing"));
  }
}

INSTANTIATE_TEST_SUITE_P(Operations, NothingRepositoryTest, testing::ValuesIn(kEveryOperation),
                         ScenarioName);

TEST_F(AddinTest, OperationsThatTestForNothingDoNothingWithoutARepository) {
  Connect();
  const Variant nothing{automation::ObjectPtr()};
  std::vector<Variant> file_open = {nothing};
  EXPECT_TRUE(automation::Call(addin_, "Orba_FileOpen", file_open).ok);
  std::vector<Variant> modified = {nothing, "{G}", int32_t{4}};
  EXPECT_TRUE(automation::Call(addin_, "Orba_OnNotifyContextItemModified", modified).ok);
  std::vector<Variant> menu = {nothing, "", "-&SysML Technology"};
  EXPECT_EQ(automation::Call(addin_, "Orba_GetMenuItems", menu).error,
            "object variable not set: the Repository argument is nothing");
}

TEST_F(AddinTest, AllocationSearchDeliversTheDocumentInItsSecondTextWhateverTheFirst) {
  Connect();
  for (std::string s1 : {"", "X", "<nothing & such>"}) {
    std::string s2 = "unchanged";
    EXPECT_EQ(addin_.AllocationSearch(host_, s1, s2), Variant(std::string()));
    EXPECT_EQ(s2, search::AllocationSearchDocument(*model_.Repository())) << s1;
  }
}

TEST_F(AddinTest, DisabledAllocationSearchLeavesItsResultArgumentAlone) {
  std::vector<Variant> arguments = {Variant(host_), "term", "untouched"};
  ASSERT_TRUE(automation::Call(addin_, "AllocationSearch", arguments).ok);
  EXPECT_EQ(arguments[2].String(), "untouched");
}

}  // namespace
}  // namespace addin
