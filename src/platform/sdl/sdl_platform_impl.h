// The state behind SdlPlatform, shared by its source files. Only the SDL
// backend includes this header.
#pragma once

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/backend_only.h"
#include "platform/sdl/picture_view.h"
#include "platform/sdl/sdl_platform.h"

namespace vellumite {

// A streaming texture of the picture's size, nearest-neighbour scaled; the
// window surface is uploaded into it.
SDL_Texture* create_window_texture(SDL_Renderer* renderer);
// The same for the menu bar's strip.
SDL_Texture* create_strip_texture(SDL_Renderer* renderer);

// The area that stands for the whole picture.
constexpr Rect kWholePicture = kWindowRect;

struct SdlPlatform::Impl {
  ~Impl() {
    if (cursor != nullptr) {
      SDL_SetCursor(SDL_GetDefaultCursor());
      SDL_FreeCursor(cursor);
    }
    if (strip != nullptr) SDL_DestroyTexture(strip);
    if (texture != nullptr) SDL_DestroyTexture(texture);
    if (renderer != nullptr) SDL_DestroyRenderer(renderer);
    if (window != nullptr) SDL_DestroyWindow(window);
    for (SDL_GameController* c : controllers) SDL_GameControllerClose(c);
    if (sdl_started) SDL_Quit();
  }

  // The picture's place in an area of `w` x `h`: below the menu bar's strip
  // in windowed mode, filling the screen in full screen.
  ViewRect picture_in(int w, int h) const {
    return full_screen ? fit_picture(w, h) : picture_below_strip(w, h);
  }
  // The picture's place in the window, in the coordinates of mouse events.
  ViewRect window_view() const {
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    return picture_in(w, h);
  }
  // The strip's place in the window: above the picture in windowed mode,
  // over its top rows in full screen while laid over it; false when none.
  bool window_strip(ViewRect& strip) const {
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    if (!full_screen) {
      strip = strip_view(w, h);
      return true;
    }
    if (!overlay) return false;
    strip = overlay_view(fit_picture(w, h));
    return true;
  }
  // The strip laid over the top rows of the picture at `view`.
  static ViewRect overlay_view(const ViewRect& view) {
    return ViewRect{view.x, view.y, view.w, std::max(1, view.h * kMenuBarHeight / kWindowHeight)};
  }

  bool sdl_started = false;
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  SDL_Texture* strip = nullptr;  // the menu bar
  // The strip's pixels as last uploaded (all zero at first, as the strip is).
  std::vector<uint8_t> shown_strip = std::vector<uint8_t>(kMenuBarBytes, 0);
  // The picture's pixels as last uploaded (the window surface's layout), so
  // that a present of pixels that did not change draws nothing.
  std::vector<uint8_t> shown_picture = std::vector<uint8_t>(kWindowBytes, 0);
  bool overlay = false;  // full screen: the strip lies over the picture
  SDL_Cursor* cursor = nullptr;
  uint32_t window_id = 0;
  int scale = 1;
  bool shown = false;
  bool full_screen = false;
  bool nearest = true;  // the texture's current scale mode
  // Presented but not yet drawn in the window (see kShowIntervalMs).
  bool picture_waiting = false;
  uint64_t shown_ms = 0;

  uint64_t start_ms = 0;
  uint64_t last_pump_ms = 0;
  uint32_t yields = 0;
  // The last peek found nothing: the caller is polling, so the next yield()
  // may sleep instead of spinning.
  bool idle = false;

  // Mouse moves are merged within one pump, and moves that do not change the
  // picture coordinate are dropped.
  bool move_pending = false;
  int move_x = -1;
  int move_y = -1;
  int posted_move_x = -1;
  int posted_move_y = -1;
  // The last pointer position posted over the strip (-1: not on it).
  int strip_move_x = -1;
  int strip_move_y = -1;
  // A button pressed on the picture; its release is delivered even outside.
  bool left_held = false;
  bool right_held = false;
  bool close_posted = false;  // during one pump
  bool alt_alone = false;     // Alt is down and no other key was pressed since
  bool ctrl_down = false;     // a Ctrl key is held (its press was posted)

  // The open game controllers and, per stick axis (x, y), the arrow key it
  // holds down (0: none); an axis sends its key once per push.
  std::vector<SDL_GameController*> controllers;
  uint32_t stick_key[2] = {0, 0};

  // The custom pointer as given, kept to rebuild it when the scale changes.
  std::vector<uint8_t> cursor_image;
  int cursor_width = 0;
  int cursor_height = 0;
  int cursor_hot_x = 0;
  int cursor_hot_y = 0;
};

}  // namespace vellumite
