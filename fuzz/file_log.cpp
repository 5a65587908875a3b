// Arbitrary bytes as Velmflog.dat: the read log read, written and read
// again must give the same file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
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
  e->save.file_log.clear();
  e->save.file_log_index.clear();
  load_file_log_image(*e, bytes);
  if (e->save.file_log.size() > kMaxFileLogNames) std::abort();
  const std::string first = file_log_image(*e);
  load_file_log_image(*e, first);
  if (file_log_image(*e) != first) std::abort();
  return 0;
}
