#include "orba/session/host_session.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>

#include "orba/store/json_model.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"

namespace orba::session {
namespace {

using automation::Variant;
using Args = std::span<Variant>;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// An add-in that records the host's calls ("Operation detail") and fails
// the operations named in `failing`.
class RecordingAddin : public automation::DispatchObject {
 public:
  RecordingAddin() {
    for (const char* name : {"Orba_Connect", "Orba_OnPostInitialized", "Orba_FileOpen"}) {
      AddMethod(name, 1, [this, name](Args args) {
        Record(name, "");
        repositories.push_back(args[0].As<host::Repository>());
        return Variant();
      });
    }
    AddMethod("Orba_Disconnect", 0, [this](Args) { return Record("Orba_Disconnect", ""); });
    AddMethod("Orba_OnPostNewElement", 2, [this](Args args) {
      return Record("Orba_OnPostNewElement",
                    args[1].As<host::EventArguments>()->Item(0)->Value().ToString());
    });
    AddMethod("Orba_OnNotifyContextItemModified", 3, [this](Args args) {
      return Record("Orba_OnNotifyContextItemModified",
                    args[1].ToString() + " " + args[2].ToString());
    });
    AddMethod("RunSearch", 2, [](Args args) {
      args[0].As<host::Repository>()->RunSearch(args[1].ToString(), "", "", "");
      return Variant();
    });
    // Changes an element inside an add-in call, as an event handler may.
    AddMethod("ChangeElement", 2, [this](Args args) {
      Record("ChangeElement", "begins");
      const host::ElementPtr element =
          args[0].As<host::Repository>()->GetElementByID(args[1].ToInt32());
      element->SetAbstract("1");
      element->Update();
      return Record("ChangeElement", "ends");
    });
    AddMethod("OpenDiagram", 2, [](Args args) {
      args[0].As<host::Repository>()->OpenDiagram(args[1].ToInt32());
      return Variant();
    });
  }

  std::vector<std::string> calls;
  std::vector<host::RepositoryPtr> repositories;
  std::set<std::string> failing;

 private:
  Variant Record(const std::string& operation, const std::string& detail) {
    calls.push_back(detail.empty() ? operation : operation + " " + detail);
    if (failing.contains(operation)) throw host::Error(operation + " is broken");
    return Variant();
  }
};

constexpr char kModel[] = R"json({
  "format": "orba-model", "version": 1,
  "packages": [{"key": "root", "name": "Model"}, {"key": "pkg", "name": "Structure", "parent": "root"}],
  "elements": [{"key": "car", "package": "pkg", "type": "Class", "name": "Car"}],
  "diagrams": [{"package": "pkg", "name": "Overview", "type": "SysML::BlockDefinition"}]
})json";

class HostSessionTest : public ::testing::Test {
 protected:
  HostSessionTest() { environment_.Set("ORBA_UI", nullptr); }

  SessionOptions Options() {
    SessionOptions options;
    options.ui = "none";
    options.diagnostics = &diagnostics_;
    options.create_addin = [this](const std::string& prog_id) -> automation::ObjectPtr {
      created_.push_back(prog_id + " with ORBA_UI=" + std::getenv("ORBA_UI"));
      return addin_;
    };
    return options;
  }

  // A session with its add-in loaded and a small model open in memory.
  std::unique_ptr<HostSession> SessionWithModel() {
    auto session = std::make_unique<HostSession>(Options());
    session->LoadAddins();
    session->Repository()->CreateInMemoryModel();
    store::ImportJsonModel(*session->Repository(), kModel);
    addin_->calls.clear();
    return session;
  }

  host::PackagePtr Structure(HostSession& session) {
    return session.Repository()->GetPackageByID(session.Repository()->PackageIds().at(1));
  }

  testing_support::ScopedEnvironment environment_;
  std::ostringstream diagnostics_;
  std::shared_ptr<RecordingAddin> addin_ = std::make_shared<RecordingAddin>();
  std::vector<std::string> created_;
};

