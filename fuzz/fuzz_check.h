// The fuzz targets' own assertion: a broken promise of a reader stops the
// run at once, so that libFuzzer keeps the input that broke it.
#pragma once

#include <cstdlib>

namespace vellumite::fuzz {

inline void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace vellumite::fuzz
