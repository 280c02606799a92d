// RecordingRepository: a thin wrapper around a host::Repository that records
// every call the add-in makes on it (name and arguments, in order), can answer
// chosen calls itself, and can make a chosen call fail with host::Error —
// the way to check call order and failure paths of add-in operations.
// Calls it neither answers nor fails go to the wrapped repository (which may be
// null for operations that need nothing more).
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/host.h"

namespace testing_support {

class RecordingRepository : public host::Repository {
 public:
  explicit RecordingRepository(host::RepositoryPtr inner = nullptr);

  // "Name(arg, arg)" for every call so far, in order.
  const std::vector<std::string>& Calls() const { return calls_; }
  // Only the names, in order.
  std::vector<std::string> CallNames() const;
  void ClearCalls() { calls_.clear(); }

  // The `occurrence`-th call (1-based) of `name` throws host::Error.
  void FailOn(const std::string& name, int occurrence = 1) { failures_[name] = occurrence; }

  // Answers given instead of the wrapped repository's.
  std::optional<int32_t> build_number;
  std::optional<std::string> model_location;
  std::optional<bool> has_technology;
  std::optional<bool> install_technology;
  std::optional<bool> remove_technology;
  std::optional<std::string> query_perspective;
  std::optional<std::string> model_item_xml;
  std::function<std::string(const std::string&)> sql_answer;

  int32_t BuildNumber() override;
  std::string ModelLocation() override;
  bool OpenModel(const std::string& path) override;
  void CloseModel() override;
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

  // Arguments as the calls recorded them (the last call of that name).
  std::string LastArgument(const std::string& name, size_t index = 0) const;

 private:
  // Records the call; throws when a failure is due.
  void Enter(const std::string& name, std::vector<std::string> arguments = {});
  host::Repository& Inner(const std::string& name);

  host::RepositoryPtr inner_;
  std::vector<std::string> calls_;
  std::map<std::string, std::vector<std::vector<std::string>>> arguments_;
  std::map<std::string, int> counts_;
  std::map<std::string, int> failures_;
};

}  // namespace testing_support
