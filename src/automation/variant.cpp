#include "automation/variant.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

#include "base/utf8.h"

namespace automation {
namespace {

std::string FormatDouble(double value) {
  if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15) {
    return std::to_string(static_cast<long long>(value));
  }
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return buffer;
}

bool EqualsIgnoringCase(const std::string& text, const char* word) {
  size_t i = 0;
  for (; i < text.size() && word[i] != '\0'; ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != word[i]) return false;
  }
  return i == text.size() && word[i] == '\0';
}

// A text in a message, cut short when long: a stored value may be huge.
std::string Quoted(const std::string& text) {
  constexpr size_t kShown = 40;
  if (text.size() <= kShown) return "\"" + text + "\"";
  size_t cut = kShown;  // not inside a UTF-8 sequence
  while (cut > 0 && base::IsUtf8Continuation(text[cut])) --cut;
  return "\"" + text.substr(0, cut) + "...\" (" + std::to_string(text.size()) + " bytes)";
}

template <class Int>
Int ToWhole(double value, const char* type_name) {
  const double rounded = RoundHalfEven(value);
  if (!std::isfinite(rounded) || rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
    throw Overflow(FormatDouble(value) + " does not fit in a " + type_name);
  }
  return static_cast<Int>(rounded);
}

}  // namespace

Object::~Object() = default;

Variant Object::Invoke(std::string_view name, std::span<Variant>) {
  throw UnknownName("the object has no operation named \"" + std::string(name) + "\"");
}

Variant Object::Get(std::string_view name) {
  throw UnknownName("the object has no property named \"" + std::string(name) + "\"");
}

void Object::Put(std::string_view name, const Variant&) {
  throw UnknownName("the object has no property named \"" + std::string(name) + "\"");
}

std::string Variant::TypeName() const {
  static const char* const kNames[] = {"Empty",  "Boolean", "Integer", "Long",
                                       "Double", "String",  "Array",   "Object"};
  return kNames[value_.index()];
}

const std::string& Variant::String() const {
  if (type() != Type::kString) throw TypeMismatch("expected a String, got " + TypeName());
  return std::get<std::string>(value_);
}

const std::vector<Variant>& Variant::Array() const {
  if (type() != Type::kArray) throw TypeMismatch("expected an Array, got " + TypeName());
  return std::get<std::vector<Variant>>(value_);
}

const ObjectPtr& Variant::Object() const {
  if (type() != Type::kObject) throw TypeMismatch("expected an Object, got " + TypeName());
  return std::get<ObjectPtr>(value_);
}

std::string Variant::ToString() && {
  if (type() == Type::kString) return std::move(std::get<std::string>(value_));
  return std::as_const(*this).ToString();
}

std::string Variant::ToString() const& {
  switch (type()) {
    case Type::kEmpty: return "";
    case Type::kBoolean: return std::get<bool>(value_) ? "True" : "False";
    case Type::kInt16: return std::to_string(std::get<int16_t>(value_));
    case Type::kInt32: return std::to_string(std::get<int32_t>(value_));
    case Type::kDouble: return FormatDouble(std::get<double>(value_));
    case Type::kString: return std::get<std::string>(value_);
    default: throw TypeMismatch("cannot convert " + TypeName() + " to String");
  }
}

double Variant::ToDouble() const {
  switch (type()) {
    case Type::kEmpty: return 0;
    case Type::kBoolean: return std::get<bool>(value_) ? -1 : 0;
    case Type::kInt16: return std::get<int16_t>(value_);
    case Type::kInt32: return std::get<int32_t>(value_);
    case Type::kDouble: return std::get<double>(value_);
    case Type::kString: return ParseNumber(std::get<std::string>(value_));
    default: throw TypeMismatch("cannot convert " + TypeName() + " to a number");
  }
}

bool Variant::ToBool() const {
  if (type() == Type::kBoolean) return std::get<bool>(value_);
  if (type() == Type::kString) {
    const std::string& text = std::get<std::string>(value_);
    if (EqualsIgnoringCase(text, "true")) return true;
    if (EqualsIgnoringCase(text, "false")) return false;
  }
  return ToDouble() != 0;
}

int16_t Variant::ToInt16() const { return ToWhole<int16_t>(ToDouble(), "16-bit whole number"); }

int32_t Variant::ToInt32() const { return ToWhole<int32_t>(ToDouble(), "32-bit whole number"); }

bool operator==(const Variant& a, const Variant& b) { return a.value_ == b.value_; }

double RoundHalfEven(double value) { return std::nearbyint(value); }

double ParseNumber(const std::string& text) {
  const auto mismatch = [&] { return TypeMismatch(Quoted(text) + " is not a number"); };
  size_t begin = text.find_first_not_of(" \t");
  size_t end = text.find_last_not_of(" \t");
  if (begin == std::string::npos) throw mismatch();
  const std::string body = text.substr(begin, end - begin + 1);
  if (body.size() > 2 && body[0] == '&' && (body[1] == 'H' || body[1] == 'h')) {
    char* stop = nullptr;
    const long long value = std::strtoll(body.c_str() + 2, &stop, 16);
    if (*stop != '\0' || stop == body.c_str() + 2) throw mismatch();
    return static_cast<double>(value);
  }
  // strtod accepts forms the runtime does not (hex floats, "inf", "nan"): allow
  // only sign, digits, one point and an exponent.
  for (char c : body) {
    if (!std::isdigit(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.' &&
        c != 'e' && c != 'E') {
      throw mismatch();
    }
  }
  char* stop = nullptr;
  const double value = std::strtod(body.c_str(), &stop);
  if (stop != body.c_str() + body.size()) throw mismatch();
  if (!std::isfinite(value)) throw Overflow(Quoted(text) + " is too large for a number");
  return value;
}

}  // namespace automation
