#include "game/save/persistent_files.h"

#include <charconv>

#include "base/sjis.h"
#include "game/engine.h"
#include "game/save/read_skip.h"
#include "game/script/control_flow.h"
#include "resources/data_files.h"
#include "save/save_stream.h"

namespace vellumite {
namespace {

constexpr std::string_view kGlobalsFile = "gloval.sav";
constexpr std::string_view kFileLogFile = "Velmflog.dat";
constexpr std::string_view kEnvironmentFile = "envdata";
// The byte every read-log byte is XORed with; the packed scenario's key.
constexpr uint8_t kLogKey = 0xA7;
// The longest read-log entry a reader takes.
constexpr size_t kLogNameBytes = 511;
constexpr size_t kFontNameBytes = 255;
constexpr size_t kDriveBytes = 11;
// Large enough for every variable at the string limit of real games; a
// longer file is read as far as this.
constexpr size_t kMaxGlobalsBytes = size_t{64} << 20;
constexpr size_t kMaxLogBytes = kMaxFileLogNames * (kLogNameBytes + 2) + 32;

std::string upper_case(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
  }
  return out;
}

void post_command(Engine& e, int id) {
  e.platform.post_message(Message{MessageKind::Command, 0, 0, static_cast<uint32_t>(id)});
}

}  // namespace

const std::string& data_folder(Engine& e) {
  SaveState& s = e.save;
  if (!s.data_folder_chosen) {
    s.data_folder_chosen = true;
    s.data_folder = data_folder_for(game_folder_writable(e.platform), e.platform.data_home(),
                                    current_folder_name(e.platform));
  }
  return s.data_folder;
}

void reset_save_cycle_defaults(Engine& e) {
  SaveState& s = e.save;
  s.save_count = kDefaultSaveSlots;
  s.save_title = to_sjis("＜セーブ＞");
  s.load_title = to_sjis("＜ロード＞");
  s.slot_prefix = to_sjis("しおり");
}

// --- gloval.sav --------------------------------------------------------------

std::string globals_image(const VarState& vars) {
  std::string out;
  SnapshotWriter w(out);
  for (size_t n = kLocalVariables; n < kVariableCount; ++n) {
    w.put(vars.num_vars[n]);
    w.text(vars.str_vars[n], kSaveStringVarBytes);
  }
  return out;
}

void load_globals_image(VarState& vars, std::string_view bytes) {
  SaveReader r(bytes, true);
  for (size_t n = kLocalVariables; n < kVariableCount; ++n) {
    r.num(vars.num_vars[n]);
    r.text(vars.str_vars[n], kSaveStringVarBytes);
  }
}

void read_globals(Engine& e) {
  clear_global_variables(e.vars);
  std::optional<std::string> bytes =
      read_data_file(e.platform, data_folder(e), kGlobalsFile, kMaxGlobalsBytes);
  if (bytes) load_globals_image(e.vars, *bytes);
}

void write_globals(Engine& e) {
  write_data_file(e.platform, data_folder(e), kGlobalsFile, globals_image(e.vars));
}

// --- Velmflog.dat ------------------------------------------------------------

void log_file_name(Engine& e, std::string_view name) {
  SaveState& s = e.save;
  if (s.file_log.size() >= kMaxFileLogNames) return;
  std::string upper = upper_case(name);
  if (!s.file_log_index.insert(upper).second) return;
  s.file_log.push_back(std::move(upper));
}

bool file_log_contains(Engine& e, const std::string& name) {
  return e.save.file_log_index.count(upper_case(name)) != 0;
}

std::string file_log_image(Engine& e) {
  std::string entries;
  size_t count = 0;
  for (const std::string& name : e.save.file_log) {
    // A scrambled '"' would end the entry early and shift every later one;
    // such a name, and one longer than a reader takes, stays in memory only.
    if (name.size() > kLogNameBytes || name.find(static_cast<char>('"' ^ kLogKey)) != name.npos) {
      continue;
    }
    entries += '"';
    for (char c : name) entries += static_cast<char>(static_cast<uint8_t>(c) ^ kLogKey);
    entries += '"';
    ++count;
  }
  return std::to_string(count) + "\n" + entries;
}

