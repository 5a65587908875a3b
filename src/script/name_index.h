// Names to numbers for the label table: an open-addressed table whose size
// is a power of two, kept at most half full, with every name stored in one
// block of bytes. A lookup hashes the name and compares it in place, with
// no allocation and no division.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellumite {

class NameIndex {
 public:
  void clear();
  void reserve(size_t names);
  // The number stored for `name`, or -1.
  int find(std::string_view name) const;
  size_t count(std::string_view name) const { return find(name) >= 0 ? 1 : 0; }
  // Stores `name` with `value` unless the name is there already (false
  // then, and the first value stays). A negative value is not stored.
  bool insert(std::string_view name, int value);
  size_t size() const { return used_; }

 private:
  struct Slot {
    uint64_t hash = 0;
    uint32_t offset = 0;  // of the name in names_
    uint32_t length = 0;
    int value = -1;  // -1: empty
  };
  size_t slot_of(std::string_view name, uint64_t hash) const;
  void grow(size_t slots);

  std::vector<Slot> slots_;
  std::string names_;
  size_t used_ = 0;
};

}  // namespace vellumite
