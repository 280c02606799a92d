// HostSession: one run of the reference host. It owns the model repository,
// creates the add-ins of its add-in list by ProgID through the component
// registry and drives their lifecycle (Orba_Connect and
// Orba_OnPostInitialized at start, Orba_FileOpen after a model is opened,
// Orba_Disconnect at the end), and it is the application the repository
// reports to: searches run by add-ins, diagrams opened, elements created and
// items modified through the object model.
//
// Every add-in call goes through the automation boundary. A failed call is
// reported on the diagnostics stream as "add-in NAME: OPERATION failed:
// MESSAGE", kept in FailedCalls(), and the host goes on.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "automation/dispatch.h"
#include "automation/module_abi.h"
#include "automation/variant.h"
#include "orba/searches/search_runner.h"
#include "orba/session/addins.h"
#include "orba/store/host_services.h"
#include "orba/store/model_repository.h"

namespace orba::session {

// A session that cannot do what was asked (an add-in that cannot be created,
// a model that cannot be opened).
class SessionError : public host::Error {
 public:
  using host::Error::Error;
};

struct SessionOptions {
  int32_t host_build = store::ModelRepository::kDefaultBuildNumber;
  // "qt", "console" or "none"; empty: $ORBA_UI, else "qt" when a display is
  // available and "console" otherwise (see ChooseUserInterface).
  std::string ui;
  std::vector<AddinEntry> addins = DefaultAddins();
  // Creates an add-in from its ProgID; empty: through the component registry
  // at automation::Registry::DefaultPath(). Throws when it cannot.
  std::function<automation::ObjectPtr(const std::string& prog_id,
                                      const automation::CreationOptions& options)>
      create_addin;
  std::ostream* diagnostics = nullptr;  // null: std::cerr
};

class HostSession final : public HostServices {
 public:
  using SearchListener = std::function<void(const searches::SearchResult&)>;
  using DiagramListener = std::function<void(const host::DiagramPtr&)>;

  explicit HostSession(SessionOptions options);
  const SessionOptions& Options() const { return options_; }
  ~HostSession() override;  // Orba_Disconnect to every add-in, then the model is closed
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  // The repository; add-ins receive it as an object reference.
  const store::ModelRepositoryPtr& Repository() const { return repository_; }

  // --- Add-ins ---------------------------------------------------------------
  // Chooses the user interface for the add-ins, creates each add-in of the
  // list, calls Orba_Connect on each and then Orba_OnPostInitialized on each.
  // Throws SessionError when an add-in cannot be created (for an
  // unregistered ProgID the message says how to register it).
  void LoadAddins();
  // The loaded add-in known as `name`; throws SessionError when none is.
  const LoadedAddin& Addin(const std::string& name) const;

  // Calls `operation` of the add-in `name`; `args` may be written by it. A
  // failure is reported on the diagnostics stream and answered as !ok.
  automation::CallResult CallAddin(const std::string& name, const std::string& operation,
                                   std::vector<automation::Variant>& args);
  automation::CallResult CallAddin(const std::string& name, const std::string& operation,
                                   std::vector<automation::Variant>&& args);
  // Every add-in call of this session that failed so far, in order.
  const std::vector<FailedCall>& FailedCalls() const { return failed_calls_; }

  // --- Models ----------------------------------------------------------------
  // Create or open the model, then tell every loaded add-in (Orba_FileOpen).
  // Throw store::StoreError naming the file.
  void CreateModel(const std::string& path);
  void OpenModel(const std::string& path, store::ModelRepository::Access access =
                                              store::ModelRepository::Access::kReadWrite);
  // Tells every loaded add-in that the open model was opened.
  void NotifyFileOpened();

  // --- Searches and windows ----------------------------------------------------
  // Runs a search by name; throws searches::SearchError.
  searches::SearchResult Search(const std::string& name, const std::string& term);
  // Who is shown the result of a search an add-in asks for, and a diagram it opens.
  void OnSearchResult(SearchListener listener) { search_listener_ = std::move(listener); }
  void OnDiagramOpened(DiagramListener listener) { diagram_listener_ = std::move(listener); }

  // --- HostServices: what the repository reports ------------------------------
  void RunSearch(const std::string& name, const std::string& term, const std::string& options,
                 const std::string& data) override;
  void RedrawOpenDiagrams(bool full) override;
  void OpenDiagram(int32_t diagram_id) override;
  void ElementCreated(int32_t element_id) override;
  void ItemModified(const std::string& guid, int32_t object_type) override;

 private:
  // Calls `operation` with (Repository, extra...) on every loaded add-in.
  void CallEveryAddin(const std::string& operation, const std::vector<automation::Variant>& extra);
  // Events arrive one at a time: a notification raised while an add-in call
  // runs (an add-in updating an element, say) is delivered once it has returned.
  void Announce(std::function<void()> notification);
  void DeliverAnnouncements();
  automation::ObjectPtr FindAddin(const std::string& name) const;

  SessionOptions options_;
  std::ostream* diagnostics_;
  store::ModelRepositoryPtr repository_;
  std::vector<LoadedAddin> addins_;
  std::vector<FailedCall> failed_calls_;
  int addin_calls_running_ = 0;
  std::vector<std::function<void()>> announcements_;
  SearchListener search_listener_;
  DiagramListener diagram_listener_;
};

// The user interface add-ins are created with: `choice` when given; else
// $ORBA_UI when set (both required: an add-in that cannot give it fails);
// else "qt" when a display is available and "console" when not. Throws
// SessionError for a name other than "qt", "console" and "none".
automation::CreationOptions ChooseUserInterface(const std::string& choice);

}  // namespace orba::session
