// The define-block commands of the save data: savenumber, savename,
// globalon, filelog.
#include "game/save/persistent_files.h"
#include "game/script/readers.h"
#include "game/script/script_error.h"
#include "script/command_table.h"

namespace vellumite {
namespace {

// savenumber n: how many slots the slot list shows, at most 20.
void cmd_savenumber(Engine& e) {
  const int32_t n = read_number(e);
  if (n > kMaxSaveSlots) {
    script_error(e, "エラー", error_message("セーブ数は%d以下にしてください。", kMaxSaveSlots));
  }
  e.save.save_count = n;
}

// savename "save title", "load title", "slot prefix".
void cmd_savename(Engine& e) {
  SaveState& s = e.save;
  read_string(e, s.save_title);
  expect_comma(e);
  read_string(e, s.load_title);
  expect_comma(e);
  read_string(e, s.slot_prefix);
}

void cmd_globalon(Engine& e) { e.save.global_save_enabled = true; }
void cmd_filelog(Engine& e) { e.save.file_log_enabled = true; }

}  // namespace

void bind_save_commands(CommandBinder& binder) {
  binder.bind("savenumber", cmd_savenumber);
  binder.bind("savename", cmd_savename);
  binder.bind("globalon", cmd_globalon);
  binder.bind("filelog", cmd_filelog);
}

}  // namespace vellumite
