// Arbitrary bytes as a slot file: the check that refuses a file that cannot
// belong to the scenario, then the reader. What was read must be written
// back as a snapshot that reads and writes to the same bytes again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "game/engine.h"
#include "game/save/save_fields.h"
#include "game/save/save_slots.h"
#include "platform/headless/headless_platform.h"

using namespace vellumite;

namespace {

Engine& engine() {
  static HeadlessPlatform* platform = [] {
    PlatformOptions o;
    o.quiet = true;
    return new HeadlessPlatform(o);
  }();
  static Engine* e = [] {
    auto* made = new Engine(*platform);
    // A scenario of 1000 bytes: positions 0..999 are inside it.
    made->script.script_buffer = std::make_unique<char[]>(1001);
    std::memset(made->script.script_buffer.get(), ' ', 1000);
    made->script.script_buffer[1000] = '\0';
    made->script.script_length = 1000;
    return made;
  }();
  return *e;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Engine& e = engine();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (!save_file_acceptable(e, bytes)) return 0;
  SaveReader reader(bytes, true);
  walk_save_fields(reader, e);
  std::string first;
  SnapshotWriter write_first(first);
  walk_save_fields(write_first, e);
  SaveReader again(first, true);
  walk_save_fields(again, e);
  std::string second;
  SnapshotWriter write_second(second);
  walk_save_fields(write_second, e);
  if (first != second) std::abort();
  return 0;
}
