// JsonFields: reads the fields of one JSON object of a model document and
// names the place of every problem ("elements[3].name: expected a string").
// Fields never asked for are reported by RejectUnknownFields.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>

namespace orba::store {

class JsonFields {
 public:
  // Throws ImportError when `value` is not an object.
  JsonFields(const nlohmann::json& value, std::string path);

  const std::string& Path() const { return path_; }
  // The place of a field, e.g. "elements[3].name".
  std::string PlaceOf(const std::string& field) const;

  bool Has(const std::string& field);
  std::string RequiredText(const std::string& field);
  std::string Text(const std::string& field);  // "" when absent
  std::optional<std::string> OptionalText(const std::string& field);
  int32_t Int(const std::string& field, int32_t minimum, int32_t maximum);  // 0 when absent
  // The array under `field`; an empty one when absent.
  const nlohmann::json& Array(const std::string& field);

  void RejectUnknownFields() const;

 private:
  const nlohmann::json* Find(const std::string& field);

  const nlohmann::json& value_;
  std::string path_;
  std::set<std::string> known_;
};

// Throws ImportError with "PLACE: PROBLEM" (or just PROBLEM when the place is "").
[[noreturn]] void FailAt(const std::string& place, const std::string& problem);

// `text` in double quotes, as error messages quote keys and names.
std::string Quoted(const std::string& text);

}  // namespace orba::store
