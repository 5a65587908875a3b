#include "script/scenario_text.h"

#include <array>
#include <cstring>

namespace vellumite {

void scramble_scenario(char* data, size_t size, bool secret) {
  if (!secret) {
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>(data[i] ^ kPlainKey);
    return;
  }
  // The five-byte key repeated to 40 bytes, so that whole blocks are XORed
  // with a fixed pattern (which the compiler turns into vector code).
  std::array<unsigned char, 40> pattern;
  for (size_t j = 0; j < pattern.size(); ++j) pattern[j] = kSecretKey[j % 5];
  size_t i = 0;
  for (; i + pattern.size() <= size; i += pattern.size()) {
    for (size_t j = 0; j < pattern.size(); ++j)
      data[i + j] = static_cast<char>(data[i + j] ^ pattern[j]);
  }
  for (; i < size; ++i) data[i] = static_cast<char>(data[i] ^ kSecretKey[i % 5]);
}

size_t copy_text_mode(std::string_view raw, char* out, size_t room) {
  const char* in = raw.data();
  size_t n = raw.size();
  if (const void* end = std::memchr(in, '\x1a', n))
    n = static_cast<size_t>(static_cast<const char*>(end) - in);
  // Stretches up to the next carriage return are moved whole; `out` may be
  // the start of `raw` itself, since nothing is ever written ahead of what
  // has been read.
  size_t stored = 0, i = 0;
  while (i < n && stored < room) {
    const void* cr = std::memchr(in + i, '\r', n - i);
    const size_t stop = cr != nullptr ? static_cast<size_t>(static_cast<const char*>(cr) - in) : n;
    const size_t take = std::min(stop - i, room - stored);
    std::memmove(out + stored, in + i, take);
    stored += take;
    i += take;
    if (i < stop || i == n || stored == room) break;
    // A carriage return: dropped before a line feed, kept otherwise.
    if (i + 1 < n && in[i + 1] == '\n') {
      ++i;
      continue;
    }
    out[stored++] = in[i++];
  }
  return stored;
}

}  // namespace vellumite
