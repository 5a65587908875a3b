// Files named by a path rather than by a game's own name: temporary copies in
// the scratch folder, and the files an authoring command writes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vellumite {

// The bytes of the file at `path`, at most `max_bytes`; nullopt when it
// cannot be opened.
std::optional<std::string> read_file_at(const std::string& path, size_t max_bytes);

// Writes `bytes` to `path` in one step: into a temporary file in the same
// folder, which then replaces any file of that name. Missing folders on the
// way are made. False on any failure; an old file is then left as it was.
bool write_file_replacing(const std::string& path, std::string_view bytes);

// Removes the file at `path`; a file that is not there is no error.
void discard_file(const std::string& path);

}  // namespace vellumite
