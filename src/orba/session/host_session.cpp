#include "orba/session/host_session.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "automation/registry.h"
#include "base/environment.h"
#include "orba/store/host_services_objects.h"

namespace orba::session {
namespace {

using automation::Variant;

automation::ObjectPtr CreateRegisteredObject(const std::string& prog_id,
                                             const automation::CreationOptions& options) {
  return automation::Registry(automation::Registry::DefaultPath()).CreateObject(prog_id, options);
}

std::string KnownUserInterface(const std::string& name, const std::string& origin) {
  if (name != "qt" && name != "console" && name != "none") {
    throw SessionError("unknown user interface \"" + name + "\"" + origin +
                       "; choose qt, console or none");
  }
  return name;
}

}  // namespace

automation::CreationOptions ChooseUserInterface(const std::string& choice) {
  if (!choice.empty()) return {KnownUserInterface(choice, ""), true};
  if (base::IsSetInEnvironment("ORBA_UI"))
    return {KnownUserInterface(std::getenv("ORBA_UI"), " in $ORBA_UI"), true};
  return {base::DisplayNamed() ? "qt" : "console", false};
}

HostSession::HostSession(SessionOptions options)
    : options_(std::move(options)),
      diagnostics_(options_.diagnostics ? options_.diagnostics : &std::cerr),
      repository_(std::make_shared<store::ModelRepository>(this)) {
  repository_->SetBuildNumber(options_.host_build);
}

HostSession::~HostSession() {
  for (const LoadedAddin& addin : addins_) CallAddin(addin.name, "Orba_Disconnect", {});
  addins_.clear();
  repository_->SetHostServices(nullptr);
  repository_->CloseModel();
}

// --- Add-ins -------------------------------------------------------------------

void HostSession::LoadAddins() {
  const automation::CreationOptions creation = ChooseUserInterface(options_.ui);
  const auto create = options_.create_addin ? options_.create_addin : CreateRegisteredObject;
  for (const AddinEntry& entry : options_.addins) {
    try {
      addins_.push_back(LoadedAddin{entry.name, create(entry.prog_id, creation)});
    } catch (const std::exception& error) {
      throw SessionError("cannot load add-in " + entry.name + ": " + error.what());
    }
  }
  CallEveryAddin("Orba_Connect", {});
  CallEveryAddin("Orba_OnPostInitialized", {});
}

automation::ObjectPtr HostSession::FindAddin(const std::string& name) const {
  auto found = std::ranges::find(addins_, name, &LoadedAddin::name);
  return found == addins_.end() ? nullptr : found->object;
}

const LoadedAddin& HostSession::Addin(const std::string& name) const {
  auto found = std::ranges::find(addins_, name, &LoadedAddin::name);
  if (found == addins_.end()) throw SessionError("add-in " + name + " is not loaded");
  return *found;
}

automation::CallResult HostSession::CallAddin(const std::string& name, const std::string& operation,
                                              std::vector<Variant>& args) {
  const automation::ObjectPtr addin = Addin(name).object;
  ++addin_calls_running_;
  automation::CallResult result = automation::Call(*addin, operation, args);
  --addin_calls_running_;
  if (!result.ok) {
    *diagnostics_ << AddinFailure(name, operation, result.error) << std::endl;
    failed_calls_.push_back(FailedCall{name, operation, result.error});
  }
  if (addin_calls_running_ == 0) DeliverAnnouncements();
  return result;
}

automation::CallResult HostSession::CallAddin(const std::string& name, const std::string& operation,
                                              std::vector<Variant>&& args) {
  return CallAddin(name, operation, args);
}

void HostSession::CallEveryAddin(const std::string& operation, const std::vector<Variant>& extra) {
  for (const LoadedAddin& addin : addins_) {
    std::vector<Variant> args = {repository_};
    args.insert(args.end(), extra.begin(), extra.end());
    CallAddin(addin.name, operation, args);
  }
}

// --- Models --------------------------------------------------------------------

void HostSession::CreateModel(const std::string& path) {
  repository_->CreateModel(path);
  NotifyFileOpened();
}

void HostSession::OpenModel(const std::string& path, store::ModelRepository::Access access) {
  repository_->Open(path, access);
  NotifyFileOpened();
}

void HostSession::NotifyFileOpened() { CallEveryAddin("Orba_FileOpen", {}); }

// --- Searches and windows --------------------------------------------------------

searches::SearchResult HostSession::Search(const std::string& name, const std::string& term) {
  return searches::RunSearch(
      repository_, [this](const std::string& addin) { return FindAddin(addin); }, name, term);
}

void HostSession::RunSearch(const std::string& name, const std::string& term,
                            const std::string& /*options*/, const std::string& /*data*/) {
  searches::SearchResult result = Search(name, term);
  if (search_listener_) search_listener_(result);
}

// The command-line host keeps no diagram windows open, so there is nothing to redraw.
void HostSession::RedrawOpenDiagrams(bool /*full*/) {}

void HostSession::OpenDiagram(int32_t diagram_id) {
  host::DiagramPtr diagram = repository_->GetDiagramByID(diagram_id);
  if (!diagram) throw host::Error("no diagram has the id " + std::to_string(diagram_id));
  if (diagram_listener_) diagram_listener_(diagram);
}

void HostSession::ElementCreated(int32_t element_id) {
  Announce([this, element_id] {
    auto info = std::make_shared<store::EventArgumentList>(std::vector<Variant>{element_id});
    CallEveryAddin("Orba_OnPostNewElement", {Variant(info)});
  });
}

void HostSession::ItemModified(const std::string& guid, int32_t object_type) {
  Announce([this, guid, object_type] {
    CallEveryAddin("Orba_OnNotifyContextItemModified", {guid, object_type});
  });
}

void HostSession::Announce(std::function<void()> notification) {
  announcements_.push_back(std::move(notification));
  if (addin_calls_running_ == 0) DeliverAnnouncements();
}

void HostSession::DeliverAnnouncements() {
  // Each delivery is an add-in call of its own, whose announcements follow it.
  while (!announcements_.empty()) {
    std::function<void()> next = std::move(announcements_.front());
    announcements_.erase(announcements_.begin());
    next();
  }
}

}  // namespace orba::session
