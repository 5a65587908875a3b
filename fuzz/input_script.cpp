// Feeds arbitrary text to the input-script parser. Whatever it accepts must
// be a list of events that stays within what the backends deliver.
#include "platform/input_script.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vellumite;
  const InputParseResult parsed =
      parse_input_script(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!parsed.error.empty()) return 0;
  int line = 0;
  for (const InputEvent& event : parsed.events) {
    // Events keep the order of their lines.
    if (event.line < line) std::abort();
    line = event.line;
  }
  return 0;
}
