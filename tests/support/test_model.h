// TestModel: an in-memory model built from a JSON model document (the format
// of `orba import`) through the reference host's own SQLite store, for unit
// tests of the add-in. Keys of the document name the items it creates.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/host.h"

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

class TestModel {
 public:
  // Builds the model; a document the import refuses throws with the import's message.
  // `host_build` is what the repository reports as BuildNumber.
  explicit TestModel(std::string_view json_document, int32_t host_build = 1558);
  ~TestModel();
  // The store behind the repository is the model's alone.
  TestModel(const TestModel&) = delete;
  TestModel& operator=(const TestModel&) = delete;

  host::RepositoryPtr Repository() const;

  int32_t ElementId(const std::string& key) const;
  int32_t PackageId(const std::string& key) const;
  int32_t ConnectorId(const std::string& key) const;
  std::string ElementGuid(const std::string& key) const;
  host::ElementPtr Element(const std::string& key) const;
  host::PackagePtr Package(const std::string& key) const;
  host::ConnectorPtr Connector(const std::string& key) const;
  // Selects the package in the host's model tree, as a user does before "New ... Diagram".
  void SelectPackage(const std::string& key) const;

  // Every ReportViolation received so far, in order.
  std::vector<ReportedViolation> Reports() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace testing_support
