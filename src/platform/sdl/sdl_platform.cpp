#include "platform/sdl/sdl_platform.h"

#include <SDL.h>

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/posix_system.h"
#include "platform/sdl/picture_view.h"

namespace vellumite {
namespace {

// yield() looks at the clock only every this many calls, and pumps the OS
// events at most once a millisecond.
constexpr uint32_t kYieldsPerClockCheck = 64;
// A long sleep() still pumps the events this often, so that the window is
// repainted when uncovered.
constexpr uint32_t kSleepSliceMs = 10;

constexpr PixelRect kWholePicture{};

[[noreturn]] void fail(const char* what) {
  throw std::runtime_error(std::string(what) + ": " + SDL_GetError());
}

int desktop_scale() {
  SDL_Rect usable;
  if (SDL_GetDisplayUsableBounds(0, &usable) == 0) return choose_window_scale(usable.w, usable.h);
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0) return choose_window_scale(mode.w, mode.h);
  return 1;
}

}  // namespace

struct SdlPlatform::Impl {
  ~Impl() {
    if (cursor != nullptr) {
      SDL_SetCursor(SDL_GetDefaultCursor());
      SDL_FreeCursor(cursor);
    }
    if (texture != nullptr) SDL_DestroyTexture(texture);
    if (renderer != nullptr) SDL_DestroyRenderer(renderer);
    if (window != nullptr) SDL_DestroyWindow(window);
    if (sdl_started) SDL_Quit();
  }

  // The picture's place in the window, in the coordinates of mouse events.
  ViewRect window_view() const {
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    return fit_picture(w, h);
  }

  bool create_texture() {
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                kWindowWidth, kWindowHeight);
    if (texture == nullptr) return false;
    nearest = true;
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    return true;
  }

  bool sdl_started = false;
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  SDL_Cursor* cursor = nullptr;
  uint32_t window_id = 0;
  int scale = 1;
  bool shown = false;
  bool full_screen = false;
  bool nearest = true;  // the texture's current scale mode

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
  // A button pressed on the picture; its release is delivered even outside.
  bool left_held = false;
  bool right_held = false;
  bool close_posted = false;  // during one pump

  // The custom pointer as given, kept to rebuild it when the scale changes.
  std::vector<uint8_t> cursor_image;
  int cursor_width = 0;
  int cursor_height = 0;
  int cursor_hot_x = 0;
  int cursor_hot_y = 0;
};

std::unique_ptr<SdlPlatform> SdlPlatform::create(PlatformOptions options, int scale,
                                                 std::string& error) {
  try {
    return std::make_unique<SdlPlatform>(std::move(options), scale);
  } catch (const std::runtime_error& e) {
    error = e.what();
    return nullptr;
  }
}

SdlPlatform::SdlPlatform(PlatformOptions options, int scale)
    : PlatformBase(std::move(options)), impl_(std::make_unique<Impl>()) {
  Impl& s = *impl_;
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
  // Closing the window is a request the game may refuse: it must arrive as
  // one window event, not also as a quit.
#ifdef SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
#endif
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
    fail("cannot open a window");
  }
  s.sdl_started = true;
  s.scale = scale > 0 ? scale : desktop_scale();
  s.window = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                              kWindowWidth * s.scale, kWindowHeight * s.scale, SDL_WINDOW_HIDDEN);
  if (s.window == nullptr) fail("cannot open a window");
  s.window_id = SDL_GetWindowID(s.window);
  // No vsync: the game presents whenever it has drawn and paces itself.
  s.renderer = SDL_CreateRenderer(s.window, -1, 0);
  if (s.renderer == nullptr) fail("cannot draw into the window");
  if (!s.create_texture()) fail("cannot draw into the window");
  // The only keys wanted are Space and Enter; keep input methods out of it.
  SDL_StopTextInput();
  render(kWholePicture);
  s.start_ms = SDL_GetTicks64();
  s.last_pump_ms = s.start_ms;
}

SdlPlatform::~SdlPlatform() = default;

int SdlPlatform::scale() const { return impl_->scale; }

// --- clock and events ---------------------------------------------------------

uint32_t SdlPlatform::ticks() { return static_cast<uint32_t>(SDL_GetTicks64() - impl_->start_ms); }

void SdlPlatform::sleep(uint32_t ms) {
  uint64_t end = SDL_GetTicks64() + ms;
  pump();
  for (uint64_t now = SDL_GetTicks64(); now < end; now = SDL_GetTicks64()) {
    SDL_Delay(static_cast<uint32_t>(std::min<uint64_t>(end - now, kSleepSliceMs)));
    pump();
  }
  service(ticks());
}

void SdlPlatform::yield() {
  Impl& s = *impl_;
  if (s.idle) {
    // The caller is waiting for a message: give the core away for a moment.
    s.idle = false;
    s.yields = 0;
    SDL_Delay(1);
  } else {
    if (++s.yields < kYieldsPerClockCheck) return;
    s.yields = 0;
    if (SDL_GetTicks64() == s.last_pump_ms) return;
  }
  pump();
  service(ticks());
}

