// Loading pictures for the game: files found in the game folder (or an
// archive), read by the BMP reader or a picture plug-in, and the image tags
// that name them.
#include "game/graphics/picture.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/sjis.h"
#include "game/engine.h"
#include "game/graphics/image_tag.h"
#include "game/resources/archives.h"
#include "game/resources/picture_plugins.h"
#include "game/save/persistent_files.h"
#include "game/script/script_error.h"
#include "graphics/bmp.h"
#include "graphics/graphics_state.h"
#include "resources/game_files.h"

namespace vellumite {
namespace {

// The read-file log behind `fchk` records the name of every picture loaded
// while it is on.
void log_loaded_name(Engine& e, std::string_view name) {
  if (e.save.file_log_enabled) log_file_name(e, name);
}

std::string lowercase_extension(std::string_view name) {
  size_t dot = name.rfind('.');
  std::string extension(dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1));
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return extension;
}

}  // namespace

PictureFile load_picture_file(Engine& e, Picture& picture, std::string_view name,
                              bool placeholder_on_missing) {
  free_picture(picture);
  std::string path = resolve_game_path_logged(e.platform, name);
  bool temporary = false;
  if (path.empty()) {
    std::optional<std::string> extracted = find_in_archives(e, name);
    if (!extracted) {
      if (!placeholder_on_missing) return PictureFile::Missing;
      create_blank(picture, 1, 1, 24);
      return PictureFile::Loaded;
    }
    path = std::move(*extracted);
    temporary = true;
  }

  PictureFile result = PictureFile::Missing;
  std::string extension = lowercase_extension(name);
  const BmpLimits limits{.max_bytes = std::min(kMaxPictureBytes, picture_budget(e.graphics))};
  if (extension == "bmp") {
    const uint64_t size = std::min(e.platform.file_size(path).value_or(0), kMaxBmpFileBytes);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    const std::optional<size_t> got =
        e.platform.read_file_into(path, reinterpret_cast<char*>(bytes.data()), bytes.size());
    bytes.resize(got.value_or(0));
    if (got && read_bmp(picture.surface, bytes, limits) == BmpRead::LeftBlack) {
      e.platform.log(to_utf8(name) + ": a kind of BMP that is not decoded; shown black");
    }
    result = picture.empty() ? PictureFile::Unreadable : PictureFile::Loaded;
  } else if (read_with_picture_plugin(e, picture.surface, path, extension, limits)) {
    result = picture.empty() ? PictureFile::Unreadable : PictureFile::Loaded;
  }
  if (temporary) {
    e.platform.remove_file(path);
  }
  return result;
}

void load_picture_from_tag(Engine& e, Picture& picture, std::string_view tag) {
  const GraphicsState& g = e.graphics;
  reset_picture(picture);
  picture.trans_mode = g.default_trans_mode;
  ImageTag parsed = read_image_tag(e, tag);
  // The animation clock starts when the tag is read.
  if (parsed.has_settings) picture.anim_time = e.platform.ticks();
  apply_image_tag(picture, parsed);
  log_loaded_name(e, parsed.file_name);
  if (load_picture_file(e, picture, parsed.file_name, g.placeholder_on_missing) ==
      PictureFile::Unreadable) {
    script_error(e, "エラー", error_message("ロード失敗!"));
  }
}

}  // namespace vellumite
