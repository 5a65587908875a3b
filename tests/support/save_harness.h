// An engine in a fresh game folder (the current directory for its life),
// with a small scenario loaded and a trace to read, for the save files.
#pragma once

#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "base/sjis.h"
#include "game/engine.h"
#include "game_runner.h"
#include "graphics/graphics_state.h"
#include "platform/headless/headless_platform.h"
#include "platform/input_script.h"

namespace vellumite::testing {

// The headless platform, with writes that can be made to fail as a full disk
// or a read-only folder would.
struct WriteFailingPlatform : HeadlessPlatform {
  using HeadlessPlatform::HeadlessPlatform;
  bool write_file(const std::string& path, std::string_view bytes) override {
    return !refuse_writes && HeadlessPlatform::write_file(path, bytes);
  }
  bool refuse_writes = false;
};

struct SaveHarness {
  explicit SaveHarness(std::string_view input = "", int32_t script_length = 100)
      : in(dir), platform(options(input, trace)), e(platform) {
    create_screen_pictures(e.graphics);
    e.shell.font_face = to_sjis("ＭＳ ゴシック");
    e.text.drawing_font_face = e.shell.font_face;
    e.script.script_buffer = std::make_unique<char[]>(static_cast<size_t>(script_length) + 1);
    std::memset(e.script.script_buffer.get(), ' ', static_cast<size_t>(script_length));
    e.script.script_buffer[script_length] = '\0';
    e.script.script_length = script_length;
  }
  static PlatformOptions options(std::string_view input, std::ostringstream& trace) {
    PlatformOptions o;
    o.quiet = true;
    o.trace = &trace;
    o.input = parse_input_script(input).events;
    return o;
  }
  std::string file(const std::string& name) const { return read_file(dir.path() / name); }

  GameDir dir;
  InDir in;
  std::ostringstream trace;
  WriteFailingPlatform platform;
  Engine e;
};

}  // namespace vellumite::testing
