// The unit the pixel benchmarks are quoted in, "mc": the time of one memcpy
// of a 640x480x3 frame (921,600 bytes), measured in the same run, so that
// figures from different machines and loads compare.
#pragma once

#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "graphics/pixel_kernels.h"
#include "platform/platform.h"

namespace vellumite {

// VELLUMITE_NO_SIMD (any value): the pixel kernels' portable version, as
// the program runs them with the same variable.
inline const bool kPortableKernels = [] {
  const bool off = std::getenv("VELLUMITE_NO_SIMD") != nullptr;
  if (off) kernels::set_simd_enabled(false);
  return off;
}();

// The median CPU time of 201 frame copies, in seconds.
inline double frame_copy_seconds() {
  static const double seconds = [] {
    std::vector<uint8_t> from(kWindowBytes, 7), to(kWindowBytes);
    std::vector<double> samples;
    for (int i = 0; i < 201; ++i) {
      timespec a{}, b{};
      clock_gettime(CLOCK_THREAD_CPUTIME_ID, &a);
      std::memcpy(to.data(), from.data(), kWindowBytes);
      benchmark::DoNotOptimize(to.data());
      benchmark::ClobberMemory();
      clock_gettime(CLOCK_THREAD_CPUTIME_ID, &b);
      samples.push_back(static_cast<double>(b.tv_sec - a.tv_sec) +
                        static_cast<double>(b.tv_nsec - a.tv_nsec) * 1e-9);
    }
    std::nth_element(samples.begin(), samples.begin() + 100, samples.end());
    return samples[100];
  }();
  return seconds;
}

inline double thread_seconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Made just before a benchmark's loop; report() after it adds the counter
// "mc": the loop's CPU time per iteration in frame copies.
class FrameCopies {
 public:
  FrameCopies() : start_((frame_copy_seconds(), thread_seconds())) {}
  void report(benchmark::State& state) const {
    const double per_iteration =
        (thread_seconds() - start_) / static_cast<double>(std::max<int64_t>(state.iterations(), 1));
    state.counters["mc"] = per_iteration / frame_copy_seconds();
  }

 private:
  double start_;
};

}  // namespace vellumite
