#include "game/script/interpreter.h"

#include <vector>

#include "base/sjis.h"
#include "game/audio/sound.h"
#include "game/graphics/layers.h"
#include "game/save/read_skip.h"
#include "game/save/save_slots.h"
#include "game/script/labels.h"
#include "game/script/readers.h"
#include "game/script/script_error.h"
#include "game/shell/auto_play.h"
#include "game/shell/window_proc.h"
#include "game/text/text_window.h"
#include "platform/trace_text.h"
#include "script/command_table.h"

namespace vellumite {
namespace {

// How many statements run between two looks at a pending window close.
constexpr uint32_t kStatementsPerCloseCheck = 4096;

bool is_command_start(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// Appends a number in full-width digits, with "－" before a negative value.
void append_full_width(std::string& out, int32_t value) {
  int64_t magnitude = value;
  if (magnitude < 0) {
    out += "\x81\x7c";
    magnitude = -magnitude;
  }
  std::string digits = std::to_string(magnitude);
  for (char d : digits) {
    out += '\x82';
    out += static_cast<char>(0x4F + (d - '0'));
  }
}

void run_text_line(Engine& e) {
  if (e.script.define_mode) {
    script_error(e, "定義ブロックエラー",
                 error_message("*defineブロックには、表示文はおけません。"));
  }
  static const std::string kTextLineName = to_sjis("表示文");
  e.script.current_command = kTextLineName;
  note_text_line(e, e.script.script_pos);
  std::string line = assemble_text_line(e);
  if (e.automation.tracing()) e.automation.trace("text", quote_trace_string(to_utf8(line)));
  display_text(e, line);
  if (e.script.reset_requested) game_reset(e);
}

// Between statements: a trap armed with `trap *label` turns a waiting click
// into a jump.
void check_trap(Engine& e) {
  if (e.script.trap_label.empty()) return;
  bool fire = e.platform.take_message(MessageKind::LButtonUp);
  if (!fire && e.shell.clicked_flag) {
    e.shell.clicked_flag = false;
    fire = true;
  }
  if (fire) {
    std::string label = std::move(e.script.trap_label);
    e.script.trap_label.clear();
    jump_to_label(e, label);
  }
}

// Runs the command `entry` found for `word` (null: no such command).
void run_command(Engine& e, std::string_view word, const CommandEntry* entry) {
  if (e.script.reset_requested) {
    game_reset(e);
    return;
  }
  if (entry == nullptr) {
    script_error(e, "構文エラー", error_message("不正な命令\"%s\"です。", word));
  }
  e.script.current_command = entry->name;
  entry->handler(e);
}

// Which commands take the page-start snapshot before they run, one flag per
// entry of the command table, worked out once; a word that is no command
// takes it too.
class SnapshotRule {
 public:
  SnapshotRule() {
    size_t count = 0;
    first_ = all_commands(count);
    flags_.resize(count);
    for (size_t i = 0; i < count; ++i) flags_[i] = snapshot_before_command(first_[i].name);
  }
  bool before(const CommandEntry* entry) const {
    return entry == nullptr || flags_[static_cast<size_t>(entry - first_)] != 0;
  }

 private:
  const CommandEntry* first_ = nullptr;
  std::vector<uint8_t> flags_;
};

const SnapshotRule& snapshot_rule() {
  static const SnapshotRule rule;
  return rule;
}

}  // namespace

std::string assemble_text_line(Engine& e) {
  std::string line;
  std::string text;
  const char* buf = e.script.script_buffer.get();
  for (;;) {
    int32_t pos = e.script.script_pos;
    char c = buf[pos];
    if (c == '\n' || c == '\0') break;
    if (c == '$') {
      read_string(e, text);
      line += text;
    } else if (c == '%' && !(pos >= 2 && buf[pos - 2] == '!')) {
      append_full_width(line, read_number(e));
    } else {
      line += c;
      ++e.script.script_pos;
    }
  }
  return line;
}

void dispatch_command(Engine& e, std::string_view word) {
  run_command(e, word, find_command(word, e.script.define_mode));
}

void run_interpreter(Engine& e, bool define_mode) {
  ScriptState& s = e.script;
  s.define_mode = define_mode;
  if (define_mode) {
    jump_to_label(e, "define");
    s.trap_label.clear();
    s.define_done = false;
  }
  skip_blanks(e);
  const SnapshotRule& snapshot = snapshot_rule();
  TokenScratch scratch;
  for (;;) {
    if (s.restart_requested) return;
    e.platform.yield();
    if (++s.statements_since_yield >= kStatementsPerCloseCheck) {
      s.statements_since_yield = 0;
      answer_pending_close(e);
    }
    check_trap(e);
    char c = s.script_buffer[s.script_pos];
    switch (c) {
      case ' ':
      case '\t':
      case '\n':
      case ':': ++s.script_pos; continue;
      case '*':
        if (!s.labels_reached.empty()) note_label_line(e, s.script_pos);
        skip_to_line_end(e);
        continue;
      case ';': skip_to_line_end(e); continue;
      case '\0': script_error(e, "スクリプトエラー", error_message("ファイルの終端に達しました。"));
      default: break;
    }
    // A save made later on this page restores the game as it stands before
    // the statement that runs while the page is still empty.
    const bool page_start = !define_mode && e.text.window.column == 0 && e.text.window.row == 0;
    if (is_command_start(c)) {
      const int32_t start = s.script_pos;
      const std::string_view word = read_token(e, scratch);
      const CommandEntry* entry = find_command(word, define_mode);
      if (page_start && snapshot.before(entry)) state_snapshot_at(e, start);
      run_command(e, word, entry);
      if (define_mode && s.define_done) return;
    } else {
      if (page_start) state_snapshot(e);
      run_text_line(e);
    }
  }
}

void game_reset(Engine& e) {
  ScriptState& s = e.script;
  stop_all_sound(e, false);
  reset_text(e);
  s.reset_requested = false;
  s.load_done = false;
  s.menu_busy = false;
  e.shell.autoclick_active = false;
  e.shell.skip_to_choice = false;
  s.trap_label.clear();
  reset_pictures(e);
  clear_local_variables(e.vars);
  jump_to_label(e, "start");
  s.gosub_depth = 0;
}

}  // namespace vellumite
