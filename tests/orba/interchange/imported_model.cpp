#include "orba/interchange/imported_model.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "orba/store/json_model.h"
#include "orba/store/model_session.h"
#include "resources/resource_table.h"

namespace orba::interchange::testing {

std::vector<std::string> CaseFields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '|');) {
    const size_t first = field.find_first_not_of(' ');
    fields.push_back(first == std::string::npos
                         ? ""
                         : field.substr(first, field.find_last_not_of(' ') - first + 1));
  }
  return fields;
}

XmiOptions FileReadingOptions() {
  XmiOptions options;
  options.read_file = [](const std::string& path) -> std::optional<std::string> {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  return options;
}

ImportedModel::ImportedModel(std::string_view xmi, const std::string& path,
                             const XmiOptions& options)
    : import_(ReadXmi(xmi, path, options)),
      repository_(std::make_shared<store::ModelRepository>()) {
  repository_->CreateInMemoryModel();
  store::ImportJsonModel(*repository_, import_.document.dump());
  repository_->InstallTechnology(
      std::string(resources::LoadResData(resources::kTechnologyType, resources::kTechnologyId)));
}

int32_t ImportedModel::IdOf(const char* item_kind, const std::string& xmi_id) {
  store::Statement query = repository_->Session().Db().Prepare(
      "SELECT Item_ID FROM orba_item_field WHERE Item_Kind = ? AND Field = 'xmiId' AND "
      "Value = ? ORDER BY rowid LIMIT 1");
  query.Bind(std::string(item_kind), xmi_id);
  if (!query.Step()) {
    ADD_FAILURE() << "no " << item_kind << " has the xmi:id " << xmi_id;
    return 0;
  }
  return query.Int(0);
}

host::ElementPtr ImportedModel::Element(const std::string& xmi_id) {
  return repository_->GetElementByID(IdOf(store::kElementItem, xmi_id));
}

host::PackagePtr ImportedModel::Package(const std::string& xmi_id) {
  return repository_->GetPackageByID(IdOf(store::kPackageItem, xmi_id));
}

host::ConnectorPtr ImportedModel::Connector(const std::string& xmi_id) {
  return repository_->GetConnectorByID(IdOf(store::kConnectorItem, xmi_id));
}

std::string ImportedModel::ConnectorField(const std::string& xmi_id, const std::string& field) {
  return repository_->Session().ItemField(store::kConnectorItem,
                                          IdOf(store::kConnectorItem, xmi_id), field);
}

std::string ImportedModel::ElementField(const std::string& xmi_id, const std::string& field) {
  return repository_->Session().ItemField(store::kElementItem, IdOf(store::kElementItem, xmi_id),
                                          field);
}

}  // namespace orba::interchange::testing
