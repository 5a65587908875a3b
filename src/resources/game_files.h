// Finding a game's files. Scenarios name files as they were written for a
// Windows file system: any case, backslashes between folders, Shift-JIS
// names. Here the folder may hold them in another case or with UTF-8 names.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vellumite {

class Platform;

// The path of the file the scenario calls `name` (relative to the current
// directory), or empty when there is none. A name that leaves the game
// folder (outside_game_folder) names no file.
std::string resolve_game_path(Platform& platform, std::string_view name_sjis);
// resolve_game_path, with a line on the diagnostic stream for a name refused
// because it leaves the game folder.
std::string resolve_game_path_logged(Platform& platform, std::string_view name_sjis);

// The files of the game folder whose names, without regard to ASCII case,
// are "<N>.txt" for N = 0..99: entry N is the file's real name or empty.
// One look at the folder instead of a hundred.
std::array<std::string, 100> find_numbered_files(Platform& platform);

// Reads a whole game file; at most `max_bytes` bytes. Nullopt when missing
// or unreadable.
std::optional<std::string> read_game_file(Platform& platform, std::string_view name_sjis,
                                          size_t max_bytes = static_cast<size_t>(-1));
// The same into `out`, in one read of the file's size: how many bytes were
// stored (at most `max_bytes`).
std::optional<size_t> read_game_file_into(Platform& platform, std::string_view name_sjis, char* out,
                                          size_t max_bytes);

}  // namespace vellumite
