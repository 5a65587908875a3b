// VELLUMITE_NO_SIMD set: the whole suite runs with the pixel kernels'
// portable version, as the program does with the same variable.
#include <cstdlib>

#include "graphics/pixel_kernels.h"

namespace {

const bool kNoSimd = [] {
  const bool off = std::getenv("VELLUMITE_NO_SIMD") != nullptr;
  if (off) vellumite::kernels::set_simd_enabled(false);
  return off;
}();

}  // namespace
