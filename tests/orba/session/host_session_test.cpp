#include "orba/session/host_session.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
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
        repositories.push_back(args[0].As<host::Repository>());
        return Record(name, "");
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
    // Runs `inside` within an add-in call, as an event handler may.
    AddMethod("Inside", 1, [this](Args args) {
      Record("Inside", "begins");
      inside(args[0].As<host::Repository>());
      return Record("Inside", "ends");
    });
  }

  std::vector<std::string> calls;
  std::vector<host::RepositoryPtr> repositories;
  std::set<std::string> failing;
  std::function<void(const host::RepositoryPtr&)> inside;

 private:
  Variant Record(const std::string& operation, const std::string& detail) {
    calls.push_back(detail.empty() ? operation : operation + " " + detail);
    if (failing.contains(operation)) throw host::Error(operation + " is broken");
    return Variant();
  }
};

class HostSessionTest : public ::testing::Test {
 protected:
  SessionOptions Options() {
    SessionOptions options;
    options.ui = "none";
    options.diagnostics = &diagnostics_;
    options.create_addin =
        [this](const std::string& prog_id,
               const automation::CreationOptions& creation) -> automation::ObjectPtr {
      created_.push_back(prog_id + " with ui " + creation.user_interface);
      return addin_;
    };
    return options;
  }

  std::ostringstream diagnostics_;
  std::shared_ptr<RecordingAddin> addin_ = std::make_shared<RecordingAddin>();
  std::vector<std::string> created_;
};

// The add-in is created by its ProgID once the user interface is chosen, then
// connected, started and told of each model with the session's repository; a
// failed call is reported and the host goes on. Ending a session disconnects
// the add-in, then closes the model.
TEST_F(HostSessionTest, TheAddinFollowsTheSessionAndWhatFailsIsReported) {
  addin_->failing = {"Orba_Connect"};
  const testing_support::TempFolder folder;
  const std::string path = (folder.path() / "model.obx").string();
  store::ModelRepositoryPtr first;
  {
    HostSession session(Options());
    session.LoadAddins();
    EXPECT_THAT(created_, ElementsAre("Tessary.CTessary with ui none"));
    EXPECT_EQ(session.Addin("SysML").object, addin_);
    EXPECT_EQ(diagnostics_.str(), "add-in SysML: Orba_Connect failed: Orba_Connect is broken\n");
    EXPECT_FALSE(session.CallAddin("SysML", "Orba_Nothing", {}).ok);
    EXPECT_THAT(diagnostics_.str(), HasSubstr("add-in SysML: Orba_Nothing failed: "));
    EXPECT_THROW(session.CallAddin("UML", "Orba_FileOpen", {}), SessionError);
    session.CreateModel(path);
    EXPECT_EQ(session.Repository()->ModelLocation(), path);
    first = session.Repository();
  }
  EXPECT_FALSE(first->IsOpen());
  HostSession session(Options());
  session.LoadAddins();
  session.OpenModel(path, store::ModelRepository::Access::kReadOnly);
  EXPECT_TRUE(session.Repository()->IsReadOnly());
  EXPECT_THAT(addin_->calls, ElementsAre("Orba_Connect", "Orba_OnPostInitialized", "Orba_FileOpen",
                                         "Orba_Disconnect", "Orba_Connect",
                                         "Orba_OnPostInitialized", "Orba_FileOpen"));
  const host::RepositoryPtr second = session.Repository();
  EXPECT_THAT(addin_->repositories, ElementsAre(first, first, first, second, second, second));
}

// A change made inside an add-in call is announced after the call returns.
TEST_F(HostSessionTest, ChangesAreAnnouncedAndWhatTheAddinCannotOpenFailsItsCall) {
  HostSession session(Options());
  session.LoadAddins();
  const store::ModelRepositoryPtr& repository = session.Repository();
  repository->CreateInMemoryModel();
  store::ImportJsonModel(*repository, R"({"packages": [{"key": "root", "name": "Model"}],
      "elements": [{"key": "car", "package": "root", "type": "Class"}]})");
  addin_->calls.clear();
  const host::PackagePtr root = repository->GetPackageByID(repository->PackageIds().at(0));
  host::ElementPtr car = root->Elements()->Items().at(0);
  car->SetAbstract("1");
  car->Update();
  host::ElementPtr added = root->Elements()->AddNew("Engine", "Class");
  added->Update();
  addin_->inside = [&](const host::RepositoryPtr&) {
    car->SetAbstract("0");
    car->Update();
  };
  ASSERT_TRUE(session.CallAddin("SysML", "Inside", {repository}).ok);
  const std::string modified = "Orba_OnNotifyContextItemModified " + car->ElementGUID() + " 4";
  EXPECT_THAT(addin_->calls,
              ElementsAre(modified, "Orba_OnPostNewElement " + std::to_string(added->ElementID()),
                          "Inside begins", "Inside ends", modified));

  // A search or diagram that is not there fails the call (`orba click` shows those that are).
  addin_->inside = [](const auto& r) { r->RunSearch("Nothing", "", "", ""); };
  EXPECT_FALSE(session.CallAddin("SysML", "Inside", {repository}).ok);
  addin_->inside = [](const auto& r) { r->OpenDiagram(100); };
  EXPECT_FALSE(session.CallAddin("SysML", "Inside", {repository}).ok);
  EXPECT_THAT(diagnostics_.str(),
              HasSubstr("add-in SysML: Inside failed: no search named \"Nothing\""));
  EXPECT_THAT(diagnostics_.str(), HasSubstr("no diagram has the id 100"));
}

// The choice, $ORBA_UI and $DISPLAY (null: not set), and the user interface
// chosen (null: refused), required when the user named it.
TEST(ChooseUserInterfaceTest, TheChoiceElseOrbaUiElseTheDisplayDecides) {
  struct Case {
    const char* choice;
    const char* orba_ui;
    const char* display;
    const char* expected;
    bool required;
  };
  const Case cases[] = {
      {"none", "qt", ":0", "none", true},       {"console", nullptr, nullptr, "console", true},
      {"qt", nullptr, nullptr, "qt", true},     {"", "qt", nullptr, "qt", true},
      {"", "none", ":0", "none", true},         {"", nullptr, ":0", "qt", false},
      {"", nullptr, nullptr, "console", false}, {"gtk", nullptr, nullptr, nullptr, false},
      {"", "gtk", ":0", nullptr, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.choice) + " " + (c.orba_ui ? c.orba_ui : "-") + " " +
                 (c.display ? c.display : "-"));
    testing_support::ScopedEnvironment environment;
    environment.Set("ORBA_UI", c.orba_ui);
    environment.Set("DISPLAY", c.display);
    environment.Set("WAYLAND_DISPLAY", nullptr);
    if (!c.expected) {
      EXPECT_THROW(ChooseUserInterface(c.choice), SessionError);
    } else {
      const automation::CreationOptions chosen = ChooseUserInterface(c.choice);
      EXPECT_EQ(chosen.user_interface, c.expected);
      EXPECT_EQ(chosen.user_interface_required, c.required);
    }
  }
}

}  // namespace
}  // namespace orba::session