// The add-in is created by its ProgID once the user interface is chosen, then
// connected and started with the session's repository.
TEST_F(HostSessionTest, LoadingCreatesConnectsAndStartsTheAddin) {
  HostSession session(Options());
  session.LoadAddins();
  EXPECT_THAT(created_, ElementsAre("Tessary.CTessary with ORBA_UI=none"));
  EXPECT_EQ(session.Addin("SysML").object, addin_);
  EXPECT_THAT(addin_->calls, ElementsAre("Orba_Connect", "Orba_OnPostInitialized"));
  EXPECT_THAT(addin_->repositories, ElementsAre(session.Repository(), session.Repository()));
}

TEST_F(HostSessionTest, TheRepositoryReportsTheHostBuildChosen) {
  SessionOptions options = Options();
  options.host_build = 796;
  HostSession session(options);
  EXPECT_EQ(session.Repository()->BuildNumber(), 796);
  EXPECT_EQ(HostSession(Options()).Repository()->BuildNumber(), 1558);
}

TEST_F(HostSessionTest, AFailedCallIsReportedAndTheHostGoesOn) {
  addin_->failing = {"Orba_Connect"};
  HostSession session(Options());
  session.LoadAddins();
  EXPECT_EQ(diagnostics_.str(), "add-in SysML: Orba_Connect failed: Orba_Connect is broken\n");
  EXPECT_THAT(addin_->calls, ElementsAre("Orba_Connect", "Orba_OnPostInitialized"));
}

TEST_F(HostSessionTest, CallAddinAnswersTheResultAndReportsAFailure) {
  HostSession session(Options());
  session.LoadAddins();
  const automation::CallResult unknown = session.CallAddin("SysML", "Orba_Nothing", {});
  EXPECT_FALSE(unknown.ok);
  EXPECT_THAT(diagnostics_.str(), HasSubstr("add-in SysML: Orba_Nothing failed: "));
  EXPECT_TRUE(session.CallAddin("SysML", "Orba_FileOpen", {session.Repository()}).ok);
  EXPECT_THROW(session.CallAddin("UML", "Orba_FileOpen", {}), SessionError);
}

TEST_F(HostSessionTest, AnUnregisteredProgIDTellsHowToRegisterIt) {
  testing_support::TempFolder folder;
  environment_.Set("ORBA_REGISTRY", (folder.path() / "components.ini").c_str());
  SessionOptions options = Options();
  options.create_addin = nullptr;
  HostSession session(options);
  try {
    session.LoadAddins();
    FAIL() << "the add-in was created";
  } catch (const SessionError& error) {
    EXPECT_THAT(error.what(), HasSubstr("cannot load add-in SysML: no component is registered as "
                                        "Tessary.CTessary"));
    EXPECT_THAT(error.what(), HasSubstr("orba register MODULE"));
  }
}

TEST_F(HostSessionTest, OpeningOrCreatingAModelTellsTheAddin) {
  testing_support::TempFolder folder;
  const std::string path = (folder.path() / "model.obx").string();
  {
    HostSession session(Options());
    session.LoadAddins();
    session.CreateModel(path);
    EXPECT_EQ(session.Repository()->ModelLocation(), path);
  }
  HostSession session(Options());
  session.LoadAddins();
  session.OpenModel(path, store::ModelRepository::Access::kReadOnly);
  EXPECT_TRUE(session.Repository()->IsReadOnly());
  EXPECT_THAT(addin_->calls, ElementsAre("Orba_Connect", "Orba_OnPostInitialized", "Orba_FileOpen",
                                         "Orba_Disconnect", "Orba_Connect",
                                         "Orba_OnPostInitialized", "Orba_FileOpen"));
}

TEST_F(HostSessionTest, EndingTheSessionDisconnectsTheAddinAndClosesTheModel) {
  store::ModelRepositoryPtr repository;
  {
    auto session = SessionWithModel();
    repository = session->Repository();
  }
  EXPECT_THAT(addin_->calls, ElementsAre("Orba_Disconnect"));
  EXPECT_FALSE(repository->IsOpen());
}

TEST_F(HostSessionTest, ElementsCreatedOrChangedThroughTheObjectModelAreAnnounced) {
  auto session = SessionWithModel();
  host::ElementPtr car = Structure(*session)->Elements()->Items().at(0);
  car->SetAbstract("1");
  car->Update();
  host::ElementPtr added = Structure(*session)->Elements()->AddNew("Engine", "Class");
  added->Update();
  EXPECT_THAT(addin_->calls,
              ElementsAre("Orba_OnNotifyContextItemModified " + car->ElementGUID() + " 4",
                          "Orba_OnPostNewElement " + std::to_string(added->ElementID())));
}

