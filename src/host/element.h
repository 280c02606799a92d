// Element and the members it holds: attributes, operations (Method) with their
// parameters, and tagged values.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "automation/object.h"
#include "host/collection.h"

namespace host {

class Connector;

class TaggedValue : public automation::Object {
 public:
  ~TaggedValue() override;
  virtual std::string Name() = 0;
  virtual std::string Value() = 0;
};

class Attribute : public automation::Object {
 public:
  ~Attribute() override;
  virtual std::string Name() = 0;
  virtual std::string Type() = 0;
};

class Parameter : public automation::Object {
 public:
  ~Parameter() override;
  virtual std::string Name() = 0;
  virtual std::string Type() = 0;
};

class Method : public automation::Object {
 public:
  ~Method() override;
  virtual std::string Name() = 0;
  virtual std::string Stereotype() = 0;
  virtual std::string MethodGUID() = 0;
  virtual CollectionPtr<Parameter> Parameters() = 0;
};

class Element : public automation::Object {
 public:
  ~Element() override;
  virtual int32_t ElementID() = 0;
  virtual std::string ElementGUID() = 0;
  virtual std::string Name() = 0;
  virtual std::string Notes() = 0;
  // The kind: "Class", "Object", "Part", "Action", "Activity", "ActivityParameter", ...
  virtual std::string Type() = 0;
  virtual std::string Stereotype() = 0;  // "" when none
  virtual std::string Metatype() = 0;    // the SysML kind, "" when none
  virtual std::string Abstract() = 0;    // "1" when abstract
  virtual void SetAbstract(const std::string& value) = 0;
  virtual std::string Multiplicity() = 0;
  virtual int32_t ClassifierID() = 0;
  virtual int32_t ParentID() = 0;
  virtual int32_t PropertyTypeID() = 0;
  virtual CollectionPtr<Element> Elements() = 0;       // owned elements
  virtual CollectionPtr<Element> EmbeddedItems() = 0;  // ports, activity parameters, pins
  virtual CollectionPtr<Connector> Connectors() = 0;
  virtual CollectionPtr<Method> Methods() = 0;
  virtual CollectionPtr<Attribute> Attributes() = 0;
  virtual CollectionPtr<TaggedValue> TaggedValues() = 0;
  virtual CollectionPtr<TaggedValue> TaggedValueList() = 0;
  // Stores the changes made through this object; answers success.
  virtual bool Update() = 0;
};

using ElementPtr = std::shared_ptr<Element>;
using MethodPtr = std::shared_ptr<Method>;
using ParameterPtr = std::shared_ptr<Parameter>;
using AttributePtr = std::shared_ptr<Attribute>;
using TaggedValuePtr = std::shared_ptr<TaggedValue>;

}  // namespace host
