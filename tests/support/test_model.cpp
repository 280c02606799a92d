#include "support/test_model.h"

#include <stdexcept>

namespace testing_support {

TestModel::TestModel(std::string_view json_document, int32_t host_build) {
  repository_->SetBuildNumber(host_build);
  repository_->CreateInMemoryModel();
  keys_ = orba::store::ImportJsonModel(*repository_, json_document).keys;
}

int32_t TestModel::IdOf(const std::map<std::string, int32_t>& ids, const std::string& key,
                        const char* kind) {
  auto found = ids.find(key);
  if (found == ids.end())
    throw std::invalid_argument(std::string("TestModel: no ") + kind + " has the key \"" + key +
                                "\"");
  return found->second;
}

std::vector<ReportedViolation> TestModel::Reports() const {
  std::vector<ReportedViolation> reports;
  for (const auto& violation : repository_->Validation().Violations())
    reports.push_back({violation.rule_id, violation.error_type, violation.message});
  return reports;
}

}  // namespace testing_support
