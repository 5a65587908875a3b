// The one table of the slot file's fields, walked in order both to write the
// snapshot and to read a slot file back (save_stream.h). The odd orders are
// the format's own: blue before green in the text colour, the monochrome
// colour as blue, green, red, the gosub depth before its entries, and the
// MP3 name read even when it is thrown away.
#pragma once

#include <cstdint>
#include <string>

#include "game/engine.h"
#include "save/save_stream.h"

namespace vellumite {

// The value of the first field of every file this program writes; only this
// format carries the gauges and number displays at the end.
constexpr int32_t kSaveFormat = 1;

template <typename IO>
void walk_save_fields(IO& io, Engine& e) {
  TextWindow& w = e.text.window;
  TextState& t = e.text;
  LayerState& layers = e.graphics.layers;
  EffectState& fx = e.graphics.effects;
  ScriptState& s = e.script;
  AudioState& a = e.audio;

  const int32_t format = io.constant(kSaveFormat);  // 1
  io.num(w.bold);                                   // 2
  io.num(w.shadow);                                 // 3
  io.history(t.history);                            // 4
  int32_t history_index = static_cast<int32_t>(t.history.write_index);
  io.num(history_index);  // 5: the length of field 4 counts instead
  io.num(t.history.page_count);
  io.num(t.menu.right_click_enabled);  // 7: rmode
  io.num(w.text_colour.red);           // 8
  io.num(w.text_colour.blue);
  io.num(w.text_colour.green);
  io.tag(t.cursors[0].tag);  // 11
  io.tag(t.cursors[1].tag);
  io.num(fx.window_effect_type);  // 13
  io.num(fx.window_effect_duration);
  io.text(fx.window_effect_mask, kSaveNameBytes);
  for (int32_t* v : {&w.origin_x, &w.origin_y, &w.columns, &w.rows, &w.font_width, &w.font_height,
                     &w.pitch_x, &w.pitch_y, &w.window_colour, &w.speed, &w.window_left,
                     &w.window_top, &w.window_right, &w.window_bottom}) {
    io.num(*v);  // 16..29
  }
  io.tag(w.window_picture_name);  // 30
  io.num(t.cursors[0].relative);  // 31
  io.num(t.cursors[1].relative);
  io.num(t.cursors[0].offset_x);  // 33
  io.num(t.cursors[1].offset_x);
  io.num(t.cursors[0].offset_y);  // 35
  io.num(t.cursors[1].offset_y);
  io.tag(layers.background_name);  // 37
  for (StandingSlot& slot : layers.standing) io.tag(slot.name);
  for (StandingSlot& slot : layers.standing) io.num(slot.x);
  for (StandingSlot& slot : layers.standing) io.num(slot.y);
  for (SpriteSlot& sprite : layers.sprites) {  // 47
    io.tag(sprite.name);
    io.num(sprite.x);
    io.num(sprite.y);
    io.num(sprite.visible);
  }
  for (size_t n = 0; n < kLocalVariables; ++n) {  // 48
    io.num(e.vars.num_vars[n]);
    io.text(e.vars.str_vars[n], kSaveStringVarBytes);
  }
  io.position(s.script_pos);  // 49
  const int32_t depth = io.count(s.gosub_depth);
  if (depth < 0 || depth > kGosubDepth) {
    io.refuse();
    return;
  }
  for (size_t i = 0; i < static_cast<size_t>(depth); ++i) io.position(s.gosub_stack[i]);
  io.num(layers.monocro_on);  // 52
  io.num(layers.monocro_colour.blue);
  io.num(layers.monocro_colour.green);
  io.num(layers.monocro_colour.red);
  io.num(layers.nega_mode);  // 56
  io.text(a.midi_name, kSaveNameBytes);
  io.text(a.wave_name, kSaveNameBytes);
  io.num(a.cd_track);  // 59
  io.num(a.midi_loop);
  io.num(a.wave_loop);
  io.num(a.cd_loop);
  io.num(a.mp3_loop);  // 63
  std::string mp3 = a.mp3_loop ? a.mp3_name : std::string();
  io.text(mp3, kSaveNameBytes);  // 64
  io.assign(a.mp3_name, a.mp3_loop ? mp3 : std::string());
  io.num(w.erase_flag);  // 65
  io.num(w.text_mode);
  if (format != kSaveFormat) return;
  for (Gauge& g : e.graphics.bars) {  // 67
    for (int32_t* v : {&g.value, &g.x, &g.y, &g.w, &g.h, &g.max}) io.num(*v);
    io.colour(g.colour);
  }
  for (NumberDisplay& d : e.graphics.numbers) {  // 68
    for (int32_t* v : {&d.value, &d.x, &d.y, &d.a, &d.b}) io.num(*v);
    io.colour(d.colour);
  }
}

}  // namespace vellumite
