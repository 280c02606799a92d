// Repository: the host's root object, passed to every add-in event.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "automation/object.h"
#include "host/connector.h"
#include "host/element.h"
#include "host/package.h"
#include "host/project_services.h"

namespace host {

class Repository : public automation::Object {
 public:
  ~Repository() override;

  virtual int32_t BuildNumber() = 0;        // 797 = release 6.5
  virtual std::string ModelLocation() = 0;  // "" when no model is open
  virtual bool OpenModel(const std::string& path) = 0;
  virtual void CloseModel() = 0;

  virtual bool HasTechnology(const std::string& id) = 0;
  virtual bool InstallTechnology(const std::string& document) = 0;
  virtual bool RemoveTechnology(const std::string& id) = 0;
  virtual void SetTechnologyVisibility(const std::string& id, const std::string& unused,
                                       bool visible) = 0;

  virtual std::string QueryPerspective(const std::string& name) = 0;  // "-1" = present
  virtual void InstallPerspective(const std::string& document, int32_t option) = 0;
  virtual void SelectPerspective(const std::string& name, int32_t option) = 0;

  virtual void RegisterSearches(const std::string& document) = 0;
  virtual void RunSearch(const std::string& name, const std::string& term,
                         const std::string& options, const std::string& data) = 0;

  virtual void RedrawOpenDiagrams(bool full) = 0;
  virtual PackagePtr GetSelectedPackage() = 0;  // null when nothing is selected
  virtual void OpenDiagram(int32_t diagram_id) = 0;

  // Lookups answer null ("nothing") for an id or GUID that names nothing.
  virtual ElementPtr GetElementByID(int32_t id) = 0;
  virtual PackagePtr GetPackageByID(int32_t id) = 0;
  virtual ConnectorPtr GetConnectorByID(int32_t id) = 0;
  virtual ElementPtr GetElementByGUID(const std::string& guid) = 0;

  virtual std::string GetModelItemXml(const std::string& guid) = 0;
  virtual std::string ExecuteSqlQuery(const std::string& sql) = 0;
  virtual ProjectServicesPtr GetProjectServices() = 0;
};

using RepositoryPtr = std::shared_ptr<Repository>;

}  // namespace host
