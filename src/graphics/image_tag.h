// Image tags: the strings scripts use to name pictures. A tag is a file name,
// or ":" settings ";" file name, where the settings give a transparency mode
// and a cell animation, e.g. ":l/3,160,2;cursor0.bmp".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/colour.h"

namespace vellumite {

struct Engine;
struct Picture;

constexpr size_t kMaxTagBytes = 255;

struct ImageTag {
  bool has_settings = false;  // the tag starts with ':' and has settings text
  int32_t trans_mode = -1;    // a TransMode, or -1 when the tag names none
  bool key_color_given = false;
  Colour key_colour;
  bool key_index_given = false;
  int32_t key_index = 0;
  bool animated = false;  // an animation group was given
  int32_t cells = 1;
  int32_t interval = 0;  // -1: per-cell times in cell_intervals
  std::vector<int32_t> cell_intervals;
  int32_t loop_mode = 0;
  std::string file_name;  // Shift-JIS, at most kMaxTagBytes bytes
};

enum class TagStatus {
  Ok,
  Malformed,  // the tag error
  BadColor,   // "#" not followed by six hexadecimal digits
};

struct TagParse {
  TagStatus status = TagStatus::Ok;
  ImageTag tag;
  size_t color_at = 0;  // BadColor: offset of the text behind the '#'
};

// Parses a tag without side effects. The text ends at its first NUL byte.
TagParse parse_image_tag(std::string_view text);

// Copies what the tag gives (mode, key, animation) into the picture.
void apply_image_tag(Picture& picture, const ImageTag& tag);

}  // namespace vellumite
