// Reading .cur, .ico and .ani files. Every offset and size comes from the
// file and is checked against the bytes actually there before it is used.
#include "graphics/cursor_file.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace vellumite {
namespace {

using Bytes = std::span<const uint8_t>;

// Little-endian reads that fail instead of reading past the end.
bool u16_at(Bytes b, size_t at, uint32_t& out) {
  if (at > b.size() || b.size() - at < 2) return false;
  out = uint32_t{b[at]} | uint32_t{b[at + 1]} << 8;
  return true;
}

bool u32_at(Bytes b, size_t at, uint32_t& out) {
  if (at > b.size() || b.size() - at < 4) return false;
  out = uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 |
        uint32_t{b[at + 3]} << 24;
  return true;
}

// The part [at, at + length) of `b`, or nothing when it does not fit.
std::optional<Bytes> part(Bytes b, uint64_t at, uint64_t length) {
  if (at > b.size() || length > b.size() - at) return std::nullopt;
  return b.subspan(static_cast<size_t>(at), static_cast<size_t>(length));
}

bool tag_is(Bytes b, size_t at, const char* tag) {
  return at <= b.size() && b.size() - at >= 4 && std::memcmp(b.data() + at, tag, 4) == 0;
}

// The device-independent bitmap of one picture of a pointer file: a 40-byte
// (or longer) info header whose height counts the colour rows and the mask
// rows together, the colour table, the colour rows, then the 1-bit AND mask,
// all bottom-up.
struct Dib {
  int32_t width = 0;
  int32_t height = 0;  // of the picture, half the header's
  uint32_t bit_count = 0;
  uint32_t header_size = 0;
  uint32_t colours = 0;  // colour-table entries
};

std::optional<Dib> read_dib_header(Bytes image) {
  Dib d;
  uint32_t width = 0, height = 0, planes_bits = 0, compression = 0, used = 0;
  if (!u32_at(image, 0, d.header_size) || d.header_size < 40 || d.header_size > image.size() ||
      !u32_at(image, 4, width) || !u32_at(image, 8, height) || !u32_at(image, 12, planes_bits) ||
      !u32_at(image, 16, compression) || !u32_at(image, 32, used)) {
    return std::nullopt;
  }
  d.bit_count = planes_bits >> 16;
  // Signed in the header: negative (top-down) heights do not occur in
  // pointer files and are refused with the rest.
  const auto w = static_cast<int32_t>(width), h2 = static_cast<int32_t>(height);
  if (compression != 0 || w < 1 || w > kMaxPointerSide || h2 < 2 || h2 > 2 * kMaxPointerSide)
    return std::nullopt;
  if (d.bit_count != 1 && d.bit_count != 4 && d.bit_count != 8 && d.bit_count != 24 &&
      d.bit_count != 32) {
    return std::nullopt;
  }
  d.width = w;
  d.height = h2 / 2;
  if (d.bit_count <= 8) {
    const uint32_t full = 1u << d.bit_count;
    d.colours = used != 0 && used <= full ? used : full;
  }
  return d;
}

uint64_t row_bytes(uint64_t bits, uint64_t width) { return (bits * width + 31) / 32 * 4; }

std::optional<PointerImage> decode_dib(Bytes image, int32_t hot_x, int32_t hot_y) {
  const std::optional<Dib> header = read_dib_header(image);
  if (!header) return std::nullopt;
  const Dib& d = *header;
  const uint64_t w = static_cast<uint64_t>(d.width), h = static_cast<uint64_t>(d.height);
  const uint64_t colour_stride = row_bytes(d.bit_count, w), mask_stride = row_bytes(1, w);
  const uint64_t table_at = d.header_size;
  const uint64_t colour_at = table_at + uint64_t{d.colours} * 4;
  const uint64_t mask_at = colour_at + colour_stride * h;
  const std::optional<Bytes> table = part(image, table_at, uint64_t{d.colours} * 4);
  const std::optional<Bytes> colour = part(image, colour_at, colour_stride * h);
  std::optional<Bytes> mask = part(image, mask_at, mask_stride * h);
  if (!table || !colour) return std::nullopt;
  // A 32-bit picture carries its transparency in its alpha; some files
  // leave the AND mask out.
  if (!mask && d.bit_count != 32) return std::nullopt;

  bool any_alpha = false;
  if (d.bit_count == 32) {
    for (size_t i = 3; i < colour->size(); i += 4) any_alpha |= (*colour)[i] != 0;
  }

  PointerImage out;
  out.width = d.width;
  out.height = d.height;
  out.hot_x = std::clamp(hot_x, 0, d.width - 1);
  out.hot_y = std::clamp(hot_y, 0, d.height - 1);
  out.bgra.resize(static_cast<size_t>(w * h * 4));
  for (uint64_t y = 0; y < h; ++y) {
    // Picture row y (top down) is stored row h - 1 - y.
    const uint64_t stored = h - 1 - y;
    const uint8_t* crow = colour->data() + stored * colour_stride;
    const uint8_t* mrow = mask ? mask->data() + stored * mask_stride : nullptr;
    uint8_t* o = out.bgra.data() + y * w * 4;
    for (uint64_t x = 0; x < w; ++x, o += 4) {
      uint8_t b = 0, g = 0, r = 0, a = 255;
      if (d.bit_count <= 8) {
        const uint32_t shift = 8 - d.bit_count - static_cast<uint32_t>((x * d.bit_count) % 8);
        const uint32_t index = (crow[x * d.bit_count / 8] >> shift) & ((1u << d.bit_count) - 1);
        // An index past a short colour table is black.
        if (index < d.colours) {
          const uint8_t* c = table->data() + size_t{index} * 4;
          b = c[0];
          g = c[1];
          r = c[2];
        }
      } else {
        const uint8_t* c = crow + x * (d.bit_count / 8);
        b = c[0];
        g = c[1];
        r = c[2];
        if (d.bit_count == 32 && any_alpha) a = c[3];
      }
      const bool masked = mrow != nullptr && ((mrow[x / 8] >> (7 - x % 8)) & 1) != 0;
      if (masked && !(d.bit_count == 32 && any_alpha)) {
        // Transparent where the colour is black; an inverting pixel is black.
        const bool inverts = (b | g | r) != 0;
        b = g = r = 0;
        a = inverts ? 255 : 0;
      }
      o[0] = b;
      o[1] = g;
      o[2] = r;
      o[3] = a;
    }
  }
  return out;
}

// A .cur or .ico file: a 6-byte directory header and 16-byte entries, each
// pointing at one picture.
std::optional<PointerImage> decode_icon_directory(Bytes file) {
  uint32_t reserved = 0, type = 0, count = 0;
  if (!u16_at(file, 0, reserved) || !u16_at(file, 2, type) || !u16_at(file, 4, count) ||
      reserved != 0 || (type != 1 && type != 2) || count == 0) {
    return std::nullopt;
  }
  struct Candidate {
    Bytes image;
    int32_t hot_x = 0, hot_y = 0;
    int64_t distance = 0;
    uint32_t bits = 0;
  };
  std::optional<Candidate> best;
  for (uint32_t i = 0; i < count; ++i) {
    const size_t entry = 6 + size_t{i} * 16;
    uint32_t hot_x = 0, hot_y = 0, length = 0, offset = 0;
    if (!u16_at(file, entry + 4, hot_x) || !u16_at(file, entry + 6, hot_y) ||
        !u32_at(file, entry + 8, length) || !u32_at(file, entry + 12, offset)) {
      return std::nullopt;  // the directory itself is cut short
    }
    const std::optional<Bytes> image = part(file, offset, length);
    if (!image) continue;
    const std::optional<Dib> d = read_dib_header(*image);
    if (!d) continue;  // PNG pictures and malformed headers are passed over
    Candidate c;
    c.image = *image;
    if (type == 2) {
      c.hot_x = static_cast<int32_t>(hot_x);
      c.hot_y = static_cast<int32_t>(hot_y);
    } else {
      // An icon has no hot spot: its centre points.
      c.hot_x = d->width / 2;
      c.hot_y = d->height / 2;
    }
    c.distance = std::abs(int64_t{d->width} - 32) + std::abs(int64_t{d->height} - 32);
    c.bits = d->bit_count;
    if (!best || c.distance < best->distance ||
        (c.distance == best->distance && c.bits > best->bits)) {
      best = c;
    }
  }
  if (!best) return std::nullopt;
  return decode_dib(best->image, best->hot_x, best->hot_y);
}

// The chunks of a RIFF body: 4-byte tag, 4-byte size, data, a pad byte to
// an even length. Calls `visit(tag_at, data)` until it returns true; false
// when no chunk did or a chunk overruns the body.
template <typename Visit>
bool walk_chunks(Bytes body, Visit visit) {
  size_t at = 0;
  while (body.size() - at >= 8) {
    uint32_t size = 0;
    u32_at(body, at + 4, size);
    const std::optional<Bytes> data = part(body, at + 8, size);
    if (!data) return false;
    if (visit(at, *data)) return true;
    at += 8 + size_t{size} + (size & 1);
    if (at > body.size()) return false;
  }
  return false;
}

// An animated pointer: RIFF "ACON" with an "anih" header and a "LIST"
// "fram" of "icon" chunks, each a whole .cur or .ico file. The first frame
// is taken.
std::optional<PointerImage> decode_animated(Bytes file) {
  uint32_t riff_size = 0;
  if (!u32_at(file, 4, riff_size) || riff_size < 4 || !tag_is(file, 8, "ACON")) return std::nullopt;
  // A RIFF size that claims more than the file holds is cut to the file.
  const Bytes body = file.subspan(12, std::min<size_t>(file.size() - 12, riff_size - 4u));
  bool frames_are_files = true;
  std::optional<Bytes> first_frame;
  walk_chunks(body, [&](size_t at, Bytes data) {
    if (tag_is(body, at, "anih")) {
      uint32_t flags = 0;
      // Flag bit 0: the frames are pointer files; without it they are bare
      // bitmaps, which are not read.
      if (u32_at(data, 32, flags)) frames_are_files = (flags & 1) != 0;
      return false;
    }
    if (!tag_is(body, at, "LIST") || !tag_is(data, 0, "fram")) return false;
    const Bytes list = data.subspan(4);
    walk_chunks(list, [&](size_t frame_at, Bytes frame) {
      if (!tag_is(list, frame_at, "icon")) return false;
      first_frame = frame;
      return true;
    });
    return true;
  });
  if (!frames_are_files || !first_frame) return std::nullopt;
  return decode_icon_directory(*first_frame);
}

}  // namespace

std::optional<PointerImage> decode_pointer_file(std::span<const uint8_t> file) {
  if (tag_is(file, 0, "RIFF")) return decode_animated(file);
  return decode_icon_directory(file);
}

uint32_t pointer_fingerprint(const PointerImage& image) {
  uint32_t h = 2166136261u;
  const auto mix = [&h](uint8_t byte) { h = (h ^ byte) * 16777619u; };
  for (int32_t v : {image.width, image.height, image.hot_x, image.hot_y}) {
    for (int shift = 0; shift < 32; shift += 8) mix(static_cast<uint8_t>(v >> shift));
  }
  for (uint8_t byte : image.bgra) mix(byte);
  return h;
}

}  // namespace vellumite