void load_file_log_image(Engine& e, std::string_view bytes) {
  SaveState& s = e.save;
  // The count in decimal, as "%d\n" wrote it (blanks before it are skipped).
  size_t pos = bytes.find_first_not_of(" \t\r\n");
  if (pos == std::string_view::npos) return;
  int64_t count = 0;
  const char* first = bytes.data() + pos;
  const auto [end, ec] =
      std::from_chars(first + (*first == '+' ? 1 : 0), bytes.data() + bytes.size(), count);
  if (ec != std::errc{}) return;
  pos = static_cast<size_t>(end - bytes.data());
  while (pos < bytes.size() && (bytes[pos] == '\n' || bytes[pos] == '\r' || bytes[pos] == ' ')) {
    ++pos;
  }
  for (int64_t i = 0; i < count && i < static_cast<int64_t>(kMaxFileLogNames); ++i) {
    if (pos >= bytes.size()) break;
    ++pos;  // the opening quote
    const size_t limit = std::min(bytes.size(), pos + kLogNameBytes);
    size_t stop = pos;
    while (stop < limit && bytes[stop] != '"') ++stop;
    std::string name(bytes.substr(pos, stop - pos));
    for (char& c : name) c = static_cast<char>(static_cast<uint8_t>(c) ^ kLogKey);
    pos = stop < bytes.size() && bytes[stop] == '"' ? stop + 1 : stop;
    if (s.file_log.size() < kMaxFileLogNames && s.file_log_index.insert(name).second) {
      s.file_log.push_back(std::move(name));
    }
  }
}

void read_file_log(Engine& e) {
  std::optional<std::string> bytes =
      read_data_file(e.platform, data_folder(e), kFileLogFile, kMaxLogBytes);
  if (bytes) load_file_log_image(e, *bytes);
}

void write_file_log(Engine& e) {
  write_data_file(e.platform, data_folder(e), kFileLogFile, file_log_image(e));
}

// --- envdata -----------------------------------------------------------------

std::string environment_image(const ShellState& shell) {
  std::string out;
  SnapshotWriter w(out);
  w.put(shell.full_screen ? 1 : 0);
  w.put(shell.wave_enabled ? 1 : 0);
  w.put(shell.text_speed_index);
  w.put(shell.page_mode);
  w.text(shell.font_face, kFontNameBytes);
  w.put(shell.cdda_enabled ? 1 : 0);
  w.text(shell.cd_drive, kDriveBytes);
  return out;
}

void load_environment_image(Engine& e, std::string_view bytes) {
  ShellState& shell = e.shell;
  SaveReader r(bytes, true);
  const int32_t full_screen = r.get();
  const int32_t wave = r.get();
  const int32_t speed = r.get();
  const int32_t page_mode = r.get();
  std::string font;
  r.text(font, kFontNameBytes);
  const int32_t cdda = r.get();
  r.text(shell.cd_drive, kDriveBytes);

  shell.font_face = font;
  e.text.drawing_font_face = font;
  if (full_screen != 0) post_command(e, kMenuFullScreen);
  if (wave == 0) post_command(e, kMenuWaveOff);
  if (cdda == 0) post_command(e, kMenuCddaOff);
  if (page_mode != 0) post_command(e, kMenuPageMode);
  if (speed >= 0 && speed <= 2) post_command(e, kMenuSpeedSlow + speed);
  if (font == shell.default_font_face) {
    post_command(e, kMenuFontDefault);
    return;
  }
  for (size_t i = 0; i < shell.font_table.size(); ++i) {
    if (!shell.font_table[i].empty() && shell.font_table[i] == font) {
      post_command(e, static_cast<int>(i));
      return;
    }
  }
}

void read_environment(Engine& e) {
  std::optional<std::string> bytes =
      read_data_file(e.platform, data_folder(e), kEnvironmentFile, size_t{64} << 10);
  if (bytes) load_environment_image(e, *bytes);
}

void write_environment(Engine& e) {
  write_data_file(e.platform, data_folder(e), kEnvironmentFile, environment_image(e.shell));
}

// --- the cycle and the exit ----------------------------------------------------

void read_files_after_define(Engine& e) {
  if (e.save.file_log_enabled) read_file_log(e);
  read_environment(e);
}

void write_files_at_exit(Engine& e) {
  if (e.save.global_save_enabled) write_globals(e);
  write_environment(e);
  if (e.save.file_log_enabled) write_file_log(e);
  write_read_record(e);
}

}  // namespace vellumite
