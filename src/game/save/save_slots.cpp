// The page-start snapshot, the slot files and the restoring of a game.
#include "game/save/save_slots.h"

#include <algorithm>
#include <array>
#include <string>

#include "game/audio/sound.h"
#include "game/graphics/effects.h"
#include "game/graphics/image_tag.h"
#include "game/graphics/layers.h"
#include "game/graphics/picture.h"
#include "game/save/persistent_files.h"
#include "game/save/save_fields.h"
#include "game/script/readers.h"
#include "game/shell/dialogs.h"
#include "game/text/text_window.h"
#include "resources/data_files.h"

namespace vellumite {
namespace {

// The largest slot file read: a full history and every string variable at
// its limit stay well below it.
constexpr size_t kMaxSaveFileBytes = size_t{512} << 20;

void trace_slot(Engine& e, std::string_view event, int n) {
  if (e.automation.tracing()) e.automation.trace(event, std::to_string(n));
}

// Everything that sounds stops, and no loop restarts it.
void silence(Engine& e) {
  AudioState& a = e.audio;
  a.cd_loop = false;
  a.midi_loop = false;
  a.wave_loop = false;
  a.mp3_loop = false;
  stop_all_sound(e, false);
}

// A colour written "#rrggbb"; black when a digit is not one.
Colour background_colour(std::string_view name) {
  uint32_t rgb = 0;
  for (size_t i = 1; i < 7; ++i) {
    const int d = i < name.size() ? hex_digit_value(name[i]) : -1;
    if (d < 0) return {};
    rgb = (rgb << 4) | static_cast<uint32_t>(d);
  }
  return Colour::from_rgb(rgb);
}

// The background as `bg` made it: a colour, black, white or a picture
// centred on the screen.
void restore_background(Engine& e) {
  GraphicsState& g = e.graphics;
  const std::string& name = g.layers.background_name;
  create_blank(g.background, kWindowWidth, kWindowHeight, 24);
  if (!name.empty() && name[0] == '#') {
    fill_picture(g.background, 0, 0, kWindowWidth, kWindowHeight, background_colour(name));
  } else if (name == "black" || name == "white" || name.empty()) {
    fill_picture(g.background, 0, 0, kWindowWidth, kWindowHeight,
                 Colour::from_rgb(name == "white" ? 0xFFFFFF : 0));
  } else {
    load_background_picture(e, name);
  }
}

// Steps 5 to 12 of a load: the pictures, the text window and the music from
// the fields just read.
void rebuild_game(Engine& e) {
  GraphicsState& g = e.graphics;
  TextState& t = e.text;
  TextWindow& w = t.window;
  const bool placeholder = g.placeholder_on_missing;
  g.placeholder_on_missing = true;
  if (t.cursors[0].tag.empty()) {
    load_picture_from_tag(e, g.click_cursors[0], ":l/3,160,2;cursor0.bmp");
    load_picture_from_tag(e, g.click_cursors[1], ":l/3,160,2;cursor1.bmp");
  } else {
    load_picture_from_tag(e, g.click_cursors[0], t.cursors[0].tag);
    load_picture_from_tag(e, g.click_cursors[1], t.cursors[1].tag);
  }
  g.placeholder_on_missing = placeholder;

  e.script.menu_busy = false;
  w.column = 0;
  w.row = 0;
  if (!w.window_picture_name.empty() && w.window_colour == -1) {
    load_picture_from_tag(e, g.window_picture, w.window_picture_name);
  }
  fill_picture(g.text_layer, 0, 0, kWindowWidth, kWindowHeight, Colour{});
  std::fill(t.text_alpha.begin(), t.text_alpha.end(), uint8_t{0});
  t.cursor_kind = kCursorNone;
  w.window_shown = false;
  w.window_in_scene = false;

  restore_background(e);
  for (StandingSlot& slot : g.layers.standing) {
    free_picture(slot.picture);
    if (!slot.name.empty()) load_picture_from_tag(e, slot.picture, slot.name);
  }
  for (SpriteSlot& slot : g.layers.sprites) {
    free_picture(slot.picture);
    if (!slot.name.empty()) load_picture_from_tag(e, slot.picture, slot.name);
  }
  w.window_shown = false;
  w.window_in_scene = false;

  AudioState& a = e.audio;
  if (a.cd_track != kCdNoTrack) play_music(e, a.cd_track, a.cd_loop);
  if (!a.midi_name.empty()) play_midi(e, std::string(a.midi_name), a.midi_loop);
  if (!a.wave_name.empty() && a.wave_loop) play_wave(e, std::string(a.wave_name), true);
  if (!a.mp3_name.empty()) play_mp3(e, std::string(a.mp3_name), true);

  g.layers.dirty.clear();
  refresh_scene(e, nullptr);
  run_effect(e, 1, 0, "", nullptr);
}

}  // namespace

std::string save_file_name(int n) { return "save" + std::to_string(n) + ".dat"; }

void state_snapshot(Engine& e) {
  SnapshotWriter writer(e.save.snapshot);
  walk_save_fields(writer, e);
}

void state_snapshot_at(Engine& e, int32_t pos) {
  const int32_t now = e.script.script_pos;
  e.script.script_pos = pos;
  state_snapshot(e);
  e.script.script_pos = now;
}

bool snapshot_before_command(std::string_view word) {
  static constexpr std::array<std::string_view, 21> kQuiet = {
      "mov", "mov5", "add",  "sub",  "inc",   "dec",    "mul", "div",   "mod",    "rnd",   "rnd2",
      "len", "cmp",  "goto", "skip", "gosub", "return", "if",  "notif", "getreg", "getini"};
  return std::find(kQuiet.begin(), kQuiet.end(), word) == kQuiet.end();
}

bool write_save(Engine& e, int n) {
  // Before the first page there is no game to save.
  if (e.save.snapshot.empty()) return false;
  if (!write_data_file(e.platform, data_folder(e), save_file_name(n), e.save.snapshot))
    return false;
  trace_slot(e, "save", n);
  return true;
}

bool save_file_acceptable(Engine& e, std::string_view bytes) {
  SaveReader check(bytes, false);
  walk_save_fields(check, e);
  if (check.refused()) return false;
  for (int32_t pos : check.positions()) {
    if (pos < 0 || pos >= e.script.script_length) return false;
  }
  // A tag that cannot be read would end the game while it loads. A colour
  // or a colour word is a background's name, not a tag.
  for (const std::string& tag : check.tags()) {
    if (tag.empty() || tag[0] == '#' || tag == "black" || tag == "white") continue;
    if (parse_image_tag(tag).status != TagStatus::Ok) return false;
  }
  return true;
}

bool load_save(Engine& e, int n) {
  std::optional<std::string> bytes =
      read_data_file(e.platform, data_folder(e), save_file_name(n), kMaxSaveFileBytes);
  if (!bytes) return false;
  // The whole file is looked at before anything changes, so that a file
  // that cannot belong to this scenario leaves the game as it was.
  if (!save_file_acceptable(e, *bytes)) {
    message_box(e, "エラー", "セーブデータが壊れています。", BoxButtons::Ok);
    return false;
  }
  silence(e);
  SaveReader reader(*bytes, true);
  walk_save_fields(reader, e);
  rebuild_game(e);
  trace_slot(e, "load", n);
  return true;
}

}  // namespace vellumite
