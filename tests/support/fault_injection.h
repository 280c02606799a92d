// FaultInjectingRepository: a decorator around a host::Repository that
// reaches every object obtained through it (elements, connectors, packages,
// collections, tagged values, services, ...). It records every host call as
// "Interface.Member" in order, can make a chosen call throw host::Error, and
// can make element lookups answer nothing, as for an id the model lacks.
// Only the typed host interfaces are forwarded, not late-bound calls by name.
// Use it to test that an add-in operation stops at a failing host call, keeps
// what it did before, and never crashes on a missing item.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/host.h"

namespace testing_support {

// What the decorator records and which calls it makes fail; shared by the
// repository and every object reached through it.
class FaultPlan {
 public:
  // Every host call so far, as "Interface.Member" ("Element.Metatype",
  // "Repository.GetElementByID", "Collection.Items"), in order.
  const std::vector<std::string>& Calls() const { return calls_; }
  int CountOf(const std::string& name) const;
  // Forgets the calls so far: numbering and counts start again.
  void ClearCalls();

  // The n-th call from now on (1-based, every host call counts) throws host::Error.
  void FailAtCall(int n) { calls_to_failure_ = n; }
  // The occurrence-th call (1-based) of `name` throws host::Error.
  void FailOn(const std::string& name, int occurrence = 1) { fail_on_[name] = occurrence; }

  // GetElementByID / GetElementByGUID answer nothing for these.
  void HideElement(int32_t id) { hidden_ids_.insert(id); }
  void HideElementGuid(const std::string& guid) { hidden_guids_.insert(guid); }
  bool IsHidden(int32_t id) const { return hidden_ids_.contains(id); }
  bool IsHidden(const std::string& guid) const { return hidden_guids_.contains(guid); }

  // Records the call; throws host::Error when it is due to fail.
  void Enter(const std::string& name);

 private:
  std::vector<std::string> calls_;
  std::map<std::string, int> counts_;
  std::map<std::string, int> fail_on_;
  int calls_to_failure_ = 0;  // 0: no call is due to fail
  std::set<int32_t> hidden_ids_;
  std::set<std::string> hidden_guids_;
};

class FaultInjectingRepository : public host::Repository {
 public:
  explicit FaultInjectingRepository(host::RepositoryPtr inner);

  FaultPlan& Plan() { return *plan_; }
  // Wraps objects obtained elsewhere (an element or the arguments handed to an event).
  host::ElementPtr Wrap(const host::ElementPtr& element) const;
  host::EventArgumentsPtr Wrap(const host::EventArgumentsPtr& arguments) const;

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

 private:
  host::RepositoryPtr inner_;
  std::shared_ptr<FaultPlan> plan_;
};

}  // namespace testing_support
