// DispatchObject: an Object whose members come from a table that its
// constructor fills; and the automation boundary (Call, GetProperty,
// PutProperty), where whatever an operation throws becomes the call's error
// result with its message instead of reaching the caller.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "automation/variant.h"

namespace automation {

class DispatchObject : public Object {
 public:
  using Method = std::function<Variant(std::span<Variant>)>;
  using Getter = std::function<Variant()>;
  using Setter = std::function<void(const Variant&)>;

  Variant Invoke(std::string_view name, std::span<Variant> args) override;
  Variant Get(std::string_view name) override;
  void Put(std::string_view name, const Variant& value) override;

 protected:
  void AddMethod(std::string name, size_t arity, Method method);
  void AddProperty(std::string name, Getter getter, Setter setter);

 private:
  struct MethodEntry {
    size_t arity;
    Method method;
  };
  struct PropertyEntry {
    Getter getter;
    Setter setter;
  };
  // Members are found by name on every call: hashed, and without copying it.
  struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
  };
  template <class Entry>
  using ByName = std::unordered_map<std::string, Entry, NameHash, std::equal_to<>>;
  ByName<MethodEntry> methods_;
  ByName<PropertyEntry> properties_;
};

struct CallResult {
  bool ok = true;
  Variant value;
  std::string error;  // what the operation threw, when !ok
};

CallResult Call(Object& object, std::string_view name, std::span<Variant> args) noexcept;
CallResult GetProperty(Object& object, std::string_view name) noexcept;
CallResult PutProperty(Object& object, std::string_view name, const Variant& value) noexcept;

}  // namespace automation
