// The files the engine writes into the game folder for the player: the save
// slots, the global variables, the read log and the menu settings. They are
// replaced as one step (Platform::write_file: never left half written) and,
// when the game folder cannot be written, kept in a per-game folder of the
// user's data folder.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vellumite {

class Platform;

// Whether a file can be created in the current directory (tried, not
// guessed from permission bits).
bool game_folder_writable(Platform& platform);

// The folder the data files go to: "" (the game folder) when it is
// writable, else "<data_home>/vellumite/<game folder name>/"; "" as well
// when `data_home` is empty.
std::string data_folder_for(bool writable, std::string_view data_home,
                            std::string_view game_folder_name);
// The name of the current directory (its last path component).
std::string current_folder_name(Platform& platform);

// Reads the data file `name` (plain ASCII name) from `folder` first, then
// from the game folder; at most `max_bytes`. Nullopt when neither has it.
std::optional<std::string> read_data_file(Platform& platform, std::string_view folder,
                                          std::string_view name,
                                          size_t max_bytes = static_cast<size_t>(-1));
// Where a data file of that name is found (the same order), or "".
std::string find_data_file(Platform& platform, std::string_view folder, std::string_view name);
// Replaces the file `name` in `folder` (or the game folder when "") as one
// step; false on failure, the old file then untouched.
bool write_data_file(Platform& platform, std::string_view folder, std::string_view name,
                     std::string_view bytes);

}  // namespace vellumite