TEST_F(HostSessionTest, AChangeMadeInsideAnAddinCallIsAnnouncedAfterTheCallReturns) {
  auto session = SessionWithModel();
  host::ElementPtr car = Structure(*session)->Elements()->Items().at(0);
  addin_->calls.clear();
  ASSERT_TRUE(
      session->CallAddin("SysML", "ChangeElement", {session->Repository(), car->ElementID()}).ok);
  EXPECT_THAT(addin_->calls,
              ElementsAre("ChangeElement begins", "ChangeElement ends",
                          "Orba_OnNotifyContextItemModified " + car->ElementGUID() + " 4"));
}

TEST_F(HostSessionTest, ASearchTheAddinRunsIsHandedToTheListenerAndAnUnknownOneFails) {
  auto session = SessionWithModel();
  std::vector<std::string> shown;
  session->OnSearchResult(
      [&](const searches::SearchResult& result) { shown.push_back(result.name); });
  EXPECT_TRUE(session->CallAddin("SysML", "RunSearch", {session->Repository(), "Requirements"}).ok);
  EXPECT_FALSE(session->CallAddin("SysML", "RunSearch", {session->Repository(), "Nothing"}).ok);
  EXPECT_THAT(shown, ElementsAre("Requirements"));
  EXPECT_THAT(diagnostics_.str(),
              HasSubstr("add-in SysML: RunSearch failed: no search named \"Nothing\""));
}

TEST_F(HostSessionTest, ADiagramTheAddinOpensIsHandedToTheListener) {
  auto session = SessionWithModel();
  std::vector<std::string> opened;
  session->OnDiagramOpened(
      [&](const host::DiagramPtr& diagram) { opened.push_back(diagram->Name()); });
  const int32_t id = session->Repository()->DiagramIds().at(0);
  EXPECT_TRUE(session->CallAddin("SysML", "OpenDiagram", {session->Repository(), id}).ok);
  EXPECT_FALSE(session->CallAddin("SysML", "OpenDiagram", {session->Repository(), id + 100}).ok);
  EXPECT_THAT(opened, ElementsAre("Overview"));
  EXPECT_THAT(diagnostics_.str(), HasSubstr("no diagram has the id " + std::to_string(id + 100)));
}

struct UiCase {
  const char* choice;
  const char* orba_ui_before;  // null: not set
  const char* display;         // null: not set
  const char* expected;
  friend void PrintTo(const UiCase& ui, std::ostream* out) {
    *out << "choice=" << ui.choice << " ORBA_UI=" << (ui.orba_ui_before ? ui.orba_ui_before : "")
         << " DISPLAY=" << (ui.display ? ui.display : "");
  }
};

class ChooseUserInterfaceTest : public ::testing::TestWithParam<UiCase> {
 protected:
  testing_support::ScopedEnvironment environment_;
};

TEST_P(ChooseUserInterfaceTest, SetsOrbaUi) {
  environment_.Set("ORBA_UI", GetParam().orba_ui_before);
  environment_.Set("DISPLAY", GetParam().display);
  environment_.Set("WAYLAND_DISPLAY", nullptr);
  ChooseUserInterface(GetParam().choice);
  EXPECT_STREQ(std::getenv("ORBA_UI"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Choices, ChooseUserInterfaceTest,
                         ::testing::Values(UiCase{"none", "qt", ":0", "none"},
                                           UiCase{"console", nullptr, nullptr, "console"},
                                           UiCase{"qt", nullptr, nullptr, "qt"},
                                           UiCase{"", "none", ":0", "none"},
                                           UiCase{"", nullptr, ":0", "qt"},
                                           UiCase{"", nullptr, nullptr, "console"}));

TEST(ChooseUserInterfaceErrorTest, AnUnknownChoiceIsRefused) {
  EXPECT_THROW(ChooseUserInterface("gtk"), SessionError);
}

}  // namespace
}  // namespace orba::session
