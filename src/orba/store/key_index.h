// The keys of a model document's items and what each stands for, looked up
// once per reference while a document of millions of items is imported. The
// texts of keys stay where they are (in the document, or in the index for
// keys built from escaped text); the index holds one entry per key in one array
// and finds it by open addressing, so a lookup costs one or two cache misses
// and adding a key allocates nothing most of the time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace orba::store {

template <class Value>
class KeyIndex {
 public:
  // Adds `key` with `value`; false, leaving the index as it was, when the
  // key is there already. `key` must live as long as the index.
  bool Add(std::string_view key, Value value);
  // A lasting copy of `key`, for a key that was built rather than found in
  // the document.
  std::string_view Keep(std::string key) { return owned_keys_.emplace_back(std::move(key)); }

  // The value of `key`; nullptr when it was never added.
  const Value* Find(std::string_view key) const;

  // Calls `visit(key, value)` for each key, in the order they were added.
  template <class Visit>
  void ForEach(Visit visit) const {
    for (const Entry& entry : entries_) visit(entry.key, entry.value);
  }

 private:
  struct Entry {
    std::string_view key;
    size_t hash;
    Value value;
  };
  static constexpr uint32_t kEmpty = 0;  // a slot holds an entry's index + 1

  // The slot holding `key`, or the empty slot where it belongs.
  size_t SlotOf(std::string_view key, size_t hash) const;
  void Grow();

  std::vector<Entry> entries_;
  std::vector<uint32_t> slots_;  // a power of two, at most half full
  std::deque<std::string> owned_keys_;
};

template <class Value>
size_t KeyIndex<Value>::SlotOf(std::string_view key, size_t hash) const {
  const size_t mask = slots_.size() - 1;
  for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const uint32_t held = slots_[slot];
    if (held == kEmpty) return slot;
    const Entry& entry = entries_[held - 1];
    if (entry.hash == hash && entry.key == key) return slot;
  }
}

template <class Value>
const Value* KeyIndex<Value>::Find(std::string_view key) const {
  if (slots_.empty()) return nullptr;
  const uint32_t held = slots_[SlotOf(key, std::hash<std::string_view>()(key))];
  return held == kEmpty ? nullptr : &entries_[held - 1].value;
}

template <class Value>
bool KeyIndex<Value>::Add(std::string_view key, Value value) {
  if ((entries_.size() + 1) * 2 > slots_.size()) Grow();
  const size_t hash = std::hash<std::string_view>()(key);
  uint32_t& held = slots_[SlotOf(key, hash)];
  if (held != kEmpty) return false;
  entries_.push_back(Entry{key, hash, value});
  held = static_cast<uint32_t>(entries_.size());
  return true;
}

template <class Value>
void KeyIndex<Value>::Grow() {
  slots_.assign(slots_.empty() ? 1024 : slots_.size() * 2, kEmpty);
  const size_t mask = slots_.size() - 1;
  for (size_t index = 0; index < entries_.size(); ++index) {
    size_t slot = entries_[index].hash & mask;
    while (slots_[slot] != kEmpty) slot = (slot + 1) & mask;
    slots_[slot] = static_cast<uint32_t>(index + 1);
  }
}

}  // namespace orba::store
