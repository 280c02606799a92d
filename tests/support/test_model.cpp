#include "support/test_model.h"

#include <stdexcept>

#include "orba/store/json_model.h"
#include "orba/store/model_repository.h"

namespace testing_support {

struct TestModel::Impl {
  std::shared_ptr<orba::store::ModelRepository> repository =
      std::make_shared<orba::store::ModelRepository>();
  // A TestModel loads no add-in: technologies the document lists are not loaded.
  orba::store::KeyMap keys;
};

namespace {

int32_t IdOf(const std::map<std::string, int32_t>& ids, const std::string& key, const char* kind) {
  auto found = ids.find(key);
  if (found == ids.end())
    throw std::invalid_argument(std::string("TestModel: no ") + kind + " has the key \"" + key +
                                "\"");
  return found->second;
}

}  // namespace

TestModel::TestModel(std::string_view json_document, int32_t host_build)
    : impl_(std::make_unique<Impl>()) {
  impl_->repository->SetBuildNumber(host_build);
  impl_->repository->CreateInMemoryModel();
  impl_->keys = orba::store::ImportJsonModel(*impl_->repository, json_document).keys;
}

TestModel::~TestModel() = default;

host::RepositoryPtr TestModel::Repository() const { return impl_->repository; }

int32_t TestModel::ElementId(const std::string& key) const {
  return IdOf(impl_->keys.elements, key, "element");
}

int32_t TestModel::PackageId(const std::string& key) const {
  return IdOf(impl_->keys.packages, key, "package");
}

int32_t TestModel::ConnectorId(const std::string& key) const {
  return IdOf(impl_->keys.connectors, key, "connector");
}

std::string TestModel::ElementGuid(const std::string& key) const {
  return Element(key)->ElementGUID();
}

host::ElementPtr TestModel::Element(const std::string& key) const {
  return impl_->repository->GetElementByID(ElementId(key));
}

host::PackagePtr TestModel::Package(const std::string& key) const {
  return impl_->repository->GetPackageByID(PackageId(key));
}

host::ConnectorPtr TestModel::Connector(const std::string& key) const {
  return impl_->repository->GetConnectorByID(ConnectorId(key));
}

void TestModel::SelectPackage(const std::string& key) const {
  impl_->repository->SelectPackage(PackageId(key));
}

std::vector<ReportedViolation> TestModel::Reports() const {
  std::vector<ReportedViolation> reports;
  for (const auto& violation : impl_->repository->Validation().Violations()) {
    reports.push_back(
        ReportedViolation{violation.rule_id, violation.error_type, violation.message});
  }
  return reports;
}

}  // namespace testing_support
