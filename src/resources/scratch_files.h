// Names of the files the program makes in the scratch folder (members taken
// out of archives, expanded sounds), and finding them there. Reading and
// removing them are read_file_at (plain_files.h) and Platform::remove_file.
#pragma once

#include <string>
#include <string_view>

namespace vellumite {

class Platform;

// Whether `name` may be used as a file name inside the scratch folder: not
// empty, not "." or "..", no '/' or '\' and no zero byte.
bool safe_base_name(std::string_view name);

// The text after the last '/' or '\' of `name` (the whole name without one).
// Only ASCII separators count: a Shift-JIS second byte that looks like '\'
// belongs to its character.
std::string_view base_name(std::string_view name_sjis);

// The path of the file `base` in `folder` (ending with '/'), matched without
// regard to ASCII case when the exact name is not there; empty when there is
// no such file or `base` is not a safe base name.
std::string find_file_in_folder(Platform& platform, const std::string& folder,
                                std::string_view base);

}  // namespace vellumite
