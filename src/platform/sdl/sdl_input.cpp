// Input for the SDL window: OS events into messages, the pointer's position
// and its image.
#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/sdl/picture_view.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/sdl_platform_impl.h"

namespace vellumite {
namespace {

// The keys that move about menus and dialogs; 0 for the others.
uint32_t nav_key(SDL_Keycode key) {
  switch (key) {
    case SDLK_ESCAPE: return kKeyEscape;
    case SDLK_LEFT: return kKeyLeft;
    case SDLK_RIGHT: return kKeyRight;
    case SDLK_UP: return kKeyUp;
    case SDLK_DOWN: return kKeyDown;
    case SDLK_HOME: return kKeyHome;
    case SDLK_END: return kKeyEnd;
    case SDLK_DELETE: return kKeyDelete;
    case SDLK_TAB: return kKeyTab;
    case SDLK_F10: return kKeyF10;
    case SDLK_F3: return kKeyF3;
    case SDLK_F4: return kKeyF4;
    case SDLK_F5: return kKeyF5;
    case SDLK_F6: return kKeyF6;
    case SDLK_F7: return kKeyF7;
    case SDLK_F8: return kKeyF8;
    case SDLK_PAGEUP: return kKeyPageUp;
    case SDLK_PAGEDOWN: return kKeyPageDown;
    case SDLK_F9: return kKeyF9;
    case SDLK_F12: return kKeyF12;
    default: return 0;
  }
}

}  // namespace

void SdlPlatform::pump() {
  Impl& s = *impl_;
  s.close_posted = false;
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) handle_event(event);
  flush_pending_move();
  s.last_pump_ms = SDL_GetTicks64();
}

void SdlPlatform::flush_pending_move() {
  Impl& s = *impl_;
  if (!s.move_pending) return;
  s.move_pending = false;
  s.posted_move_x = s.move_x;
  s.posted_move_y = s.move_y;
  post_message(Message{MessageKind::MouseMove, s.move_x, s.move_y, 0});
}

