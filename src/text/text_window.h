// The text window: its settings and state, and the routines the compositor
// and the picture commands need from it (showing it in the scene, hiding it).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/colour.h"
#include "graphics/layers.h"
#include "graphics/picture.h"
#include "text/glyph_renderer.h"
#include "text/history.h"
#include "text/menu_settings.h"
#include "text/selection.h"

namespace vellumite {

struct Engine;

struct TextWindow {
  int32_t origin_x = 8;
  int32_t origin_y = 16;
  int32_t columns = 23;
  int32_t rows = 16;
  int32_t font_width = 26;
  int32_t font_height = 26;
  int32_t pitch_x = 26;
  int32_t pitch_y = 28;
  int32_t speed = 20;  // ms per character; -1: from the text speed menu
  int32_t bold = 1;
  int32_t shadow = 1;
  int32_t window_colour = 0x999999;  // 0xRRGGBB tint, or -1 for a picture window
  std::string window_picture_name;   // image tag of the picture window
  int32_t window_left = 0;           // the window rectangle, right and bottom inclusive
  int32_t window_top = 0;
  int32_t window_right = 640;
  int32_t window_bottom = 480;
  int32_t column = 0;
  int32_t row = 0;
  Colour text_colour = {255, 255, 255};
  int32_t text_mode = 1;   // 0: the window is not drawn and writing text is an error
  int32_t erase_flag = 1;  // 1: hide_text_window really hides the window
  bool window_shown = false;
  bool window_in_scene = false;
};

// Where a wait cursor goes: its offset, added to the position of the next
// character when the cursor is relative.
struct CursorPlacement {
  std::string tag;  // the cursor's image tag; empty: the built-in cursor
  int32_t offset_x = 0;
  int32_t offset_y = 0;
  bool relative = true;
};

// What the cursor of the next click wait is.
enum CursorKind : int32_t {
  kCursorNone = 0,
  kCursorLine = 1,  // click_cursors[0], the wait at `@`
  kCursorPage = 2,  // click_cursors[1], the wait at a page end
};

// A text button registered by the marks `<` and `>` of a text line.
struct TextButton {
  int32_t number = 0;
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
};

constexpr int kTextButtonCount = 256;

struct TextState {
  TextWindow window;
  SelectionState selection;  // colours and sounds of choices
  // Coverage (0..255) of text at every screen pixel; 0 = no text.
  std::vector<uint8_t> text_alpha = std::vector<uint8_t>(640 * 480, 0);

  // Milliseconds per character for the slow, normal and fast menu speeds.
  std::array<int32_t, 3> default_speeds = {40, 10, 0};
  // Colour of text-button text.
  Colour link_colour = {255, 255, 64};
  // Double-byte characters after which a click wait comes by itself, and how
  // many rows at the bottom turn that wait into a page end.
  std::string clickstr_chars;  // Shift-JIS
  int32_t clickstr_lines = 0;
  int32_t autoclick_ms = 0;       // the wait of every click wait while autoclick is on
  int32_t automode_ms = 1000;     // the wait of every click wait in auto mode
  std::string drawing_font_face;  // Shift-JIS; the face characters are drawn with

  // Wait cursors: [0] for `@`, [1] for page ends.
  std::array<CursorPlacement, 2> cursors;
  int32_t cursor_kind = kCursorNone;  // of the next click wait
  int32_t cursor_x = 0;
  int32_t cursor_y = 0;
  Picture cursor_backing;  // the screen under the cursor during a wait

  std::array<TextButton, kTextButtonCount> text_buttons{};
  int32_t text_button_count = 0;

  TextHistory history;
  MenuSettings menu;  // the right-click menu, slot lists and yes/no box
  // Made on first use, so that an engine that never shows text never opens
  // a font.
  std::unique_ptr<GlyphRenderer> glyphs;
};

// The font a text line is drawn with, chosen when the line starts.
struct CharacterFont {
  std::string face;  // Shift-JIS
  int32_t width = 26;
  int32_t height = 26;
  bool bold = true;
};

}  // namespace vellumite