bool SdlPlatform::peek_message(Message& out, bool remove) {
  pump();
  service(ticks());
  bool found = PlatformBase::peek_message(out, remove);
  impl_->idle = !found;
  return found;
}

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
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED: repaint(); break;
        default: break;
      }
      break;
    case SDL_MOUSEMOTION: {
      if (event.motion.windowID != s.window_id) break;
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
    case SDL_KEYDOWN: {
      if ((event.key.keysym.mod & (KMOD_ALT | KMOD_GUI)) != 0) break;
      uint32_t code = 0;
      switch (event.key.keysym.sym) {
        case SDLK_SPACE: code = 0x20; break;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: code = 0x0D; break;
        default: break;
      }
      // Held keys repeat, as typed characters do.
      if (code != 0) {
        flush_pending_move();
        post_message(Message{MessageKind::Char, 0, 0, code});
      }
      break;
    }
    case SDL_RENDER_DEVICE_RESET:
      // The texture is gone with the device.
      SDL_DestroyTexture(s.texture);
      s.texture = nullptr;
      if (!s.create_texture()) log(std::string("cannot draw into the window: ") + SDL_GetError());
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

// --- the window ---------------------------------------------------------------

void SdlPlatform::present(const PixelRect& area) {
  PixelRect clipped = area;
  if (clip_to_picture(clipped)) render(clipped);
}

void SdlPlatform::render(const PixelRect& area) {
  Impl& s = *impl_;
  PixelRect upload = area;
  if (s.texture != nullptr && clip_to_picture(upload)) {
    SDL_Rect rect{upload.left, upload.top, upload.right - upload.left, upload.bottom - upload.top};
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(s.texture, &rect, &pixels, &pitch) == 0) {
      convert_area(window_pixels(), upload, static_cast<uint8_t*>(pixels), pitch);
      SDL_UnlockTexture(s.texture);
    }
  }
  if (!s.shown || s.texture == nullptr) return;
  int out_w = 0, out_h = 0;
  if (SDL_GetRendererOutputSize(s.renderer, &out_w, &out_h) != 0) return;
  ViewRect view = fit_picture(out_w, out_h);
  bool nearest = integer_view(view);
  if (nearest != s.nearest) {
    SDL_SetTextureScaleMode(s.texture, nearest ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    s.nearest = nearest;
  }
  if (view.w != out_w || view.h != out_h) {
    SDL_SetRenderDrawColor(s.renderer, 0, 0, 0, 255);
    SDL_RenderClear(s.renderer);
  }
  SDL_Rect dst{view.x, view.y, view.w, view.h};
  SDL_RenderCopy(s.renderer, s.texture, nullptr, &dst);
  SDL_RenderPresent(s.renderer);
}

void SdlPlatform::repaint() {
  render(kWholePicture);
  // One Paint waiting is enough, as with the OS's own paint requests.
  flush_pending_move();
  take_message(MessageKind::Paint);
  post_message(Message{MessageKind::Paint, 0, 0, 0});
}

void SdlPlatform::set_title(std::string_view utf8) {
  SDL_SetWindowTitle(impl_->window, std::string(utf8).c_str());
}

void SdlPlatform::show_window() {
  Impl& s = *impl_;
  SDL_ShowWindow(s.window);
  s.shown = true;
  render(kWholePicture);
}

bool SdlPlatform::set_full_screen(bool on) {
  Impl& s = *impl_;
  if (SDL_SetWindowFullscreen(s.window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
  if (!on && s.full_screen) {
    SDL_SetWindowSize(s.window, kWindowWidth * s.scale, kWindowHeight * s.scale);
  }
  s.full_screen = on;
  update_cursor();
  render(kWholePicture);
  return true;
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

// --- dialogs, process ---------------------------------------------------------

BoxAnswer SdlPlatform::show_message_box(std::string_view title_utf8, std::string_view text_utf8,
                                        BoxButtons buttons) {
  Impl& s = *impl_;
  std::string title(title_utf8);
  std::string text(text_utf8);
  static const SDL_MessageBoxButtonData kOk[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "OK"}};
  static const SDL_MessageBoxButtonData kYesNo[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 2, "No"}};
  bool yes_no = buttons == BoxButtons::YesNo;
  SDL_MessageBoxData box{};
  box.flags = SDL_MESSAGEBOX_INFORMATION | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
  box.window = s.shown ? s.window : nullptr;
  box.title = title.c_str();
  box.message = text.c_str();
  box.numbuttons = yes_no ? 2 : 1;
  box.buttons = yes_no ? kYesNo : kOk;
  int chosen = -1;
  if (SDL_ShowMessageBox(&box, &chosen) != 0) {
    log(std::string("cannot show a message box: ") + SDL_GetError());
    return yes_no ? BoxAnswer::Yes : BoxAnswer::Ok;
  }
  // The window was not repainted while the box was up.
  render(kWholePicture);
  if (!yes_no) return BoxAnswer::Ok;
  // Closing the box without a choice declines, as Escape does.
  return chosen == 1 ? BoxAnswer::Yes : BoxAnswer::No;
}

bool SdlPlatform::acquire_instance_guard() { return acquire_instance_lock(); }

std::string SdlPlatform::prepare_temp_folder() { return prepare_scratch_folder(); }

void SdlPlatform::remove_temp_folder() { remove_scratch_folder_if_empty(); }

}  // namespace vellumite