void SdlPlatform::handle_event(const SDL_Event& event) {
  Impl& s = *impl_;
  switch (event.type) {
    case SDL_QUIT:  // also what SIGINT and SIGTERM become
      flush_pending_move();
      if (!s.close_posted) post_message(Message{MessageKind::Close, 0, 0, 0});
      s.close_posted = true;
      break;
    case SDL_WINDOWEVENT:
      if (event.window.windowID != s.window_id) break;
      switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          flush_pending_move();
          if (!s.close_posted) post_message(Message{MessageKind::Close, 0, 0, 0});
          s.close_posted = true;
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          // A Ctrl released elsewhere: the skip it started ends here.
          if (s.ctrl_down) {
            s.ctrl_down = false;
            post_message(Message{MessageKind::Key, 0, 0, kKeyCtrlUp});
          }
          break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED: repaint(); break;
        default: break;
      }
      break;
    case SDL_MOUSEMOTION: {
      if (event.motion.windowID != s.window_id) break;
      bool on_strip =
          !s.left_held && !s.right_held && strip_mouse(event.motion.x, event.motion.y, 0);
      // In full screen the game follows the pointer over the laid-over bar
      // too: that is how it learns when to take the bar away.
      if (on_strip && !s.full_screen) break;
      if (!on_strip) {
        s.strip_move_x = -1;
        s.strip_move_y = -1;
      }
      int x = 0, y = 0;
      to_picture(s.window_view(), event.motion.x, event.motion.y, x, y);
      set_pointer(x, y);
      if (x == s.posted_move_x && y == s.posted_move_y) {
        s.move_pending = false;
      } else {
        s.move_pending = true;
        s.move_x = x;
        s.move_y = y;
      }
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: handle_button(event); break;
    case SDL_MOUSEWHEEL: {
      if (event.wheel.windowID != s.window_id) break;
      int32_t notches = event.wheel.y;
      if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
      if (notches == 0) break;
      flush_pending_move();
      int x = 0, y = 0;
      pointer_position(x, y);
      const uint32_t direction = notches > 0 ? kWheelUp : kWheelDown;
      for (int32_t n = std::min(std::abs(notches), 10); n > 0; --n) {
        post_message(Message{MessageKind::Wheel, x, y, direction});
      }
      break;
    }
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERAXISMOTION: handle_controller(event); break;
    case SDL_KEYUP:
      // Skipping lasts while a Ctrl key is held.
      if ((event.key.keysym.sym == SDLK_LCTRL || event.key.keysym.sym == SDLK_RCTRL) &&
          s.ctrl_down && (SDL_GetModState() & KMOD_CTRL) == 0) {
        s.ctrl_down = false;
        post_message(Message{MessageKind::Key, 0, 0, kKeyCtrlUp});
      }
      // Alt pressed and released alone opens the menu bar.
      if ((event.key.keysym.sym == SDLK_LALT || event.key.keysym.sym == SDLK_RALT) && s.alt_alone) {
        s.alt_alone = false;
        flush_pending_move();
        post_message(Message{MessageKind::Key, 0, 0, kKeyAlt});
      }
      break;
    case SDL_KEYDOWN: {
      const SDL_Keycode key = event.key.keysym.sym;
      const bool alt = (event.key.keysym.mod & KMOD_ALT) != 0;
      if (key == SDLK_LALT || key == SDLK_RALT) {
        if (event.key.repeat == 0) s.alt_alone = true;
        break;
      }
      s.alt_alone = false;
      if (key == SDLK_LCTRL || key == SDLK_RCTRL) {
        if (!s.ctrl_down) {
          s.ctrl_down = true;
          flush_pending_move();
          post_message(Message{MessageKind::Key, 0, 0, kKeyCtrlDown});
        }
        break;
      }
      if (uint32_t nav = nav_key(key); nav != 0 && (event.key.keysym.mod & KMOD_ALT) == 0) {
        // A held Escape, F9 or F12 acts once: a right click, a switch, a picture.
        const bool once = nav == kKeyEscape || nav == kKeyF9 || nav == kKeyF12;
        if (once && event.key.repeat != 0) break;
        flush_pending_move();
        post_message(Message{MessageKind::Key, 0, 0, nav});
        break;
      }
      if (event.key.repeat == 0 &&
          (key == SDLK_F11 || (alt && (key == SDLK_RETURN || key == SDLK_KP_ENTER)))) {
        post_message(Message{MessageKind::ToggleFullScreen, 0, 0, 0});
        break;
      }
      if ((event.key.keysym.mod & (KMOD_ALT | KMOD_GUI)) != 0) break;
      uint32_t code = 0;
      switch (event.key.keysym.sym) {
        case SDLK_SPACE: code = 0x20; break;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: code = 0x0D; break;
        default: break;
      }
      // Backspace edits typed text; it means nothing to the game otherwise.
      if (event.key.keysym.sym == SDLK_BACKSPACE && SDL_IsTextInputActive()) code = kBackspaceChar;
      // Held keys repeat, as typed characters do.
      if (code != 0) {
        flush_pending_move();
        post_message(Message{MessageKind::Char, 0, 0, code});
      }
      break;
    }
    case SDL_TEXTINPUT: post_typed_text(event.text.text); break;
    case SDL_RENDER_DEVICE_RESET:
      // The texture is gone with the device.
      SDL_DestroyTexture(s.texture);
      s.texture = create_window_texture(s.renderer);
      s.nearest = true;
      if (s.texture == nullptr) log(std::string("cannot draw into the window: ") + SDL_GetError());
      if (s.strip != nullptr) SDL_DestroyTexture(s.strip);
      s.strip = create_strip_texture(s.renderer);
      upload_strip();
      render(kWholePicture);
      break;
    case SDL_RENDER_TARGETS_RESET: render(kWholePicture); break;
    default: break;
  }
}

void SdlPlatform::handle_button(const SDL_Event& event) {
  Impl& s = *impl_;
  const SDL_MouseButtonEvent& button = event.button;
  if (button.windowID != s.window_id) return;
  if (button.button != SDL_BUTTON_LEFT && button.button != SDL_BUTTON_RIGHT) return;
  bool left = button.button == SDL_BUTTON_LEFT;
  bool down = button.type == SDL_MOUSEBUTTONDOWN;
  bool& held = left ? s.left_held : s.right_held;
  // The strip takes the left button, except the release of a press that
  // began on the picture.
  if (left && !held &&
      strip_mouse(button.x, button.y, down ? kMenuBarButtonDown : kMenuBarButtonUp)) {
    return;
  }
  if (!left && !held && strip_mouse(button.x, button.y, ~0u)) return;
  int x = 0, y = 0;
  bool inside = to_picture(s.window_view(), button.x, button.y, x, y);
  // Clicks on the black borders of full screen are not on the picture; a
  // release there still ends a press that began on it.
  if (!inside && (down || !held)) return;
  held = down;
  flush_pending_move();
  set_pointer(x, y);
  MessageKind kind = left ? (down ? MessageKind::LButtonDown : MessageKind::LButtonUp)
                          : (down ? MessageKind::RButtonDown : MessageKind::RButtonUp);
  post_message(Message{kind, x, y, 0});
}

