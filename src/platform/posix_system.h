// Process-level services on POSIX systems, shared by both backends.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/backend_only.h"
#include "platform/platform.h"

namespace vellumite {

// Takes the lock file "VorazOrid2" in the user's runtime directory (or the
// temp directory) and holds it until the process ends. False when another
// process holds it.
bool acquire_instance_lock();

// "<temp>/vellumite-<uid>/Velm/", created when missing; waits (briefly) until
// it is there. Empty when it cannot be created.
std::string prepare_scratch_folder();

// Removes the scratch folder and its per-user parent when they are empty.
void remove_scratch_folder_if_empty();

// Where the window was and how large, kept between runs in the user's
// configuration folder ($XDG_CONFIG_HOME/vellumite/window, else
// ~/.config/vellumite/window).
struct WindowPlacement {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};
bool load_window_placement(WindowPlacement& placement);
void save_window_placement(const WindowPlacement& placement);

// "$XDG_CONFIG_HOME/vellumite/settings.ini" (else under ~/.config); empty
// when neither variable is set.
std::string settings_file_path();

// $XDG_DATA_HOME, else "$HOME/.local/share"; empty when neither is set.
std::string user_data_folder();

// `seconds` since 1970 in the local time zone, or in UTC.
LocalTime local_calendar(int64_t seconds, bool utc);

// The whole file; nullopt when it cannot be read.
std::optional<std::string> read_whole_file(const std::string& path);
// Writes `bytes` to a temporary file in the same folder (created, with its
// parents, when missing) and renames it over `path`, so the file is either
// the old one or the new one, never a half-written one. False on failure
// (the old file is then left as it was).
bool replace_file(const std::string& path, std::string_view bytes);

}  // namespace vellumite
