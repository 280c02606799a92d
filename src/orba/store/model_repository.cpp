#include "orba/store/model_repository.h"

#include <filesystem>

#include "orba/store/host_services_objects.h"
#include "orba/store/model_item_xml.h"
#include "orba/store/model_objects.h"
#include "orba/store/model_session.h"
#include "orba/store/postgres_schema.h"
#include "orba/store/schema.h"
#include "orba/store/sql_query.h"
#include "orba/store/sqlite_database.h"
#include "orba/store/technology_document.h"
#include "orba/store/xml_text.h"

namespace orba::store {
namespace {

std::vector<int32_t> ReadIds(Database& db, const std::string& sql) {
  Statement statement = db.Prepare(sql);
  std::vector<int32_t> ids;
  while (statement.Step()) ids.push_back(statement.Int(0));
  return ids;
}

std::vector<std::string> ReadTexts(Database& db, const std::string& sql) {
  Statement statement = db.Prepare(sql);
  std::vector<std::string> texts;
  while (statement.Step()) texts.push_back(statement.Text(0));
  return texts;
}

pugi::xml_document ParseOrThrow(const std::string& document, const char* what) {
  pugi::xml_document xml;
  if (!LoadXml(xml, document)) throw host::Error(std::string(what) + " is not well-formed XML");
  return xml;
}

RegisteredSearch ReadSearch(const pugi::xml_node& search) {
  return RegisteredSearch{search.attribute("Name").value(), search.attribute("GUID").value(),
                          std::string_view(search.attribute("CustomSearch").value()) == "1",
                          search.attribute("AddinAndMethodName").value()};
}

}  // namespace

ModelRepository::ModelRepository(HostServices* services)
    : services_(services), validation_(std::make_shared<ValidationLog>()) {}

ModelRepository::~ModelRepository() { CloseModel(); }

// --- Models -----------------------------------------------------------------

void ModelRepository::CreateModel(const std::string& path) {
  if (IsRepositoryUri(path)) {
    Attach(std::make_shared<ModelSession>(CreateRepositoryModel(path), services_));
    return;
  }
  if (std::filesystem::exists(path)) throw StoreError("model file already exists: " + path);
  try {
    auto db =
        std::make_unique<SqliteDatabase>(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, path);
    CreateSchema(*db);
    Attach(std::make_shared<ModelSession>(std::move(db), services_));
  } catch (const StoreError&) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    throw;
  }
}

void ModelRepository::CreateInMemoryModel() {
  auto db = std::make_unique<SqliteDatabase>(
      kInMemoryLocation, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_MEMORY,
      kInMemoryLocation);
  CreateSchema(*db);
  Attach(std::make_shared<ModelSession>(std::move(db), services_));
}

void ModelRepository::Open(const std::string& path, Access access) {
  std::unique_ptr<Database> db;
  if (IsRepositoryUri(path)) {
    db = OpenRepositoryModel(path, access == Access::kReadOnly ? PgDatabase::Access::kReadOnly
                                                               : PgDatabase::Access::kReadWrite);
  } else {
    db = OpenModelFile(path, access == Access::kReadOnly);
  }
  Attach(std::make_shared<ModelSession>(std::move(db), services_));
}

void ModelRepository::Attach(std::shared_ptr<ModelSession> session) {
  CloseModel();
  session_ = std::move(session);
}

bool ModelRepository::IsOpen() const { return session_ != nullptr; }

bool ModelRepository::IsReadOnly() const { return session_ && session_->IsReadOnly(); }

ModelSession& ModelRepository::Session() {
  if (!session_) throw host::Error("no model is open");
  return *session_;
}

bool ModelRepository::OpenModel(const std::string& path) {
  try {
    Open(path);
    last_open_error_.clear();
    return true;
  } catch (const std::exception& error) {
    last_open_error_ = error.what();
    return false;
  }
}

const std::string& ModelRepository::LastOpenError() const { return last_open_error_; }

void ModelRepository::CloseModel() {
  if (session_) session_->Close();
  session_.reset();
  selected_package_id_ = 0;
}

std::string ModelRepository::ModelLocation() { return session_ ? session_->Location() : ""; }

// --- Transactions -------------------------------------------------------------

ModelRepository::Transaction::Transaction(ModelRepository& repository) {
  static int64_t next_savepoint = 0;
  repository.Session();
  session_ = repository.session_;
  Database& db = session_->Db();
  if (db.InTransaction()) {
    savepoint_ = "orba_transaction_" + std::to_string(++next_savepoint);
    db.Execute("SAVEPOINT " + savepoint_);
  } else {
    db.Begin();
  }
}