bool SdlPlatform::strip_mouse(int x, int y, uint32_t flags) {
  Impl& s = *impl_;
  ViewRect strip;
  int sx = 0, sy = 0;
  if (!s.window_strip(strip) || !to_strip(strip, x, y, sx, sy)) return false;
  // Other buttons on the strip do nothing.
  if (flags == ~0u) return true;
  if (flags == 0) {
    if (sx == s.strip_move_x && sy == s.strip_move_y) return true;
    s.strip_move_x = sx;
    s.strip_move_y = sy;
  }
  flush_pending_move();
  post_message(Message{MessageKind::MenuBarMouse, sx, sy, flags});
  return true;
}

void SdlPlatform::post_typed_text(const char* utf8) {
  flush_pending_move();
  // One message per character, decoded from UTF-8 (SDL hands over valid text).
  const auto* p = reinterpret_cast<const unsigned char*>(utf8);
  while (*p != 0) {
    uint32_t c = *p;
    int extra = c < 0x80 ? 0 : c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
    ++p;
    if (extra < 0) continue;  // a stray continuation byte
    if (extra > 0) c &= 0x3Fu >> extra;
    for (; extra > 0 && (*p & 0xC0) == 0x80; --extra, ++p) c = c << 6 | (*p & 0x3Fu);
    if (extra == 0) post_message(Message{MessageKind::TextInput, 0, 0, c});
  }
}

bool SdlPlatform::dialogs_in_window() const { return true; }

void SdlPlatform::set_text_input(bool on, const Rect& area) {
  if (on) {
    // The edit area in window coordinates, for the input method's composition.
    const ViewRect view = impl_->window_view();
    SDL_Rect rect{view.x + area.left * view.w / kWindowWidth,
                  view.y + area.top * view.h / kWindowHeight,
                  (area.right - area.left) * view.w / kWindowWidth,
                  (area.bottom - area.top) * view.h / kWindowHeight};
    SDL_SetTextInputRect(&rect);
    SDL_StartTextInput();
  } else {
    SDL_StopTextInput();
  }
}

bool SdlPlatform::pointer_position(int& x, int& y) {
  // The position follows the mouse events (SDL's own mouse state is no newer)
  // and the scripted moves, whichever came last.
  if (PlatformBase::pointer_position(x, y)) return true;
  Impl& s = *impl_;
  if (SDL_GetMouseFocus() != s.window) return false;
  int wx = 0, wy = 0;
  SDL_GetMouseState(&wx, &wy);
  to_picture(s.window_view(), wx, wy, x, y);
  set_pointer(x, y);
  return true;
}

void SdlPlatform::set_pointer_image(const uint8_t* bgra, int width, int height, int hot_x,
                                    int hot_y) {
  Impl& s = *impl_;
  if (bgra == nullptr || width <= 0 || height <= 0) {
    s.cursor_image.clear();
  } else {
    s.cursor_image.assign(bgra, bgra + static_cast<size_t>(width) * height * 4);
    s.cursor_width = width;
    s.cursor_height = height;
    s.cursor_hot_x = std::clamp(hot_x, 0, width - 1);
    s.cursor_hot_y = std::clamp(hot_y, 0, height - 1);
  }
  update_cursor();
}

void SdlPlatform::update_cursor() {
  Impl& s = *impl_;
  SDL_Cursor* next = nullptr;
  if (!s.cursor_image.empty()) {
    // The pointer grows with the picture.
    int factor = s.full_screen ? std::max(1, s.window_view().w / kWindowWidth) : s.scale;
    std::vector<uint8_t> image =
        factor > 1 ? enlarge_image(s.cursor_image.data(), s.cursor_width, s.cursor_height, factor)
                   : s.cursor_image;
    int w = s.cursor_width * factor;
    int h = s.cursor_height * factor;
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(image.data(), w, h, 32, w * 4, SDL_PIXELFORMAT_BGRA32);
    if (surface != nullptr) {
      next = SDL_CreateColorCursor(surface, s.cursor_hot_x * factor + factor / 2,
                                   s.cursor_hot_y * factor + factor / 2);
      SDL_FreeSurface(surface);
    }
  }
  SDL_SetCursor(next != nullptr ? next : SDL_GetDefaultCursor());
  if (s.cursor != nullptr) SDL_FreeCursor(s.cursor);
  s.cursor = next;
}

}  // namespace vellumite
