#include "orba/store/json_fields.h"

#include <algorithm>
#include <cstdio>

#include "base/text.h"
#include "orba/store/json_model.h"

namespace orba::store {
namespace {

const nlohmann::json kEmptyArray = nlohmann::json::array();

// The item's own key, when it has one that is a text.
std::string OwnKey(const nlohmann::json& value) {
  const auto key = value.find("key");
  return key != value.end() && key->is_string() ? key->get<std::string>() : "";
}

// The first control character in `text` other than TAB, LF and CR: a C0
// character, DEL, or a C1 character (U+0080..U+009F, C2 80..C2 9F in UTF-8).
std::optional<unsigned> ControlCharacterIn(std::string_view text) {
  for (size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if ((byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') || byte == 0x7F) return byte;
    const auto next = at + 1 < text.size() ? static_cast<unsigned char>(text[at + 1]) : 0;
    if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) return next;
  }
  return std::nullopt;
}

}  // namespace

bool IsModelText(std::string_view text) { return !ControlCharacterIn(text); }

std::string ItemPlace(const std::string& list, size_t index) {
  return list + "[" + std::to_string(index) + "]";
}

void FailAt(const std::string& place, const std::string& problem) {
  throw ImportError(place.empty() ? problem : place + ": " + problem);
}

std::string Quoted(const std::string& text) {
  return "\"" + base::EscapeControlCharacters(text) + "\"";
}

JsonFields::JsonFields(const nlohmann::json& value, std::string path)
    : value_(value), path_(std::move(path)), key_(OwnKey(value)) {
  if (!value_.is_object()) FailAt(path_, "expected an object");
}

JsonFields::JsonFields(const nlohmann::json& value, std::string path, const JsonFields& owner)
    : JsonFields(value, std::move(path)) {
  key_ = owner.key_;
}

std::string JsonFields::PlaceOf(const std::string& field) const {
  return path_.empty() ? field : path_ + "." + field;
}

const nlohmann::json* JsonFields::Find(const std::string& field) {
  if (std::find(known_.begin(), known_.end(), field) == known_.end()) known_.push_back(field);
  auto found = value_.find(field);
  return found == value_.end() ? nullptr : &*found;
}

bool JsonFields::Has(const std::string& field) { return Find(field) != nullptr; }

std::optional<std::string> JsonFields::OptionalText(const std::string& field) {
  const nlohmann::json* found = Find(field);
  if (!found) return std::nullopt;
  return ModelText(*found, PlaceOf(field));
}

std::vector<std::string> JsonFields::Texts(const std::string& field) {
  const nlohmann::json& list = Array(field);
  std::vector<std::string> texts;
  for (size_t index = 0; index < list.size(); ++index) {
    texts.push_back(ModelText(list[index], ItemPlace(PlaceOf(field), index)));
  }
  return texts;
}

std::string JsonFields::ModelText(const nlohmann::json& value, const std::string& place) const {
  if (!value.is_string()) FailAt(place, "expected a string");
  std::string text = value.get<std::string>();
  if (const std::optional<unsigned> control = ControlCharacterIn(text)) {
    char code[8];
    std::snprintf(code, sizeof code, "U+%04X", *control);
    FailAt(place, "the text" + (key_.empty() ? "" : " of " + Quoted(key_)) +
                      " holds the control character " + code +
                      " (only TAB, LF and CR are allowed)");
  }
  return text;
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

bool JsonFields::Bool(const std::string& field) {
  const nlohmann::json* found = Find(field);
  if (!found) return false;
  if (!found->is_boolean()) FailAt(PlaceOf(field), "expected true or false");
  return found->get<bool>();
}

const nlohmann::json& JsonFields::Array(const std::string& field) {
  const nlohmann::json* found = Find(field);
  if (!found) return kEmptyArray;
  if (!found->is_array()) FailAt(PlaceOf(field), "expected an array");
  return *found;
}

void JsonFields::RejectUnknownFields() const {
  for (const auto& [field, unused] : value_.items()) {
    if (std::find(known_.begin(), known_.end(), field) == known_.end())
      FailAt(path_, "unknown field " + Quoted(field));
  }
}

}  // namespace orba::store
