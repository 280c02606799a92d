// NothingRepository: what an operation receives when the host hands it no
// Repository at all. Using it fails the operation at that call with the
// runtime's "object not set" error, as a member call on nothing does; an
// operation that never touches its Repository (while disabled, say) still
// does nothing, as it should.
#pragma once

#include "host/host.h"

namespace addin {

class NothingRepository final : public host::Repository {
 public:
  int32_t BuildNumber() override { Fail(); }
  std::string ModelLocation() override { Fail(); }
  bool OpenModel(const std::string&) override { Fail(); }
  void CloseModel() override { Fail(); }
  bool HasTechnology(const std::string&) override { Fail(); }
  bool InstallTechnology(const std::string&) override { Fail(); }
  bool RemoveTechnology(const std::string&) override { Fail(); }
  void SetTechnologyVisibility(const std::string&, const std::string&, bool) override { Fail(); }
  std::string QueryPerspective(const std::string&) override { Fail(); }
  void InstallPerspective(const std::string&, int32_t) override { Fail(); }
  void SelectPerspective(const std::string&, int32_t) override { Fail(); }
  void RegisterSearches(const std::string&) override { Fail(); }
  void RunSearch(const std::string&, const std::string&, const std::string&,
                 const std::string&) override {
    Fail();
  }
  void RedrawOpenDiagrams(bool) override { Fail(); }
  host::PackagePtr GetSelectedPackage() override { Fail(); }
  void OpenDiagram(int32_t) override { Fail(); }
  host::ElementPtr GetElementByID(int32_t) override { Fail(); }
  host::PackagePtr GetPackageByID(int32_t) override { Fail(); }
  host::ConnectorPtr GetConnectorByID(int32_t) override { Fail(); }
  host::ElementPtr GetElementByGUID(const std::string&) override { Fail(); }
  std::string GetModelItemXml(const std::string&) override { Fail(); }
  std::string ExecuteSqlQuery(const std::string&) override { Fail(); }
  host::ProjectServicesPtr GetProjectServices() override { Fail(); }

 private:
  [[noreturn]] static void Fail() {
    throw automation::Error("object variable not set: the Repository argument is nothing");
  }
};

}  // namespace addin
