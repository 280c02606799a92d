// JsonFields: reads the fields of one JSON object of a model document and
// names the place of every problem ("elements[3].name: expected a string").
// Fields never asked for are reported by RejectUnknownFields.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orba::store {

// Texts are model texts: one holding a control character other than TAB, LF
// and CR (C0, DEL, C1) is refused, naming the field and the item's key.
class JsonFields {
 public:
  // An item of a list, known by its own "key". Throws ImportError when `value`
  // is not an object.
  JsonFields(const nlohmann::json& value, std::string path);
  // A part of `owner` (a tag, an operation), known by the owner's key.
  JsonFields(const nlohmann::json& value, std::string path, const JsonFields& owner);

  const std::string& Path() const { return path_; }
  // The place of a field, e.g. "elements[3].name".
  std::string PlaceOf(const std::string& field) const;
  // The key that names the item (or its owner) in messages; "" when none.
  const std::string& Key() const { return key_; }

  bool Has(const std::string& field);
  std::string RequiredText(const std::string& field);
  std::string Text(const std::string& field);  // "" when absent
  std::optional<std::string> OptionalText(const std::string& field);
  // The texts of the array under `field`; none when absent.
  std::vector<std::string> Texts(const std::string& field);
  int32_t Int(const std::string& field, int32_t minimum, int32_t maximum);  // 0 when absent
  bool Bool(const std::string& field);                                      // false when absent
  // The array under `field`; an empty one when absent.
  const nlohmann::json& Array(const std::string& field);

  void RejectUnknownFields() const;

 private:
  const nlohmann::json* Find(const std::string& field);
  // `value` as a model text; `place` names it in the error.
  std::string ModelText(const nlohmann::json& value, const std::string& place) const;

  const nlohmann::json& value_;
  std::string path_;
  std::string key_;
  std::vector<std::string> known_;  // few: a list is quicker to fill than a set
};

// Whether `text` holds no control character that model texts refuse.
bool IsModelText(std::string_view text);

// The place of an item of a list, e.g. "elements[3]".
std::string ItemPlace(const std::string& list, size_t index);

// Throws ImportError with "PLACE: PROBLEM" (or just PROBLEM when the place is "").
[[noreturn]] void FailAt(const std::string& place, const std::string& problem);

// `text` in double quotes, as error messages quote keys and names; control
// characters are shown as escapes.
std::string Quoted(const std::string& text);

}  // namespace orba::store
