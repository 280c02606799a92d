// RowCache: rows found by id, kept while a read cache is on, so that an item
// that many rules reach is read once. It holds at most about twice its
// capacity: when the newer generation fills, it becomes the older one and the
// oldest rows are dropped, so the rows in use stay and memory stays bounded
// however large the model.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>

namespace orba::store {

template <class Row>
class RowCache {
 public:
  explicit RowCache(size_t capacity) : capacity_(capacity) {}

  // The row kept for `id` (nullopt inside: the id names nothing); null when
  // none is kept.
  const std::optional<Row>* Find(int32_t id) {
    if (auto found = newer_.find(id); found != newer_.end()) return &found->second;
    auto found = older_.find(id);
    if (found == older_.end()) return nullptr;
    return &Put(id, std::move(found->second));
  }

  const std::optional<Row>& Put(int32_t id, std::optional<Row> row) {
    if (newer_.size() >= capacity_) {
      older_ = std::move(newer_);
      newer_.clear();
    }
    return newer_.insert_or_assign(id, std::move(row)).first->second;
  }

  void Clear() {
    newer_.clear();
    older_.clear();
  }

 private:
  size_t capacity_;
  std::unordered_map<int32_t, std::optional<Row>> newer_;
  std::unordered_map<int32_t, std::optional<Row>> older_;
};

}  // namespace orba::store
