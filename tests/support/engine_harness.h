// An engine on the headless platform, driven directly by a test, for what
// neither the trace nor the window shows.
#pragma once

#include <string_view>

#include "base/sjis.h"
#include "game/engine.h"
#include "graphics/graphics_state.h"
#include "platform/headless/headless_platform.h"
#include "platform/input_script.h"

namespace vellumite::testing {

struct EngineHarness {
  // `input` in the --input format; the screen pictures exist and the text
  // window's font is the default one.
  explicit EngineHarness(std::string_view input = "") : platform(options(input)), e(platform) {
    create_screen_pictures(e.graphics);
    e.shell.font_face = to_sjis("ＭＳ ゴシック");
    e.text.drawing_font_face = e.shell.font_face;
  }
  static PlatformOptions options(std::string_view input) {
    PlatformOptions o;
    o.quiet = true;
    o.input = parse_input_script(input).events;
    return o;
  }
  HeadlessPlatform platform;
  Engine e;
};

}  // namespace vellumite::testing
