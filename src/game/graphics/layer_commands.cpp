// The commands that set the scene's pictures: the background (bg), the three
// standing pictures (ld, cl, tal, underline), the 256 sprites (lsp, lsph,
// csp, vsp, msp), print, and transmode. Each marks the areas it changes;
// bg, ld, cl, tal and print then show them through their effect part, the
// sprite commands leave them for the next effect.
#include <algorithm>
#include <limits>
#include <string>

#include "game/graphics/effects.h"
#include "game/graphics/layers.h"
#include "game/graphics/picture.h"
#include "game/script/readers.h"
#include "game/script/script_error.h"
#include "game/text/text_window.h"
#include "script/command_table.h"

namespace vellumite {
namespace {

// Reads the one-character position of a standing picture: 0 left, 1 centre,
// 2 right, 3 all (only where `all` is allowed), -1 anything else.
int read_position(Engine& e, bool all) {
  skip_blanks(e);
  char c = current_byte(e);
  // The end of the line is not consumed, so nothing is read past it.
  if (c == '\0' || c == '\n') return -1;
  ++e.script.script_pos;
  if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  switch (c) {
    case 'l': return 0;
    case 'c': return 1;
    case 'r': return 2;
    case 'a': return all ? 3 : -1;
    default: return -1;
  }
}

void clear_standing(Engine& e, int slot) {
  StandingSlot& s = e.graphics.layers.standing[static_cast<size_t>(slot)];
  Picture& p = s.picture;
  mark_picture(e, p, s.x, s.y);
  free_picture(p);
  s.name.clear();
}

// Reports a number that names no sprite; the program ends.
[[noreturn]] void undefined_sprite(Engine& e, int32_t n) {
  script_error(
      e, "エラー",
      error_message("定義されていないスプライト%dを使おうとしました。", static_cast<long long>(n)));
}

size_t read_sprite_number(Engine& e) {
  const int32_t n = read_number(e);
  if (n < 0 || n >= kSpriteCount) undefined_sprite(e, n);
  return static_cast<size_t>(n);
}

size_t read_existing_sprite(Engine& e) {
  const size_t n = read_sprite_number(e);
  if (e.graphics.layers.sprites[n].name.empty()) undefined_sprite(e, static_cast<int32_t>(n));
  return n;
}

// Reads an optional ", number" behind a command's arguments.
bool read_optional_number(Engine& e, int32_t& value) {
  skip_blanks(e);
  if (current_byte(e) != ',') return false;
  ++e.script.script_pos;
  value = read_number(e);
  return true;
}

void remove_sprite(Engine& e, size_t n) {
  SpriteSlot& slot = e.graphics.layers.sprites[n];
  Picture& p = slot.picture;
  slot.name.clear();
  if (slot.visible != 0) mark_picture(e, p, slot.x, slot.y);
  free_picture(p);
}

// bg: a colour ("#rrggbb", black, white) or a picture, which is centred on a
// black screen when it is not 640x480. Removes the standing pictures.
void cmd_bg(Engine& e) {
  hide_text_window(e);
  GraphicsState& g = e.graphics;
  LayerState& layers = g.layers;
  skip_blanks(e);
  bool picture = current_byte(e) == '"';
  if (!picture) {
    if (layers.bg_area_x == -1) {
      create_blank(g.background, kWindowWidth, kWindowHeight, 24);
    } else {
      create_blank(g.background, layers.bg_area_w, layers.bg_area_h, 24);
    }
    const char* text = e.script.script_buffer.get() + e.script.script_pos;
    if (text[0] == '#') {
      const Colour colour = read_color(e, text + 1);
      layers.background_name.assign(text, 7);
      e.script.script_pos += 7;
      skip_blanks(e);
      fill_picture(g.background, 0, 0, kWindowWidth, kWindowHeight, colour);
    } else {
      const int32_t start = e.script.script_pos;
      std::string word;
      read_token(e, word);
      if (word == "black" || word == "white") {
        fill_picture(g.background, 0, 0, kWindowWidth, kWindowHeight,
                     Colour::from_rgb(word == "white" ? 0xFFFFFF : 0));
        layers.background_name = word;
      } else {
        e.script.script_pos = start;  // not a colour word: read it as a string
        picture = true;
      }
    }
  }
  if (picture) {
    std::string tag;
    read_string(e, tag);
    layers.background_name = tag;
    load_background_picture(e, tag);
  }
  for (size_t s = 0; s < layers.standing.size(); ++s) {
    layers.standing[s].name.clear();
    free_picture(layers.standing[s].picture);
  }
  expect_comma(e);
  mark_dirty(e, kWindowRect);
  read_effect(e);
}

// ld l|c|r, tag, effect: a standing picture, centred on its position and
// standing on the underline.
void cmd_ld(Engine& e) {
  hide_text_window(e);
  const int slot = read_position(e, false);
  if (slot >= 0) {
    StandingSlot& s = e.graphics.layers.standing[static_cast<size_t>(slot)];
    Picture& p = s.picture;
    mark_picture(e, p, s.x, s.y);
    expect_comma(e);
    read_string(e, s.name);
    load_picture_from_tag(e, p, s.name);
    s.x = kStandingCenterX[static_cast<size_t>(slot)] - cell_width(p) / 2;
    s.y = saturate(int64_t{e.graphics.layers.underline} - picture_height(p));
    mark_picture(e, p, s.x, s.y);
  }
  expect_comma(e);
  read_effect(e);
}

// cl l|c|r|a, effect
void cmd_cl(Engine& e) {
  hide_text_window(e);
  const int slot = read_position(e, true);
  if (slot == 3) {
    for (int s = 0; s < kStandingCount; ++s) clear_standing(e, s);
  } else if (slot >= 0) {
    clear_standing(e, slot);
  }
  expect_comma(e);
  read_effect(e);
}

// tal l|c|r, opacity, effect
void cmd_tal(Engine& e) {
  hide_text_window(e);
  const int slot = read_position(e, false);
  if (slot >= 0) {
    expect_comma(e);
    Picture& p = e.graphics.layers.standing[static_cast<size_t>(slot)].picture;
    p.alpha = std::clamp(read_number(e), 0, 255);
    const StandingSlot& s = e.graphics.layers.standing[static_cast<size_t>(slot)];
    mark_picture(e, p, s.x, s.y);
  }
  expect_comma(e);
  read_effect(e);
}

// lsp / lsph n, tag, x, y [, opacity]
void load_sprite(Engine& e, bool visible) {
  hide_text_window(e);
  const size_t n = read_sprite_number(e);
  expect_comma(e);
  SpriteSlot& slot = e.graphics.layers.sprites[n];
  Picture& p = slot.picture;
  if (!slot.name.empty() && slot.visible != 0) mark_picture(e, p, slot.x, slot.y);
  std::string tag;
  read_string(e, tag);
  expect_comma(e);
  const int32_t x = read_number(e);
  expect_comma(e);
  const int32_t y = read_number(e);
  slot.name = std::move(tag);
  load_picture_from_tag(e, p, slot.name);
  slot.x = x;
  slot.y = y;
  if (visible) mark_picture(e, p, x, y);
  slot.visible = visible ? 1 : 0;
  int32_t opacity = 0;
  // Held to 0..255 like tal and msp: the blending tables have no other rows.
  if (read_optional_number(e, opacity)) p.alpha = std::clamp(opacity, 0, 255);
}

void cmd_lsp(Engine& e) { load_sprite(e, true); }
void cmd_lsph(Engine& e) { load_sprite(e, false); }

// csp n: removes sprite n, or every sprite with -1.
void cmd_csp(Engine& e) {
  hide_text_window(e);
  const int32_t n = read_number(e);
  if (n == -1) {
    for (size_t i = 0; i < e.graphics.layers.sprites.size(); ++i) {
      if (!e.graphics.layers.sprites[i].name.empty()) remove_sprite(e, i);
    }
    return;
  }
  if (n < 0 || n >= kSpriteCount) undefined_sprite(e, n);
  if (!e.graphics.layers.sprites[static_cast<size_t>(n)].name.empty())
    remove_sprite(e, static_cast<size_t>(n));
}

// vsp n, flag: shows (non-zero) or hides (0) a sprite.
void cmd_vsp(Engine& e) {
  hide_text_window(e);
  const size_t n = read_existing_sprite(e);
  expect_comma(e);
  SpriteSlot& slot = e.graphics.layers.sprites[n];
  const int32_t flag = read_number(e);
  if (flag != slot.visible) mark_picture(e, slot.picture, slot.x, slot.y);
  slot.visible = flag;
}

// msp n, dx, dy [, opacity change]
void cmd_msp(Engine& e) {
  hide_text_window(e);
  const size_t n = read_existing_sprite(e);
  expect_comma(e);
  const int32_t dx = read_number(e);
  expect_comma(e);
  const int32_t dy = read_number(e);
  SpriteSlot& slot = e.graphics.layers.sprites[n];
  Picture& p = slot.picture;
  if (slot.visible != 0) mark_picture(e, p, slot.x, slot.y);
  // Positions wrap around in 32 bits, like the scenario's arithmetic.
  slot.x = static_cast<int32_t>(static_cast<uint32_t>(slot.x) + static_cast<uint32_t>(dx));
  slot.y = static_cast<int32_t>(static_cast<uint32_t>(slot.y) + static_cast<uint32_t>(dy));
  if (slot.visible != 0) mark_picture(e, p, slot.x, slot.y);
  int32_t change = 0;
  if (read_optional_number(e, change)) {
    const int64_t opacity = p.alpha == -1 ? 255 : p.alpha;
    p.alpha = static_cast<int32_t>(std::clamp<int64_t>(opacity + change, 0, 255));
  }
}

void cmd_print(Engine& e) {
  hide_text_window(e);
  read_effect(e);
}

void cmd_underline(Engine& e) { e.graphics.layers.underline = read_number(e); }

void cmd_transmode(Engine& e) {
  std::string word;
  read_token(e, word);
  if (word == "leftup") {
    e.graphics.default_trans_mode = kTransLeftup;
  } else if (word == "copy") {
    e.graphics.default_trans_mode = kTransCopy;
  } else if (word == "alpha") {
    e.graphics.default_trans_mode = kTransAlpha;
  }
}

}  // namespace

void bind_layer_commands(CommandBinder& binder) {
  binder.bind("bg", cmd_bg);
  binder.bind("ld", cmd_ld);
  binder.bind("cl", cmd_cl);
  binder.bind("tal", cmd_tal);
  binder.bind("lsp", cmd_lsp);
  binder.bind("lsph", cmd_lsph);
  binder.bind("csp", cmd_csp);
  binder.bind("vsp", cmd_vsp);
  binder.bind("msp", cmd_msp);
  binder.bind("print", cmd_print);
  binder.bind("underline", cmd_underline);
  binder.bind("transmode", cmd_transmode);
}

}  // namespace vellumite
