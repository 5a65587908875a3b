#include "text/sjis.h"

#include <iconv.h>

#include <cerrno>

namespace vellumite {
namespace {

// Converts with iconv; on an invalid or unconvertible sequence it writes
// `replacement` and skips `skip_bytes(input)` bytes of input.
template <typename Skip>
std::string convert(const char* to, const char* from, std::string_view input,
                    std::string_view replacement, Skip skip_bytes) {
  std::string out;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(input);
  out.reserve(input.size() * 3 / 2 + 4);
  char* in_ptr = const_cast<char*>(input.data());
  size_t in_left = input.size();
  char buffer[1024];
  while (in_left > 0) {
    char* out_ptr = buffer;
    size_t out_left = sizeof buffer;
    size_t result = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
    out.append(buffer, static_cast<size_t>(out_ptr - buffer));
    if (result == static_cast<size_t>(-1) && errno != E2BIG) {
      // EILSEQ or EINVAL (a truncated character at the end).
      out.append(replacement);
      size_t skip = std::min(in_left, skip_bytes(std::string_view(in_ptr, in_left)));
      in_ptr += skip;
      in_left -= skip;
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string to_utf8(std::string_view sjis) {
  // A lead byte takes its follower with it only when that is a trail byte;
  // anything else (a space, a line feed, a NUL) stays a character of its own.
  return convert("UTF-8", "CP932", sjis, "\xEF\xBF\xBD", [](std::string_view rest) -> size_t {
    if (!is_sjis_lead(static_cast<unsigned char>(rest[0])) || rest.size() < 2) return 1;
    auto trail = static_cast<unsigned char>(rest[1]);
    return trail >= 0x40 && trail <= 0xFC && trail != 0x7F ? 2 : 1;
  });
}

std::string to_sjis(std::string_view utf8) {
  return convert("CP932", "UTF-8", utf8, "?", [](std::string_view rest) -> size_t {
    auto c = static_cast<unsigned char>(rest[0]);
    size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    // A truncated sequence ends at the first byte that does not continue it.
    size_t length = 1;
    while (length < n && length < rest.size() &&
           (static_cast<unsigned char>(rest[length]) & 0xC0) == 0x80) {
      ++length;
    }
    return length;
  });
}

}  // namespace vellumite
