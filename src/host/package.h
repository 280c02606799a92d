// Package and Diagram.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "automation/object.h"
#include "host/collection.h"
#include "host/element.h"

namespace host {

// An element shown on a diagram. Its rectangle's sides are in diagram units,
// y down; all four are 0 when it has no position yet.
class DiagramObject : public automation::Object {
 public:
  ~DiagramObject() override;
  virtual int32_t ElementID() = 0;
  virtual int32_t Left() = 0;
  virtual int32_t Top() = 0;
  virtual int32_t Right() = 0;
  virtual int32_t Bottom() = 0;
};

// A connector on a diagram; a hidden one is kept but not drawn.
class DiagramLink : public automation::Object {
 public:
  ~DiagramLink() override;
  virtual int32_t ConnectorID() = 0;
  virtual bool IsHidden() = 0;
};

class Diagram : public automation::Object {
 public:
  ~Diagram() override;
  virtual int32_t DiagramID() = 0;
  virtual std::string Name() = 0;
  virtual std::string Type() = 0;
  virtual int32_t DisplayFlags() = 0;
  virtual void SetDisplayFlags(int32_t flags) = 0;
  virtual bool Update() = 0;
  virtual CollectionPtr<DiagramObject> DiagramObjects() = 0;
  virtual CollectionPtr<DiagramLink> DiagramLinks() = 0;
};

class Package : public automation::Object {
 public:
  ~Package() override;
  virtual int32_t PackageID() = 0;
  virtual std::string Name() = 0;
  virtual int32_t ParentID() = 0;    // 0 for a root model
  virtual ElementPtr Element() = 0;  // the element standing for the package
  virtual CollectionPtr<host::Element> Elements() = 0;
  virtual CollectionPtr<Diagram> Diagrams() = 0;
};

using PackagePtr = std::shared_ptr<Package>;
using DiagramPtr = std::shared_ptr<Diagram>;

}  // namespace host
