// Reading an image tag in a command: a malformed tag is a script error.
#include "game/graphics/image_tag.h"

#include <string>

#include "game/engine.h"
#include "game/script/readers.h"
#include "game/script/script_error.h"

namespace vellumite {

ImageTag read_image_tag(Engine& e, std::string_view text) {
  TagParse parsed = parse_image_tag(text);
  if (parsed.status == TagStatus::BadColor) {
    // The colour reader reports its own error; it needs the text
    // NUL-terminated.
    std::string copy(text.substr(0, text.find('\0')));
    read_color(e, copy.c_str() + parsed.color_at);
  }
  if (parsed.status != TagStatus::Ok) {
    script_error(e, "タグエラー", error_message("タグの指定がおかしいです。"));
  }
  return std::move(parsed.tag);
}

}  // namespace vellumite
