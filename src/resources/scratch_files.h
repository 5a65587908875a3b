// Files the program itself makes in the scratch folder (members taken out of
// archives, expanded sounds) and removes again.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vellumite {

// Whether `name` may be used as a file name inside the scratch folder: not
// empty, not "." or "..", no '/' or '\' and no zero byte.
bool safe_base_name(std::string_view name);

// The text after the last '/' or '\' of `name` (the whole name without one).
// Only ASCII separators count: a Shift-JIS second byte that looks like '\'
// belongs to its character.
std::string_view base_name(std::string_view name_sjis);

// The path of the file `base` in `folder` (ending with '/'), matched without
// regard to ASCII case when the exact name is not there; empty when there is
// no such regular file.
std::string find_file_in_folder(const std::string& folder, std::string_view base);

// Removes a file; false when there was none or it could not be removed.
bool remove_file(const std::string& path);

// The bytes of the file at `path`, at most `max_bytes`; nullopt when it
// cannot be read.
std::optional<std::string> read_data_file(const std::string& path,
                                          size_t max_bytes = static_cast<size_t>(-1));

// Whether a regular file is at `path`.
bool file_exists(const std::string& path);

}  // namespace vellumite
