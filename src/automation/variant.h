// Variant: the value type of late-bound calls between the host and its add-ins.
//
// A Variant is empty or holds a Boolean, a 16- or 32-bit whole number, a double,
// a text, an array of variants (lower bound 0) or an object reference (possibly
// null, which stands for "nothing"). The To* conversions follow the automation
// runtime: numbers round half to even, texts are parsed as numbers or as the
// words True/False, and a value that does not fit is an error.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "automation/errors.h"
#include "automation/object.h"

namespace automation {

class Variant {
 public:
  enum class Type { kEmpty, kBoolean, kInt16, kInt32, kDouble, kString, kArray, kObject };

  Variant() = default;
  Variant(bool value) : value_(value) {}
  Variant(int16_t value) : value_(value) {}
  Variant(int32_t value) : value_(value) {}
  Variant(double value) : value_(value) {}
  Variant(std::string value) : value_(std::move(value)) {}
  Variant(const char* value) : value_(std::string(value)) {}
  Variant(std::vector<Variant> items) : value_(std::move(items)) {}
  Variant(ObjectPtr object) : value_(std::move(object)) {}
  template <class T>
  requires std::is_base_of_v<Object, T> Variant(std::shared_ptr<T> object)
      : value_(ObjectPtr(std::move(object))) {}

  Type type() const { return static_cast<Type>(value_.index()); }
  bool IsEmpty() const { return type() == Type::kEmpty; }
  std::string TypeName() const;

  // Strict accessors: the variant must hold exactly this type.
  const std::string& String() const;
  const std::vector<Variant>& Array() const;
  const ObjectPtr& Object() const;

  // Conversions as the automation runtime performs them (CStr, CBool, CInt, CLng, CDbl).
  // A variant given up hands over the text it holds rather than a copy.
  std::string ToString() const&;
  std::string ToString() &&;
  bool ToBool() const;
  int16_t ToInt16() const;
  int32_t ToInt32() const;
  double ToDouble() const;

  // The object reference cast to a host interface; null for "nothing".
  // Anything but an object reference, or an object of another kind, is a type mismatch.
  template <class T>
  std::shared_ptr<T> As() const;

  friend bool operator==(const Variant&, const Variant&);

 private:
  std::variant<std::monostate, bool, int16_t, int32_t, double, std::string, std::vector<Variant>,
               ObjectPtr>
      value_;
};

// Parses a text as the automation runtime's numeric conversions do: optional
// blanks, sign, digits, a decimal point and an exponent; "&H" hexadecimal.
// Throws TypeMismatch when the text is not a number.
double ParseNumber(const std::string& text);

// Rounds half to even, as the automation runtime's whole-number conversions do.
double RoundHalfEven(double value);

// Runs `convert`; a conversion error comes out again, of the same kind, with
// `origin` (where the value came from, e.g. "SysML option Parts") before its
// message, so that the user can find the value.
template <class Convert>
auto ConvertFrom(const std::string& origin, Convert convert) -> decltype(convert()) {
  try {
    return convert();
  } catch (const TypeMismatch& error) {
    throw TypeMismatch(origin + ": " + error.what());
  } catch (const Overflow& error) {
    throw Overflow(origin + ": " + error.what());
  }
}

template <class T>
std::shared_ptr<T> Variant::As() const {
  if (type() != Type::kObject)
    throw TypeMismatch("expected an object reference, got " + TypeName());
  const ObjectPtr& object = std::get<ObjectPtr>(value_);
  if (!object) return nullptr;
  auto cast = std::dynamic_pointer_cast<T>(object);
  if (!cast) throw TypeMismatch("the object passed is not of the kind this operation expects");
  return cast;
}

}  // namespace automation
