#include "support/recording_repository.h"

namespace testing_support {

RecordingRepository::RecordingRepository(host::RepositoryPtr inner) : inner_(std::move(inner)) {}

std::vector<std::string> RecordingRepository::CallNames() const {
  std::vector<std::string> names;
  for (const auto& call : calls_) names.push_back(call.substr(0, call.find('(')));
  return names;
}

void RecordingRepository::Enter(const std::string& name, std::vector<std::string> arguments) {
  std::string call = name + "(";
  for (size_t i = 0; i < arguments.size(); ++i) call += (i ? ", " : "") + arguments[i];
  calls_.push_back(call + ")");
  arguments_[name].push_back(std::move(arguments));
  const int count = ++counts_[name];
  auto failure = failures_.find(name);
  if (failure != failures_.end() && failure->second == count) {
    throw host::Error("injected failure of " + name);
  }
}

host::Repository& RecordingRepository::Inner(const std::string& name) {
  if (!inner_) throw host::Error("the test gave no answer for " + name);
  return *inner_;
}

std::string RecordingRepository::LastArgument(const std::string& name, size_t index) const {
  auto found = arguments_.find(name);
  if (found == arguments_.end() || found->second.empty() || found->second.back().size() <= index) {
    return "";
  }
  return found->second.back()[index];
}

namespace {
std::string Text(bool value) { return value ? "True" : "False"; }
}  // namespace

int32_t RecordingRepository::BuildNumber() {
  Enter("BuildNumber");
  return build_number ? *build_number : Inner("BuildNumber").BuildNumber();
}

std::string RecordingRepository::ModelLocation() {
  Enter("ModelLocation");
  return model_location ? *model_location : Inner("ModelLocation").ModelLocation();
}

bool RecordingRepository::OpenModel(const std::string& path) {
  Enter("OpenModel", {path});
  return inner_ ? inner_->OpenModel(path) : true;
}

void RecordingRepository::CloseModel() {
  Enter("CloseModel");
  if (inner_) inner_->CloseModel();
}

bool RecordingRepository::HasTechnology(const std::string& id) {
  Enter("HasTechnology", {id});
  return has_technology ? *has_technology : Inner("HasTechnology").HasTechnology(id);
}

bool RecordingRepository::InstallTechnology(const std::string& document) {
  Enter("InstallTechnology", {document});
  return install_technology ? *install_technology
                            : Inner("InstallTechnology").InstallTechnology(document);
}

bool RecordingRepository::RemoveTechnology(const std::string& id) {
  Enter("RemoveTechnology", {id});
  return remove_technology ? *remove_technology : Inner("RemoveTechnology").RemoveTechnology(id);
}

void RecordingRepository::SetTechnologyVisibility(const std::string& id, const std::string& unused,
                                                  bool visible) {
  Enter("SetTechnologyVisibility", {id, unused, Text(visible)});
  if (inner_) inner_->SetTechnologyVisibility(id, unused, visible);
}

std::string RecordingRepository::QueryPerspective(const std::string& name) {
  Enter("QueryPerspective", {name});
  return query_perspective ? *query_perspective : Inner("QueryPerspective").QueryPerspective(name);
}

void RecordingRepository::InstallPerspective(const std::string& document, int32_t option) {
  Enter("InstallPerspective", {document, std::to_string(option)});
  if (inner_) inner_->InstallPerspective(document, option);
}

void RecordingRepository::SelectPerspective(const std::string& name, int32_t option) {
  Enter("SelectPerspective", {name, std::to_string(option)});
  if (inner_) inner_->SelectPerspective(name, option);
}

void RecordingRepository::RegisterSearches(const std::string& document) {
  Enter("RegisterSearches", {document});
  if (inner_) inner_->RegisterSearches(document);
}

void RecordingRepository::RunSearch(const std::string& name, const std::string& term,
                                    const std::string& options, const std::string& data) {
  Enter("RunSearch", {name, term, options, data});
  if (inner_) inner_->RunSearch(name, term, options, data);
}

void RecordingRepository::RedrawOpenDiagrams(bool full) {
  Enter("RedrawOpenDiagrams", {Text(full)});
  if (inner_) inner_->RedrawOpenDiagrams(full);
}

host::PackagePtr RecordingRepository::GetSelectedPackage() {
  Enter("GetSelectedPackage");
  return inner_ ? inner_->GetSelectedPackage() : nullptr;
}

void RecordingRepository::OpenDiagram(int32_t diagram_id) {
  Enter("OpenDiagram", {std::to_string(diagram_id)});
  if (inner_) inner_->OpenDiagram(diagram_id);
}

host::ElementPtr RecordingRepository::GetElementByID(int32_t id) {
  Enter("GetElementByID", {std::to_string(id)});
  return Inner("GetElementByID").GetElementByID(id);
}

host::PackagePtr RecordingRepository::GetPackageByID(int32_t id) {
  Enter("GetPackageByID", {std::to_string(id)});
  return Inner("GetPackageByID").GetPackageByID(id);
}

host::ConnectorPtr RecordingRepository::GetConnectorByID(int32_t id) {
  Enter("GetConnectorByID", {std::to_string(id)});
  return Inner("GetConnectorByID").GetConnectorByID(id);
}

host::ElementPtr RecordingRepository::GetElementByGUID(const std::string& guid) {
  Enter("GetElementByGUID", {guid});
  return Inner("GetElementByGUID").GetElementByGUID(guid);
}

std::string RecordingRepository::GetModelItemXml(const std::string& guid) {
  Enter("GetModelItemXml", {guid});
  return model_item_xml ? *model_item_xml : Inner("GetModelItemXml").GetModelItemXml(guid);
}

std::string RecordingRepository::ExecuteSqlQuery(const std::string& sql) {
  Enter("ExecuteSqlQuery", {sql});
  return sql_answer ? sql_answer(sql) : Inner("ExecuteSqlQuery").ExecuteSqlQuery(sql);
}

host::ProjectServicesPtr RecordingRepository::GetProjectServices() {
  Enter("GetProjectServices");
  return Inner("GetProjectServices").GetProjectServices();
}

}  // namespace testing_support
