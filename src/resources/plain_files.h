// Files named by a path rather than by a game's own name: temporary copies in
// the scratch folder, and the files an authoring command writes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace vellumite {

class Platform;

// The bytes of the file at `path`, at most `max_bytes`; nullopt when it
// cannot be opened. (Writing and removing are Platform::write_file and
// Platform::remove_file.)
std::optional<std::string> read_file_at(Platform& platform, const std::string& path,
                                        size_t max_bytes);

}  // namespace vellumite