ModelRepository::Transaction::~Transaction() {
  if (done_ || !session_->IsOpen()) return;
  try {
    session_->Db().Execute(
        savepoint_.empty() ? "ROLLBACK" : "ROLLBACK TO " + savepoint_ + "; RELEASE " + savepoint_);
  } catch (const std::exception&) {
    // The connection refused the rollback; SQLite then rolls back on close.
  }
}

void ModelRepository::Transaction::Commit() {
  session_->Db().Execute(savepoint_.empty() ? "COMMIT" : "RELEASE " + savepoint_);
  done_ = true;
}

// --- Set and read by the host application -------------------------------------

void ModelRepository::SetBuildNumber(int32_t build) { build_number_ = build; }

void ModelRepository::SetHostServices(HostServices* services) {
  services_ = services;
  if (session_) session_->SetServices(services);
}

void ModelRepository::SelectPackage(int32_t package_id) { selected_package_id_ = package_id; }

void ModelRepository::SetCurrentItem(const ItemRef& item) { validation_->SetCurrentItem(item); }

void ModelRepository::ClearCurrentItem() { validation_->ClearCurrentItem(); }

const std::vector<RegisteredSearch>& ModelRepository::RegisteredSearches() const {
  return searches_;
}

const ValidationLog& ModelRepository::Validation() const { return *validation_; }

ValidationLog& ModelRepository::Validation() { return *validation_; }

std::vector<std::string> ModelRepository::TechnologyIds() {
  return ReadTexts(Session().Db(), "SELECT Technology_ID FROM t_technology ORDER BY rowid");
}

std::string ModelRepository::TechnologyDocument(const std::string& id) {
  Statement statement =
      Session().Db().Prepare("SELECT Document FROM t_technology WHERE Technology_ID = ?");
  statement.Bind(id);
  return statement.Step() ? statement.Text(0) : "";
}

std::optional<bool> ModelRepository::TechnologyVisibility(const std::string& id) {
  auto found = technology_visibility_.find(id);
  if (found != technology_visibility_.end()) return found->second;
  if (!IsOpen()) return std::nullopt;
  Statement statement = Session().Db().Prepare(
      "SELECT Visible FROM t_technology WHERE Technology_ID = ? AND Visible IS NOT NULL");
  statement.Bind(id);
  if (!statement.Step()) return std::nullopt;
  return statement.Text(0) != "0";
}

std::vector<std::string> ModelRepository::PerspectiveNames() {
  return ReadTexts(Session().Db(), "SELECT Name FROM t_perspective ORDER BY rowid");
}

std::string ModelRepository::SelectedPerspective() {
  if (!selected_perspective_.empty() || !IsOpen()) return selected_perspective_;
  Statement statement =
      Session().Db().Prepare("SELECT Value FROM orba_meta WHERE Name = 'selected_perspective'");
  return statement.Step() ? statement.Text(0) : "";
}

// View state is written as part of a transaction, with the changes of the
// command that set it. Outside one, as when add-ins apply it to a model being
// opened, it is shown but not written: opening a model never changes it.
bool ModelRepository::CanRememberViewState() {
  return IsOpen() && !Session().IsReadOnly() && Session().Db().InTransaction();
}

std::vector<int32_t> ModelRepository::ElementIds() {
  return ReadIds(Session().Db(),
                 "SELECT Object_ID FROM t_object WHERE Object_ID NOT IN "
                 "(SELECT Object_ID FROM t_package) ORDER BY Object_ID");
}

std::vector<int32_t> ModelRepository::PackageIds() {
  return ReadIds(Session().Db(), "SELECT Package_ID FROM t_package ORDER BY Package_ID");
}

std::vector<int32_t> ModelRepository::ConnectorIds() {
  return ReadIds(Session().Db(), "SELECT Connector_ID FROM t_connector ORDER BY Connector_ID");
}

std::vector<int32_t> ModelRepository::DiagramIds() {
  return ReadIds(Session().Db(), "SELECT Diagram_ID FROM t_diagram ORDER BY Diagram_ID");
}

host::DiagramPtr ModelRepository::GetDiagramByID(int32_t id) {
  return ObjectFor<StoredDiagram>(session_, Session().FindDiagram(id));
}

// --- host::Repository -------------------------------------------------------------

int32_t ModelRepository::BuildNumber() { return build_number_; }

bool ModelRepository::HasTechnology(const std::string& id) {
  if (!IsOpen()) return false;  // no model, no technology loaded into it (menu layout D)
  Statement statement =
      Session().Db().Prepare("SELECT 1 FROM t_technology WHERE Technology_ID = ?");
  statement.Bind(id);
  return statement.Step();
}

