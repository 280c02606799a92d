// Collection<T>: the host's ordered collections (an element's Elements,
// Connectors, TaggedValues, a package's Diagrams, ...).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace host {

template <class T>
class Collection {
 public:
  virtual ~Collection() = default;

  // The number of items as the host's 16-bit Count. Throws host::Error when the
  // collection holds more than 32,767 items.
  virtual int16_t Count() = 0;

  // Enumeration: every item, in the host's order.
  virtual std::vector<std::shared_ptr<T>> Items() = 0;

  // Creates a new item (name, type) at the end; it is stored by its Update.
  virtual std::shared_ptr<T> AddNew(const std::string& name, const std::string& type) = 0;

  // Re-reads the collection from the model.
  virtual void Refresh() = 0;
};

template <class T>
using CollectionPtr = std::shared_ptr<Collection<T>>;

}  // namespace host
