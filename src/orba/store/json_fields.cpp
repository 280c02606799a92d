#include "orba/store/json_fields.h"

#include "orba/store/json_model.h"

namespace orba::store {
namespace {

const nlohmann::json kEmptyArray = nlohmann::json::array();

}  // namespace

void FailAt(const std::string& place, const std::string& problem) {
  throw ImportError(place.empty() ? problem : place + ": " + problem);
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

JsonFields::JsonFields(const nlohmann::json& value, std::string path)
    : value_(value), path_(std::move(path)) {
  if (!value_.is_object()) FailAt(path_, "expected an object");
}

std::string JsonFields::PlaceOf(const std::string& field) const {
  return path_.empty() ? field : path_ + "." + field;
}

const nlohmann::json* JsonFields::Find(const std::string& field) {
  known_.insert(field);
  auto found = value_.find(field);
  return found == value_.end() ? nullptr : &*found;
}

bool JsonFields::Has(const std::string& field) { return Find(field) != nullptr; }

std::optional<std::string> JsonFields::OptionalText(const std::string& field) {
  const nlohmann::json* found = Find(field);
  if (!found) return std::nullopt;
  if (!found->is_string()) FailAt(PlaceOf(field), "expected a string");
  return found->get<std::string>();
}

std::string JsonFields::RequiredText(const std::string& field) {
  std::optional<std::string> text = OptionalText(field);
  if (!text) FailAt(path_, "missing field " + Quoted(field));
  return *text;
}

std::string JsonFields::Text(const std::string& field) { return OptionalText(field).value_or(""); }

int32_t JsonFields::Int(const std::string& field, int32_t minimum, int32_t maximum) {
  const nlohmann::json* found = Find(field);
  if (!found) return 0;
  if (!found->is_number_integer() || found->get<int64_t>() < minimum ||
      found->get<int64_t>() > maximum) {
    FailAt(PlaceOf(field), "expected a whole number from " + std::to_string(minimum) + " to " +
                               std::to_string(maximum));
  }
  return static_cast<int32_t>(found->get<int64_t>());
}

const nlohmann::json& JsonFields::Array(const std::string& field) {
  const nlohmann::json* found = Find(field);
  if (!found) return kEmptyArray;
  if (!found->is_array()) FailAt(PlaceOf(field), "expected an array");
  return *found;
}

void JsonFields::RejectUnknownFields() const {
  for (const auto& [field, unused] : value_.items()) {
    if (!known_.contains(field)) FailAt(path_, "unknown field " + Quoted(field));
  }
}

}  // namespace orba::store
