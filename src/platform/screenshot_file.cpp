// F12's picture of the window: a PNG named after the moment it was taken, in
// the player's pictures folder.
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/platform_base.h"
#include "platform/png_writer.h"

namespace vellumite {
namespace {

// $XDG_PICTURES_DIR, else $HOME; empty when neither is set.
std::string pictures_folder_from_environment() {
  for (const char* name : {"XDG_PICTURES_DIR", "HOME"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return value;
  }
  return "";
}

}  // namespace

int64_t PlatformBase::wall_seconds() { return static_cast<int64_t>(std::time(nullptr)); }

std::string PlatformBase::save_screenshot() {
  std::string folder = options_.pictures_folder.empty() ? pictures_folder_from_environment()
                                                        : options_.pictures_folder;
  if (folder.empty()) return "";
  if (folder.back() != '/') folder += '/';
  const LocalTime t = local_time(wall_seconds());
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "vellumite-%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  // Several pictures in one second each keep their own file.
  std::string name = std::string(stamp) + ".png";
  for (int n = 2; path_kind(folder + name) != PathKind::None && n < 1000; ++n) {
    name = std::string(stamp) + "-" + std::to_string(n) + ".png";
  }
  if (!write_window_png(folder + name, window_pixels())) {
    log("cannot write the screenshot " + folder + name);
    return "";
  }
  return name;
}

}  // namespace vellumite
