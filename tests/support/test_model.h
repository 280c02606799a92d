// TestModel: an in-memory model built from a JSON model document (the format
// of `orba import`) through the reference host's own SQLite store, for unit
// tests of the add-in. Keys of the document name the items it creates.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/host.h"
#include "orba/store/json_model.h"
#include "orba/store/model_repository.h"

namespace testing_support {

// One ReportViolation call received by the host's ProjectServices.
struct ReportedViolation {
  std::string rule_id;
  int32_t error_type = 0;
  std::string message;
  friend bool operator==(const ReportedViolation&, const ReportedViolation&) = default;
};

// A model holding only its root package "root".
inline constexpr char kEmptyModel[] = R"({"packages": [{"key": "root", "name": "Model"}]})";

// The store behind the repository is the model's alone. A TestModel loads no
// add-in: technologies the document lists are not loaded.
class TestModel {
 public:
  // Builds the model; a document the import refuses throws with the import's message.
  // `host_build` is what the repository reports as BuildNumber.
  explicit TestModel(std::string_view json_document, int32_t host_build = 1558);
  TestModel(const TestModel&) = delete;
  TestModel& operator=(const TestModel&) = delete;

  host::RepositoryPtr Repository() const { return repository_; }

  int32_t ElementId(const std::string& key) const { return IdOf(keys_.elements, key, "element"); }
  int32_t PackageId(const std::string& key) const { return IdOf(keys_.packages, key, "package"); }
  int32_t ConnectorId(const std::string& key) const {
    return IdOf(keys_.connectors, key, "connector");
  }
  std::string ElementGuid(const std::string& key) const { return Element(key)->ElementGUID(); }
  host::ElementPtr Element(const std::string& key) const {
    return repository_->GetElementByID(ElementId(key));
  }
  host::PackagePtr Package(const std::string& key) const {
    return repository_->GetPackageByID(PackageId(key));
  }
  host::ConnectorPtr Connector(const std::string& key) const {
    return repository_->GetConnectorByID(ConnectorId(key));
  }
  // Selects the package in the host's model tree, as a user does before "New ... Diagram".
  void SelectPackage(const std::string& key) const { repository_->SelectPackage(PackageId(key)); }

  // Every ReportViolation received so far, in order.
  std::vector<ReportedViolation> Reports() const;

 private:
  static int32_t IdOf(const std::map<std::string, int32_t>& ids, const std::string& key,
                      const char* kind);

  std::shared_ptr<orba::store::ModelRepository> repository_ =
      std::make_shared<orba::store::ModelRepository>();
  orba::store::KeyMap keys_;
};

}  // namespace testing_support
