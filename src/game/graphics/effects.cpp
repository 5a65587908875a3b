#include "game/graphics/effects.h"

#include <algorithm>
#include <span>
#include <string>

#include "game/engine.h"
#include "game/graphics/layers.h"
#include "game/graphics/transitions.h"
#include "game/script/readers.h"
#include "game/script/script_error.h"
#include "game/text/text_window.h"
#include "script/command_table.h"

namespace vellumite {
namespace {

constexpr int32_t kUndefinedEffect = -1;

[[noreturn]] void invalid_effect(Engine& e) {
  script_error(e, "エラー",
               error_message("不正なエフェクト番号です。EFFECT命令をチェックしてください。"));
}

bool screen_sized(const Picture& p) {
  const Surface& s = p.surface;
  return s.width == kWindowWidth && s.height == kWindowHeight && s.bit_count() == 24;
}

// The transitions treat screen, scene and scratch as 640x480 24-bit buffers;
// one that start-up has not made yet is made black here.
void ensure_screen_pictures(GraphicsState& g) {
  for (Picture* p : {&g.screen, &g.scene, &g.scratch}) {
    if (!screen_sized(*p)) create_blank(*p, kWindowWidth, kWindowHeight, 24);
  }
}

// The trace gives the rectangle by its corners, both included; nothing
// dirty at all is written 0,0,0,0.
void trace_effect(Engine& e, int32_t type, int32_t duration, const Rect& r) {
  if (!e.automation.tracing()) return;
  const bool nothing = r == Rect{};
  std::string fields = std::to_string(type) + ' ' + std::to_string(duration) + ' ' +
                       std::to_string(r.left) + ',' + std::to_string(r.top) + ',' +
                       std::to_string(nothing ? 0 : int64_t{r.right} - 1) + ',' +
                       std::to_string(nothing ? 0 : int64_t{r.bottom} - 1);
  e.automation.trace("effect", fields);
}

void sleep_effect_blank(Engine& e) {
  e.platform.sleep(static_cast<uint32_t>(std::max(e.graphics.effects.effect_blank, 0)));
}

// The type, duration and mask that follow an effect number in `effect` and
// `windoweffect`: type 1 has nothing more, types 15 and 18 add a mask.
void read_definition(Engine& e, int32_t& type, int32_t& duration, std::string& mask) {
  type = read_number(e);
  if (type == 1) return;
  expect_comma(e);
  duration = read_number(e);
  if (type != 15 && type != 18) return;
  expect_comma(e);
  read_string(e, mask);
}

void cmd_effect(Engine& e) {
  const int32_t number = read_number(e);
  if (number < 2 || number >= kEffectCount) {
    script_error(e, "パラメータエラー", error_message("effect命令の第一パラメータは2～49です。"));
  }
  EffectState& fx = e.graphics.effects;
  const auto n = static_cast<size_t>(number);
  expect_comma(e);
  read_definition(e, fx.effect_types[n], fx.effect_durations[n], fx.effect_masks[n]);
}

void cmd_windoweffect(Engine& e) {
  EffectState& fx = e.graphics.effects;
  read_definition(e, fx.window_effect_type, fx.window_effect_duration, fx.window_effect_mask);
}

void cmd_effectblank(Engine& e) { e.graphics.effects.effect_blank = read_number(e); }

}  // namespace

void reset_effect_table(EffectState& effects) {
  effects.effect_types.fill(kUndefinedEffect);
  effects.effect_types[0] = 0;
  effects.effect_types[1] = 1;
  effects.effect_durations.fill(0);
  for (std::string& mask : effects.effect_masks) mask.clear();
  effects.window_effect_type = 1;
  effects.window_effect_duration = 0;
  effects.window_effect_mask.clear();
}

void show_screen(Engine& e, const Rect* rect) {
  const Rect area = intersect(rect != nullptr ? *rect : kWindowRect, kWindowRect);
  if (area.empty()) return;
  const Picture& screen = e.graphics.screen;
  if (screen_sized(screen)) {
    transitions::copy_area(e.platform.window_pixels(), screen.surface.bits.data(), area);
  }
  e.platform.present(area);
}

namespace {

// run_effect over `r` (as traced); the plain copy shows only `parts`, which
// lie inside it.
void run_effect_over(Engine& e, int32_t type, int32_t duration, std::string_view mask_tag, Rect r,
                     std::span<const Rect> parts) {
  if (type == kUndefinedEffect) {
    script_error(e, "エラー", error_message("未定義のエフェクトを使いました"));
  }
  if (type == 0) return;
  if (type < 1 || type > 18) invalid_effect(e);
  // Mosaic in always covers the whole screen.
  if (type == 17) {
    r = kWindowRect;
    parts = {};
  }
  GraphicsState& g = e.graphics;
  ensure_screen_pictures(g);
  g.layers.dirty.clear();
  trace_effect(e, type, duration, r);
  const Rect area = intersect(r, kWindowRect);

  switch (type) {
    case 1: break;
    case 2:
    case 3:
    case 4:
    case 5: transitions::blinds(e, type, duration, area); break;
    case 6:
    case 7:
    case 8:
    case 9: transitions::staggered_blinds(e, type, duration, area); break;
    case 10: transitions::crossfade(e, duration, area); break;
    case 11:
    case 12:
    case 13:
    case 14: transitions::scroll_in(e, type, duration); break;
    case 15: transitions::mask_wipe(e, duration, mask_tag, area); break;
    case 16:
      // The mosaic stays in `screen`; the whole screen waits to be recomposed.
      transitions::mosaic_out(e, duration);
      sleep_effect_blank(e);
      mark_dirty(e, kWindowRect);
      return;
    case 17: transitions::mosaic_in(e, duration); break;
    case 18: transitions::mask_crossfade(e, duration, mask_tag, area); break;
    default: invalid_effect(e);
  }

  // `screen` catches up with `scene`, and the window is repainted from it as
  // the window procedure's paint handler does.
  if (type != 1 || parts.empty()) parts = std::span<const Rect>(&area, 1);
  for (const Rect& part : parts) {
    const Rect p = intersect(part, kWindowRect);
    transitions::copy_area(g.screen.surface.bits.data(), g.scene.surface.bits.data(), p);
  }
  e.shell.last_message = static_cast<int>(MessageKind::Paint);
  for (const Rect& part : parts) show_screen(e, &part);
  if (type != 1) sleep_effect_blank(e);
}

}  // namespace

void run_effect(Engine& e, int32_t type, int32_t duration, std::string_view mask_tag,
                const Rect* rect) {
  run_effect_over(e, type, duration, mask_tag, rect != nullptr ? *rect : kWindowRect, {});
}

void show_dirty(Engine& e, int32_t type, int32_t duration, std::string_view mask_tag) {
  const DirtyRegion dirty = e.graphics.layers.dirty;
  const Rect box = dirty.bounds();
  if (type != 1) {
    refresh_scene(e, &box);
    run_effect(e, type, duration, mask_tag, &box);
    return;
  }
  for (const Rect& part : dirty.parts()) refresh_scene(e, &part);
  run_effect_over(e, type, duration, mask_tag, box, dirty.parts());
}

void read_effect(Engine& e) {
  const int32_t number = read_number(e);
  std::string mask;
  hide_text_window(e);
  skip_blanks(e);
  if (current_byte(e) != ',') {
    if (number == 0) return;  // the changes stay pending in the dirty region
    // A number beyond the table cannot name a defined effect.
    if (number < 0 || number >= kEffectCount) invalid_effect(e);
    const EffectState& fx = e.graphics.effects;
    const auto n = static_cast<size_t>(number);
    show_dirty(e, fx.effect_types[n], fx.effect_durations[n], fx.effect_masks[n]);
    return;
  }
  // A comma: the number is a transition type given inline.
  ++e.script.script_pos;
  const int32_t duration = read_number(e);
  skip_blanks(e);
  if (current_byte(e) == ',') {
    ++e.script.script_pos;
    read_string(e, mask);
  }
  show_dirty(e, number, duration, mask);
}

void bind_effect_commands(CommandBinder& binder) {
  binder.bind("effect", cmd_effect);
  binder.bind("windoweffect", cmd_windoweffect);
  binder.bind("effectblank", cmd_effectblank);
}

}  // namespace vellumite
