// Connector (a relationship between two elements), its ends and tagged values.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "automation/object.h"
#include "host/collection.h"

namespace host {

class ConnectorEnd : public automation::Object {
 public:
  ~ConnectorEnd() override;
  virtual int32_t Aggregation() = 0;  // 0 none, 1 shared, 2 composite
};

class ConnectorTaggedValue : public automation::Object {
 public:
  ~ConnectorTaggedValue() override;
  virtual std::string Name() = 0;
  virtual std::string Value() = 0;
};

class Connector : public automation::Object {
 public:
  ~Connector() override;
  virtual int32_t ConnectorID() = 0;
  virtual std::string ConnectorGUID() = 0;
  // The kind: "Association", "Connector", "ControlFlow", "ObjectFlow", "Generalization", ...
  virtual std::string Type() = 0;
  virtual std::string Stereotype() = 0;
  virtual int32_t ClientID() = 0;
  virtual int32_t SupplierID() = 0;
  virtual std::shared_ptr<ConnectorEnd> ClientEnd() = 0;
  virtual std::shared_ptr<ConnectorEnd> SupplierEnd() = 0;
  virtual CollectionPtr<ConnectorTaggedValue> TaggedValues() = 0;
};

using ConnectorPtr = std::shared_ptr<Connector>;
using ConnectorEndPtr = std::shared_ptr<ConnectorEnd>;
using ConnectorTaggedValuePtr = std::shared_ptr<ConnectorTaggedValue>;

}  // namespace host
