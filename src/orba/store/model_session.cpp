#include "orba/store/model_session.h"

#include "host/error.h"
#include "orba/store/technology_document.h"

namespace orba::store {

ModelSession::ModelSession(std::unique_ptr<Database> db, HostServices* services)
    : db_(std::move(db)), location_(db_->Location()), services_(services) {}

void ModelSession::Close() { db_.reset(); }

Database& ModelSession::Db() {
  if (!db_) throw host::Error("no model is open");
  return *db_;
}

const std::string& ModelSession::Location() {
  Db();
  return location_;
}

bool ModelSession::IsReadOnly() { return Db().IsReadOnly(); }

void ModelSession::RequireWritable() {
  if (IsReadOnly()) throw StoreError("model is read-only: " + location_);
  ForgetCachedRows();  // every write asks first
}

void ModelSession::SetReadCache(bool on) {
  read_cache_ = on;
  ForgetCachedRows();
}

void ModelSession::ForgetCachedRows() {
  cached_elements_.Clear();
  cached_packages_.Clear();
  cached_connectors_.Clear();
  cached_lists_ = CachedLists{};
  last_item_document_.reset();
}

std::string ModelSession::ItemDocument(const std::string& guid,
                                       const std::function<std::string()>& build) {
  if (!read_cache_) return build();
  if (!last_item_document_ || last_item_document_->first != guid)
    last_item_document_.emplace(guid, build());
  return last_item_document_->second;
}

std::string ModelSession::MetatypeOf(const ElementRow& row) {
  if (row.metatype) return *row.metatype;
  if (!row.stereotype) return "";
  const auto& metatypes = StereotypeMetatypes();
  auto found = metatypes.find(*row.stereotype);
  return found == metatypes.end() ? "" : found->second;
}

const std::map<std::string, std::string>& ModelSession::StereotypeMetatypes() {
  if (!stereotype_metatypes_) {
    std::map<std::string, std::string> metatypes;
    Statement documents = Db().Prepare("SELECT Document FROM t_technology ORDER BY rowid");
    while (documents.Step()) CollectStereotypeMetatypes(documents.Text(0), metatypes);
    stereotype_metatypes_ = std::move(metatypes);
  }
  return *stereotype_metatypes_;
}

}  // namespace orba::store
