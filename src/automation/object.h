// Object: the late-bound interface. Operations and properties are reached by
// name; an operation receives its arguments by reference and may write into
// them. The default members know no names: every name is an UnknownName error.
#pragma once

#include <memory>
#include <span>
#include <string_view>

namespace automation {

class Variant;

class Object {
 public:
  virtual ~Object();
  virtual Variant Invoke(std::string_view name, std::span<Variant> args);
  virtual Variant Get(std::string_view name);
  virtual void Put(std::string_view name, const Variant& value);
};

using ObjectPtr = std::shared_ptr<Object>;

}  // namespace automation
