#pragma once

#include <cstdint>
#include <string>

#include "platform/backend_only.h"

namespace vellumite {

// Writes the window surface (640x480, blue-green-red, rows bottom-up) as an
// RGB PNG with rows top-down. Returns false when the file cannot be written.
bool write_window_png(const std::string& path, const uint8_t* pixels);

}  // namespace vellumite
