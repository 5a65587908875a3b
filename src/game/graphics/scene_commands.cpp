// The commands that set how the scene is composed: humanz (which sprites lie
// behind the standing pictures), bgalia (the background's screen area), the
// colour filters monocro and nega, and mode_saya.
#include <string>

#include "game/graphics/layers.h"
#include "game/script/readers.h"
#include "game/script/script_error.h"
#include "script/command_table.h"

namespace vellumite {
namespace {

void mark_whole_screen(Engine& e) { mark_dirty(e, kWindowRect); }

void cmd_humanz(Engine& e) {
  const int32_t z = read_number(e);
  if (z < 0 || z > 255) script_error(e, "エラー", error_message("humanz指定が範囲外です。"));
  e.graphics.layers.humanz = z;
}

void cmd_bgalia(Engine& e) {
  LayerState& layers = e.graphics.layers;
  layers.bg_area_x = read_number(e);
  expect_comma(e);
  layers.bg_area_y = read_number(e);
  expect_comma(e);
  layers.bg_area_w = read_number(e);
  expect_comma(e);
  layers.bg_area_h = read_number(e);
}

[[noreturn]] void monocro_syntax_error(Engine& e) {
  script_error(e, "構文エラー",
               error_message("monocro命令の次は#rrggbbで色指定、もしくは、offでモノクロ指定を解除、"
                             "です。"));
}

void cmd_monocro(Engine& e) {
  LayerState& layers = e.graphics.layers;
  skip_blanks(e);
  const char c = current_byte(e);
  if (c == 'o' || c == 'O') {
    std::string word;
    read_token(e, word);
    if (word != "off") monocro_syntax_error(e);
    layers.monocro_on = false;
  } else if (c == '#') {
    layers.monocro_colour = read_color(e, e.script.script_buffer.get() + e.script.script_pos + 1);
    e.script.script_pos += 7;
    skip_blanks(e);
    layers.monocro_on = true;
  } else {
    monocro_syntax_error(e);
  }
  mark_whole_screen(e);
}

void cmd_nega(Engine& e) {
  e.graphics.layers.nega_mode = read_number(e);
  mark_whole_screen(e);
}

void cmd_mode_saya(Engine& e) { e.graphics.layers.mode_saya_on = true; }

}  // namespace

void bind_scene_commands(CommandBinder& binder) {
  binder.bind("humanz", cmd_humanz);
  binder.bind("bgalia", cmd_bgalia);
  binder.bind("monocro", cmd_monocro);
  binder.bind("nega", cmd_nega);
  binder.bind("mode_saya", cmd_mode_saya);
}

}  // namespace vellumite
