// The two ends of the slot file format: the snapshot writer and the file
// reader. The field walker (save_fields.h) hands every field to one of them,
// so writing and reading cannot drift apart.
//
// Every integer is 4 bytes, little-endian, signed; every string its bytes
// and one zero byte. No header, no lengths, no checksum.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "text/history.h"

namespace vellumite {

// Bytes a name field keeps (a picture tag, a sound, a cursor): 255 and the
// zero that ends it.
constexpr size_t kSaveNameBytes = 255;
// Bytes a string variable keeps, as the variable commands allow.
constexpr size_t kSaveStringVarBytes = size_t{1} << 20;

// Appends fields to a byte string (the snapshot).
class SnapshotWriter {
 public:
  static constexpr bool kReading = false;

  explicit SnapshotWriter(std::string& out) : out_(out) { out_.clear(); }

  void put(int32_t value) {
    const auto u = static_cast<uint32_t>(value);
    const char bytes[4] = {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
                           static_cast<char>((u >> 16) & 0xFF), static_cast<char>(u >> 24)};
    out_.append(bytes, 4);
  }
  template <typename T>
  void num(T& value) {
    put(static_cast<int32_t>(value));
  }
  // A colour, as 0xRRGGBB.
  void colour(Colour& value) { put(static_cast<int32_t>(value.rgb())); }
  // A field written as a constant; returns it.
  int32_t constant(int32_t value) {
    put(value);
    return value;
  }
  // A count the walker loops over; returns it.
  int32_t count(int32_t& value) {
    put(value);
    return value;
  }
  // A byte offset into the scenario.
  void position(int32_t& value) { put(value); }
  // A string, cut where a reader would cut it: at an inner zero byte or at
  // `limit` bytes.
  void text(std::string_view value, size_t limit) {
    const size_t n = std::min({value.size(), limit, value.find('\0')});
    out_.append(value.data(), n);
    out_ += '\0';
  }
  // A string that names a picture by its image tag.
  void tag(std::string_view value) { text(value, kSaveNameBytes); }
  void history(const TextHistory& h) { text(history_text(h), h.bytes.size() - 1); }
  // Reading only: stores a value worked out from what was read.
  template <typename T, typename U>
  void assign(T&, U&&) {}
  void refuse() {}

 private:
  std::string& out_;
};

// Reads fields from the bytes of a slot file. A missing tail reads as 0 and
// empty strings. With `store` off it only looks: nothing is changed, and the
// counts and scenario positions it met are kept for checking.
class SaveReader {
 public:
  static constexpr bool kReading = true;

  SaveReader(std::string_view bytes, bool store) : in_(bytes), store_(store) {}

  int32_t get() {
    if (in_.size() - pos_ < 4) {
      pos_ = in_.size();
      return 0;
    }
    uint32_t u = 0;
    for (int i = 3; i >= 0; --i)
      u = (u << 8) | static_cast<uint8_t>(in_[pos_ + static_cast<size_t>(i)]);
    pos_ += 4;
    return static_cast<int32_t>(u);
  }
  template <typename T>
  void num(T& value) {
    const int32_t v = get();
    if (!store_) return;
    if constexpr (std::is_same_v<T, bool>) {
      value = v != 0;
    } else {
      value = static_cast<T>(v);
    }
  }
  void colour(Colour& value) {
    const int32_t v = get();
    if (store_) value = Colour::from_rgb(static_cast<uint32_t>(v));
  }
  int32_t constant(int32_t) { return get(); }
  int32_t count(int32_t& value) {
    const int32_t v = get();
    if (store_) value = v;
    return v;
  }
  void position(int32_t& value) {
    const int32_t v = get();
    positions_.push_back(v);
    if (store_) value = v;
  }
  void text(std::string& value, size_t limit) {
    const std::string_view rest = in_.substr(pos_);
    const size_t end = std::min(rest.find('\0'), rest.size());
    if (store_) value.assign(rest.data(), std::min(end, limit));
    pos_ += std::min(end + 1, rest.size());
  }
  void tag(std::string& value) {
    if (store_) {
      text(value, kSaveNameBytes);
      return;
    }
    std::string seen;
    store_ = true;
    text(seen, kSaveNameBytes);
    store_ = false;
    tags_.push_back(std::move(seen));
  }
  void history(TextHistory& h) {
    std::string text_read;
    text(text_read, h.bytes.size() - 1);
    if (!store_) return;
    std::fill(h.bytes.begin(), h.bytes.end(), '\0');
    std::copy(text_read.begin(), text_read.end(), h.bytes.begin());
    h.write_index = text_read.size();
  }
  template <typename T, typename U>
  void assign(T& target, U&& value) {
    if (store_) target = std::forward<U>(value);
  }
  // The file cannot be a game of this scenario.
  void refuse() { refused_ = true; }

  bool refused() const { return refused_; }
  const std::vector<int32_t>& positions() const { return positions_; }
  // The picture tags met while only looking.
  const std::vector<std::string>& tags() const { return tags_; }

 private:
  std::string_view in_;
  size_t pos_ = 0;
  bool store_ = false;
  bool refused_ = false;
  std::vector<int32_t> positions_;
  std::vector<std::string> tags_;
};

}  // namespace vellumite
