// StoredCollection<T>: a host collection whose items are read from the model
// on first use and again on Refresh. Items the collection cannot create make
// AddNew fail.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/collection.h"
#include "host/error.h"

namespace orba::store {

// More items than the host's 16-bit Count can answer.
inline constexpr size_t kMaxCollectionCount = 32767;

template <class T>
class StoredCollection : public host::Collection<T> {
 public:
  using ItemList = std::vector<std::shared_ptr<T>>;
  using Loader = std::function<ItemList()>;
  using Maker = std::function<std::shared_ptr<T>(const std::string& name, const std::string& type)>;

  explicit StoredCollection(Loader load, Maker make_new = nullptr)
      : load_(std::move(load)), make_new_(std::move(make_new)) {}

  int16_t Count() override {
    size_t count = Loaded().size();
    if (count > kMaxCollectionCount) {
      throw host::Error("the collection holds " + std::to_string(count) +
                        " items, more than Count can answer (32767)");
    }
    return static_cast<int16_t>(count);
  }

  ItemList Items() override { return Loaded(); }

  std::shared_ptr<T> AddNew(const std::string& name, const std::string& type) override {
    if (!make_new_) throw host::Error("items cannot be added to this collection");
    return make_new_(name, type);
  }

  void Refresh() override { items_ = load_(); }

 private:
  const ItemList& Loaded() {
    if (!items_) items_ = load_();
    return *items_;
  }

  Loader load_;
  Maker make_new_;
  std::optional<ItemList> items_;
};

template <class T, class... Args>
host::CollectionPtr<T> MakeCollection(Args&&... args) {
  return std::make_shared<StoredCollection<T>>(std::forward<Args>(args)...);
}

}  // namespace orba::store
