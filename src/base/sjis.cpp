#include "base/sjis.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace vellumite {
namespace {

// One iconv descriptor per direction and thread, opened on first use and
// closed when the thread ends: opening one costs far more than a short
// conversion, and the trace converts every text line.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

Converter& from_sjis() {
  thread_local Converter converter("UTF-8", "CP932");
  return converter;
}

Converter& into_sjis() {
  thread_local Converter converter("CP932", "UTF-8");
  return converter;
}

// Converts with iconv; on an invalid or unconvertible sequence it writes
// `replacement` and skips `skip_bytes(input)` bytes of input. Without the
// converter there is no way to show a game's text correctly, so it refuses
// rather than passing bytes through as if they were UTF-8.
template <typename Skip>
std::string convert(Converter& converter, std::string_view input, std::string_view replacement,
                    Skip skip_bytes) {
  if (!converter.ok()) throw std::runtime_error("no Shift-JIS (CP932) converter");
  iconv_t cd = converter.get();
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
  std::string out;
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
  return out;
}

}  // namespace

bool sjis_conversion_available() { return from_sjis().ok() && into_sjis().ok(); }

std::string to_utf8(std::string_view sjis) {
  // A lead byte takes its follower with it only when that is a trail byte;
  // anything else (a space, a line feed, a NUL) stays a character of its own.
  return convert(from_sjis(), sjis, "\xEF\xBF\xBD", [](std::string_view rest) -> size_t {
    if (!is_sjis_lead(static_cast<unsigned char>(rest[0])) || rest.size() < 2) return 1;
    auto trail = static_cast<unsigned char>(rest[1]);
    return trail >= 0x40 && trail <= 0xFC && trail != 0x7F ? 2 : 1;
  });
}

std::string to_sjis(std::string_view utf8) {
  return convert(into_sjis(), utf8, "?", [](std::string_view rest) -> size_t {
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
