#include "game/shell/cd_drive_dialog.h"

#include <optional>
#include <string>
#include <vector>

#include "base/sjis.h"
#include "game/audio/sound.h"
#include "game/shell/dialogs.h"
#include "game/shell/window_proc.h"
#include "platform/trace_text.h"

namespace vellumite {
namespace {

constexpr std::string_view kDefaultEntry = "デフォルト";

void choose_folder(Engine& e, const std::string& folder) {
  if (folder.empty()) {
    e.shell.cd_drive.clear();
  } else {
    e.shell.cd_drive = folder;
    stop_cd(e);
    close_cd(e);
    // The folder holds tracks: a CD that found none before may play now.
    e.audio.cd_failed = false;
  }
  if (e.automation.tracing()) e.automation.trace("cddrive", quote_trace_string(folder));
}

}  // namespace

void cd_drive_dialog(Engine& e) {
  const std::vector<std::string> folders = cd_track_folders(e.platform);
  std::vector<std::string> items{to_sjis(kDefaultEntry)};
  int selected = 0;
  for (size_t i = 0; i < folders.size(); ++i) {
    items.push_back(to_sjis(folders[i]));
    if (selected == 0 && folders[i] == e.shell.cd_drive) selected = static_cast<int>(i) + 1;
  }

  int chosen = -1;
  if (std::optional<std::string> typed = e.automation.scripted_text_answer()) {
    if (*typed == kDefaultEntry) chosen = 0;
    for (size_t i = 0; i < folders.size() && chosen < 0; ++i) {
      if (folders[i] == *typed) chosen = static_cast<int>(i) + 1;
    }
  } else if (e.platform.dialogs_in_window() && !e.autoplay.on) {
    begin_player_wait(e, "dialog");
    chosen = run_choice_dialog(e, "ＣＤドライブ選択", items, selected);
  }
  if (chosen < 0) return;
  choose_folder(e, chosen == 0 ? std::string() : folders[static_cast<size_t>(chosen) - 1]);
}

}  // namespace vellumite
