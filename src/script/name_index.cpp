#include "script/name_index.h"

#include <cstring>

namespace vellumite {
namespace {

// Eight bytes at a time, then the tail; the last steps spread every bit of
// the name over the low bits that pick the slot.
uint64_t hash_name(std::string_view name) {
  uint64_t h = name.size() * 0x9E3779B97F4A7C15u;
  size_t i = 0;
  for (; i + 8 <= name.size(); i += 8) {
    uint64_t word = 0;
    std::memcpy(&word, name.data() + i, 8);
    h = (h ^ word) * 0xBF58476D1CE4E5B9u;
    h ^= h >> 29;
  }
  uint64_t tail = 0;
  for (size_t shift = 0; i < name.size(); ++i, shift += 8) {
    tail |= uint64_t{static_cast<unsigned char>(name[i])} << shift;
  }
  h = (h ^ tail) * 0x94D049BB133111EBu;
  return h ^ (h >> 31);
}

}  // namespace

void NameIndex::clear() {
  slots_.clear();
  names_.clear();
  used_ = 0;
}

void NameIndex::reserve(size_t names) {
  size_t slots = 16;
  while (slots < 2 * names) slots *= 2;
  if (slots > slots_.size()) grow(slots);
  names_.reserve(names * 16);
}

// The slot that holds `name`, or the empty one where it would go. The table
// always has an empty slot, so the walk ends.
size_t NameIndex::slot_of(std::string_view name, uint64_t hash) const {
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.value < 0) return i;
    if (slot.hash == hash && slot.length == name.size() &&
        std::string_view(names_).substr(slot.offset, slot.length) == name) {
      return i;
    }
  }
}

int NameIndex::find(std::string_view name) const {
  if (used_ == 0) return -1;
  return slots_[slot_of(name, hash_name(name))].value;
}

bool NameIndex::insert(std::string_view name, int value) {
  if (value < 0) return false;  // -1 marks an empty slot
  if (2 * (used_ + 1) > slots_.size()) grow(slots_.empty() ? 16 : 2 * slots_.size());
  const uint64_t hash = hash_name(name);
  Slot& slot = slots_[slot_of(name, hash)];
  if (slot.value >= 0) return false;
  slot =
      Slot{hash, static_cast<uint32_t>(names_.size()), static_cast<uint32_t>(name.size()), value};
  names_.append(name);
  ++used_;
  return true;
}

void NameIndex::grow(size_t slots) {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(slots, Slot{});
  const size_t mask = slots - 1;
  for (const Slot& slot : old) {
    if (slot.value < 0) continue;
    size_t i = slot.hash & mask;
    while (slots_[i].value >= 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

}  // namespace vellumite
