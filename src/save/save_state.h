// State of the persistence subsystem: the page-start snapshot, the slot
// list's settings, the switches of the global variables and the read log,
// and the folder the data files live in.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "save/read_record.h"

namespace vellumite {

constexpr int kMaxSaveSlots = 20;
constexpr int kDefaultSaveSlots = 9;
constexpr size_t kMaxFileLogNames = 4000;

struct SaveState {
  // The game as it stood at the start of the current page, in the bytes of
  // a slot file. It grows as needed (history, names and string variables
  // have no common bound) and is reused from one page to the next.
  std::string snapshot;

  // savenumber, savename (Shift-JIS); reset at every cycle start.
  int32_t save_count = kDefaultSaveSlots;
  std::string save_title;
  std::string load_title;
  std::string slot_prefix;

  bool global_save_enabled = false;  // globalon; never cleared
  bool file_log_enabled = false;     // filelog; never cleared

  // The read log: picture names in upper case, in the order they came.
  std::vector<std::string> file_log;
  std::unordered_set<std::string> file_log_index;

  // Where the data files go ("" for the game folder), chosen once at
  // start-up.
  std::string data_folder;
  bool data_folder_chosen = false;

  // The text lines the player has read in this game, in any run.
  ReadRecord read_record;
};

}  // namespace vellumite
