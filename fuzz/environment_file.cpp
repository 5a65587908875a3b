// Arbitrary bytes as envdata: the settings read and the menu commands they
// post. The font name and drive stay within their bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "game/engine.h"
#include "game/save/persistent_files.h"
#include "platform/headless/headless_platform.h"

using namespace vellumite;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static HeadlessPlatform* platform = [] {
    PlatformOptions o;
    o.quiet = true;
    return new HeadlessPlatform(o);
  }();
  static Engine* e = new Engine(*platform);
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  load_environment_image(*e, bytes);
  platform->remove_messages(MessageKind::Command);
  if (e->shell.font_face.size() > 255 || e->shell.cd_drive.size() > 11) std::abort();
  (void)environment_image(e->shell);
  return 0;
}
