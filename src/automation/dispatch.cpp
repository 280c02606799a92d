#include "automation/dispatch.h"

namespace automation {

void DispatchObject::AddMethod(std::string name, size_t arity, Method method) {
  methods_.emplace(std::move(name), MethodEntry{arity, std::move(method)});
}

void DispatchObject::AddProperty(std::string name, Getter getter, Setter setter) {
  properties_.emplace(std::move(name), PropertyEntry{std::move(getter), std::move(setter)});
}

Variant DispatchObject::Invoke(std::string_view name, std::span<Variant> args) {
  auto found = methods_.find(name);
  if (found == methods_.end()) return Object::Invoke(name, args);
  if (args.size() != found->second.arity) {
    throw Error(std::string(name) + " takes " + std::to_string(found->second.arity) +
                " argument(s), " + std::to_string(args.size()) + " given");
  }
  return found->second.method(args);
}

Variant DispatchObject::Get(std::string_view name) {
  auto found = properties_.find(name);
  if (found == properties_.end()) return Object::Get(name);
  return found->second.getter();
}

void DispatchObject::Put(std::string_view name, const Variant& value) {
  auto found = properties_.find(name);
  if (found == properties_.end() || !found->second.setter) {
    if (found != properties_.end())
      throw Error("the property " + std::string(name) + " is read-only");
    return Object::Put(name, value);
  }
  found->second.setter(value);
}

namespace {

template <class Body>
CallResult Guard(Body body) noexcept {
  CallResult result;
  try {
    result.value = body();
  } catch (const std::exception& error) {
    result.ok = false;
    result.error = error.what();
  } catch (...) {
    result.ok = false;
    result.error = "unknown error";
  }
  return result;
}

}  // namespace

CallResult Call(Object& object, std::string_view name, std::span<Variant> args) noexcept {
  return Guard([&] { return object.Invoke(name, args); });
}

CallResult GetProperty(Object& object, std::string_view name) noexcept {
  return Guard([&] { return object.Get(name); });
}

CallResult PutProperty(Object& object, std::string_view name, const Variant& value) noexcept {
  return Guard([&] {
    object.Put(name, value);
    return Variant();
  });
}

}  // namespace automation