bool ModelRepository::InstallTechnology(const std::string& document) {
  std::optional<std::string> id = TechnologyIdOf(document);
  if (!id) return false;
  Session().RequireWritable();
  Session()
      .Db()
      .Prepare(
          "INSERT INTO t_technology (Technology_ID, Document) VALUES (?, ?) "
          "ON CONFLICT (Technology_ID) DO UPDATE SET Document = excluded.Document")
      .Bind(*id, document)
      .Run();
  Session().TechnologiesChanged();
  return true;
}

bool ModelRepository::RemoveTechnology(const std::string& id) {
  if (!HasTechnology(id)) return false;
  Session().RequireWritable();
  Session().Db().Prepare("DELETE FROM t_technology WHERE Technology_ID = ?").Bind(id).Run();
  Session().TechnologiesChanged();
  return true;
}

void ModelRepository::SetTechnologyVisibility(const std::string& id, const std::string&,
                                              bool visible) {
  technology_visibility_[id] = visible;
  if (!CanRememberViewState()) return;
  Session()
      .Db()
      .Prepare("UPDATE t_technology SET Visible = ? WHERE Technology_ID = ?")
      .Bind(std::string(visible ? "1" : "0"), id)
      .Run();
}

std::string ModelRepository::QueryPerspective(const std::string& name) {
  Statement statement = Session().Db().Prepare("SELECT 1 FROM t_perspective WHERE Name = ?");
  statement.Bind(name);
  return statement.Step() ? "-1" : "0";
}

void ModelRepository::InstallPerspective(const std::string& document, int32_t) {
  pugi::xml_document xml = ParseOrThrow(document, "the perspective document");
  pugi::xpath_node_set perspectives = xml.select_nodes("/Perspectives/Perspective[@Name]");
  if (perspectives.empty()) throw host::Error("the perspective document defines no perspective");
  Session().RequireWritable();
  Transaction transaction(*this);
  for (const pugi::xpath_node& perspective : perspectives) {
    Session()
        .Db()
        .Prepare(
            "INSERT INTO t_perspective (Name, Document) VALUES (?, ?) "
            "ON CONFLICT (Name) DO UPDATE SET Document = excluded.Document")
        .Bind(std::string(perspective.node().attribute("Name").value()), document)
        .Run();
  }
  transaction.Commit();
}

void ModelRepository::SelectPerspective(const std::string& name, int32_t) {
  selected_perspective_ = name;
  if (!CanRememberViewState()) return;
  Session()
      .Db()
      .Prepare(
          "INSERT INTO orba_meta (Name, Value) VALUES ('selected_perspective', ?) "
          "ON CONFLICT (Name) DO UPDATE SET Value = excluded.Value")
      .Bind(name)
      .Run();
}

void ModelRepository::RegisterSearches(const std::string& document) {
  pugi::xml_document xml = ParseOrThrow(document, "the search definition");
  for (const pugi::xpath_node& found : xml.select_nodes("/RootSearch/Search")) {
    RegisteredSearch search = ReadSearch(found.node());
    std::erase_if(searches_, [&](const RegisteredSearch& s) { return s.name == search.name; });
    searches_.push_back(std::move(search));
  }
}

void ModelRepository::RunSearch(const std::string& name, const std::string& term,
                                const std::string& options, const std::string& data) {
  if (services_) services_->RunSearch(name, term, options, data);
}

void ModelRepository::RedrawOpenDiagrams(bool full) {
  if (services_) services_->RedrawOpenDiagrams(full);
}

host::PackagePtr ModelRepository::GetSelectedPackage() {
  if (selected_package_id_ == 0) return nullptr;
  return GetPackageByID(selected_package_id_);
}

void ModelRepository::OpenDiagram(int32_t diagram_id) {
  if (services_) services_->OpenDiagram(diagram_id);
}

host::ElementPtr ModelRepository::GetElementByID(int32_t id) {
  return ObjectFor<StoredElement>(session_, Session().FindElement(id));
}

host::PackagePtr ModelRepository::GetPackageByID(int32_t id) {
  return ObjectFor<StoredPackage>(session_, Session().FindPackage(id));
}

host::ConnectorPtr ModelRepository::GetConnectorByID(int32_t id) {
  return ObjectFor<StoredConnector>(session_, Session().FindConnector(id));
}

host::ElementPtr ModelRepository::GetElementByGUID(const std::string& guid) {
  return ObjectFor<StoredElement>(session_, Session().FindElementByGuid(guid));
}

std::string ModelRepository::GetModelItemXml(const std::string& guid) {
  return Session().ItemDocument(guid, [this, &guid] { return ModelItemXml(Session(), guid); });
}

std::string ModelRepository::ExecuteSqlQuery(const std::string& sql) {
  return ExecuteReadOnlyQuery(Session().Db(), sql);
}

host::ProjectServicesPtr ModelRepository::GetProjectServices() {
  return std::make_shared<StoredProjectServices>(validation_);
}

}  // namespace orba::store
