// Arbitrary bytes as gloval.sav: read into the global variables, written
// back, and the written bytes must read to the same variables.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "game/save/persistent_files.h"
#include "script/variables.h"

using namespace vellumite;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static VarState* vars = new VarState;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  load_globals_image(*vars, bytes);
  const std::string first = globals_image(*vars);
  load_globals_image(*vars, first);
  if (globals_image(*vars) != first) std::abort();
  return 0;
}
