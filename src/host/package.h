// Package and Diagram.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "automation/object.h"
#include "host/collection.h"
#include "host/element.h"

namespace host {

class Diagram : public automation::Object {
 public:
  ~Diagram() override;
  virtual int32_t DiagramID() = 0;
  virtual std::string Name() = 0;
  virtual std::string Type() = 0;
  virtual int32_t DisplayFlags() = 0;
  virtual void SetDisplayFlags(int32_t flags) = 0;
  virtual bool Update() = 0;
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
