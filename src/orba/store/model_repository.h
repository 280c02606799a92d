// ModelRepository: the reference host's root object (host::Repository) on a
// model stored in SQLite, either a model file (*.obx) or an in-memory model.
//
// One repository opens and closes models; the host objects it hands out
// (elements, packages, connectors, ...) read and write the open model. Beside
// the host interface it offers what the host application needs around it:
// creating models, transactions, the build number it reports, the selected
// package, the registered searches, and the validator's registrations and
// recorded violation reports.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/host.h"
#include "orba/store/host_services.h"
#include "orba/store/store_error.h"
#include "orba/store/validation_log.h"

namespace orba::store {

class ModelSession;

// One search of a registered search definition document.
struct RegisteredSearch {
  std::string name;
  std::string guid;
  bool custom_search = false;         // answered by an add-in operation
  std::string addin_and_method_name;  // "SysML.AllocationSearch"
};

class ModelRepository : public host::Repository {
 public:
  static constexpr int32_t kDefaultBuildNumber = 1558;
  static constexpr const char* kInMemoryLocation = ":memory:";

  // `services` may be null: searches, redraws and notifications are then ignored.
  explicit ModelRepository(HostServices* services = nullptr);
  ~ModelRepository() override;

  // --- Models -------------------------------------------------------------
  // Creates a new, empty model file and opens it; an existing file is refused.
  // Throws StoreError naming the file.
  void CreateModel(const std::string& path);
  // Creates a new, empty model in memory and opens it (location ":memory:").
  void CreateInMemoryModel();
  // Opens a model file; the open one is closed once the new one is open (a
  // failed open leaves it open). Throws StoreError naming the file when it is
  // missing, not a regular file, unreadable, not a model, damaged, or of a
  // newer schema version. A write that was interrupted is rolled back first.
  // A file that cannot be written is opened read-only, as is every file with
  // Access::kReadOnly: writes then throw StoreError("model is read-only: PATH").
  enum class Access { kReadWrite, kReadOnly };
  void Open(const std::string& path, Access access = Access::kReadWrite);
  bool IsOpen() const;
  bool IsReadOnly() const;

  // --- Transactions (nest freely; an inner one commits into the outer) ------
  // The outermost one on a writable model holds the model's write lock from
  // its start, so other processes wait (up to 5 s) rather than fail.
  class Transaction {
   public:
    explicit Transaction(ModelRepository& repository);
    ~Transaction();  // rolls back unless committed
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

   private:
    std::shared_ptr<ModelSession> session_;
    std::string savepoint_;  // "" for the outermost transaction
    bool done_ = false;
  };

  // --- What the host application sets --------------------------------------
  void SetBuildNumber(int32_t build);
  void SetHostServices(HostServices* services);
  void SelectPackage(int32_t package_id);  // 0: nothing selected
  // The item the validator is running a rule on; ReportViolation records it.
  void SetCurrentItem(const ItemRef& item);
  void ClearCurrentItem();

  // --- What the host application reads -------------------------------------
  const std::vector<RegisteredSearch>& RegisteredSearches() const;
  const ValidationLog& Validation() const;
  ValidationLog& Validation();
  std::vector<std::string> TechnologyIds();               // installed, in install order
  std::string TechnologyDocument(const std::string& id);  // "" when not installed
  // The last SetTechnologyVisibility flag for the id; nullopt when never set.
  // The flag and the selected perspective are view state: kept by the
  // repository and, when set within a transaction on a writable model,
  // remembered in it with the transaction's changes, so they survive
  // reopening. Set outside one (as add-ins do when a model opens) or on a
  // read-only model, they are shown but not written.
  std::optional<bool> TechnologyVisibility(const std::string& id);
  std::vector<std::string> PerspectiveNames();  // installed in the model, in install order
  std::string SelectedPerspective();            // "" when none was selected
  // Every element that is not a package's own element, in the host's order.
  std::vector<int32_t> ElementIds();
  std::vector<int32_t> PackageIds();
  std::vector<int32_t> ConnectorIds();
  std::vector<int32_t> DiagramIds();
  host::DiagramPtr GetDiagramByID(int32_t id);

  // The open model's store (for the store's own import/export and tests).
  // Throws host::Error("no model is open") when none is open.
  ModelSession& Session();

  // --- host::Repository ---------------------------------------------------
  int32_t BuildNumber() override;
  std::string ModelLocation() override;
  bool OpenModel(const std::string& path) override;  // false when Open would throw
  void CloseModel() override;
  // The message of the last failed OpenModel ("" after a successful one).
  const std::string& LastOpenError() const;

  bool HasTechnology(const std::string& id) override;
  bool InstallTechnology(const std::string& document) override;
  bool RemoveTechnology(const std::string& id) override;
  void SetTechnologyVisibility(const std::string& id, const std::string& unused,
                               bool visible) override;

  std::string QueryPerspective(const std::string& name) override;
  void InstallPerspective(const std::string& document, int32_t option) override;
  void SelectPerspective(const std::string& name, int32_t option) override;

  void RegisterSearches(const std::string& document) override;
  void RunSearch(const std::string& name, const std::string& term, const std::string& options,
                 const std::string& data) override;
  void RedrawOpenDiagrams(bool full) override;
  host::PackagePtr GetSelectedPackage() override;
  void OpenDiagram(int32_t diagram_id) override;

  host::ElementPtr GetElementByID(int32_t id) override;
  host::PackagePtr GetPackageByID(int32_t id) override;
  host::ConnectorPtr GetConnectorByID(int32_t id) override;
  host::ElementPtr GetElementByGUID(const std::string& guid) override;

  std::string GetModelItemXml(const std::string& guid) override;
  std::string ExecuteSqlQuery(const std::string& sql) override;
  host::ProjectServicesPtr GetProjectServices() override;

 private:
  bool CanRememberViewState();
  void Attach(std::shared_ptr<ModelSession> session);

  std::shared_ptr<ModelSession> session_;
  HostServices* services_;
  int32_t build_number_ = kDefaultBuildNumber;
  int32_t selected_package_id_ = 0;
  std::string last_open_error_;
  std::vector<RegisteredSearch> searches_;
  std::map<std::string, bool> technology_visibility_;
  std::string selected_perspective_;
  std::shared_ptr<ValidationLog> validation_;
};

using ModelRepositoryPtr = std::shared_ptr<ModelRepository>;

}  // namespace orba::store
