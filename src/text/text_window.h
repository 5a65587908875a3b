// The text window: its settings and state, and the routines the compositor
// and the picture commands need from it (showing it in the scene, hiding it).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/layers.h"

namespace vellumite {

struct Engine;
struct Picture;

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
  int32_t text_red = 255;
  int32_t text_green = 255;
  int32_t text_blue = 255;
  int32_t text_mode = 1;   // 0: the window is not drawn and writing text is an error
  int32_t erase_flag = 1;  // 1: hide_text_window really hides the window
  bool window_shown = false;
  bool window_in_scene = false;
};

struct TextState {
  TextWindow window;
  // Coverage (0..255) of text at every screen pixel; 0 = no text.
  std::vector<uint8_t> text_alpha = std::vector<uint8_t>(640 * 480, 0);
};

// Removes the shown text window from the screen with the window effect, when
// its erase flag allows.
void hide_text_window(Engine& e);
// Draws the window's background (its picture, or its colour tint) over the
// inclusive rectangle of `target`.
void draw_window_background(Engine& e, int32_t left, int32_t top, int32_t right, int32_t bottom,
                            Picture& target);
// Draws the text window and its text into `scene` inside `rect` (null: the
// whole screen); the compositor calls it while the window is in the scene.
void recompose_text(Engine& e, const ClipRect* rect);

}  // namespace vellumite
