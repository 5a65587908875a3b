#include "save/read_record.h"

#include <algorithm>
#include <vector>

namespace vellumite {
namespace {

constexpr std::string_view kMagic = "VLMREAD1";
constexpr size_t kHeaderBytes = 8 + 3 * 4;

void put32(std::string& out, uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>(v >> shift & 0xFF);
}

uint32_t get32(std::string_view bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
  return v;
}

}  // namespace

uint32_t scenario_hash(std::string_view scenario) {
  uint32_t h = 2166136261u;
  for (char c : scenario) {
    h ^= static_cast<unsigned char>(c);
    h *= 16777619u;
  }
  return h;
}

std::string format_read_record(const ReadRecord& record) {
  std::vector<uint32_t> sorted(record.positions.begin(), record.positions.end());
  std::sort(sorted.begin(), sorted.end());
  std::string out(kMagic);
  put32(out, record.scenario_size);
  put32(out, record.scenario_hash);
  put32(out, static_cast<uint32_t>(sorted.size()));
  for (uint32_t p : sorted) put32(out, p);
  return out;
}

bool parse_read_record(std::string_view bytes, ReadRecord& record) {
  if (bytes.size() < kHeaderBytes || bytes.substr(0, kMagic.size()) != kMagic) return false;
  if (get32(bytes, 8) != record.scenario_size || get32(bytes, 12) != record.scenario_hash) {
    return false;
  }
  const uint32_t count = get32(bytes, 16);
  if ((bytes.size() - kHeaderBytes) / 4 != count || (bytes.size() - kHeaderBytes) % 4 != 0) {
    return false;
  }
  std::unordered_set<uint32_t> positions;
  positions.reserve(count);
  uint32_t previous = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t p = get32(bytes, kHeaderBytes + size_t{i} * 4);
    // Ascending and inside the scenario, as written.
    if (p >= record.scenario_size || (i > 0 && p <= previous)) return false;
    positions.insert(p);
    previous = p;
  }
  record.positions = std::move(positions);
  return true;
}

}  // namespace vellumite
