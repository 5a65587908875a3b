#include "platform/sdl/sdl_platform.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix_system.h"
#include "platform/sdl/picture_view.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_platform_impl.h"
#include "platform/sdl/x11_window.h"

namespace vellumite {
namespace {

// yield() looks at the clock only every this many calls, and pumps the OS
// events at most once a millisecond.
constexpr uint32_t kYieldsPerClockCheck = 64;
// A long sleep() still pumps the events this often, so that the window is
// repainted when uncovered.
constexpr uint32_t kSleepSliceMs = 10;
// Presents closer together than this are shown together: the upload happens
// at once, the (costlier) drawing of the window at the next chance, which is
// at the latest the next yield, sleep or look at the message queue after the
// interval. About one refresh of a 60 Hz display: drawing the window more
// often shows nothing more, and where drawing is slow (software rendering)
// it would take the time that typing out text needs.
constexpr uint64_t kShowIntervalMs = 16;

// How long a request for full screen may take to change the window before it
// counts as refused (a window manager answers within a few milliseconds;
// without one nothing happens).
constexpr uint64_t kFullScreenWaitMs = 500;

// The reason goes after the caller's "cannot open a window: ".
[[noreturn]] void fail(const char* what) {
  throw std::runtime_error(what == nullptr ? std::string(SDL_GetError())
                                           : std::string(what) + ": " + SDL_GetError());
}

int desktop_scale() {
  SDL_Rect usable;
  if (SDL_GetDisplayUsableBounds(0, &usable) == 0) return choose_window_scale(usable.w, usable.h);
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0) return choose_window_scale(mode.w, mode.h);
  return 1;
}

}  // namespace

SDL_Texture* create_window_texture(SDL_Renderer* renderer) {
  SDL_Texture* texture = SDL_CreateTexture(
      renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, kWindowWidth, kWindowHeight);
  if (texture != nullptr) SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
  return texture;
}

SDL_Texture* create_strip_texture(SDL_Renderer* renderer) {
  SDL_Texture* texture = SDL_CreateTexture(
      renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, kWindowWidth, kMenuBarHeight);
  if (texture != nullptr) SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
  return texture;
}

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
  // A windowed program has no reason to switch the desktop's compositor off.
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
    fail(nullptr);
  }
  s.sdl_started = true;
  open_controllers();
  // Without a display SDL falls back to drivers whose windows nobody sees;
  // a player could not play, so that is refused unless asked for by name.
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* requested = SDL_getenv("SDL_VIDEODRIVER");
  bool invisible = driver != nullptr &&
                   (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0);
  if (invisible && (requested == nullptr || *requested == '\0')) {
    throw std::runtime_error("no display");
  }
  s.scale = scale > 0 ? scale : desktop_scale();
  int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
  int width = kWindowWidth * s.scale, height = (kWindowHeight + kMenuBarHeight) * s.scale;
  // Without a scale on the command line the window comes back where the
  // player left it, if that still lies on the desktop.
  WindowPlacement saved;
  SDL_Rect desktop;
  if (scale == 0 && load_window_placement(saved) && SDL_GetDisplayUsableBounds(0, &desktop) == 0 &&
      saved.width <= desktop.w && saved.height <= desktop.h && saved.x >= desktop.x &&
      saved.y >= desktop.y && saved.x + saved.width <= desktop.x + desktop.w &&
      saved.y + saved.height <= desktop.y + desktop.h) {
    x = saved.x;
    y = saved.y;
    width = saved.width;
    height = saved.height;
  }
  s.window = SDL_CreateWindow("", x, y, width, height, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
  if (s.window == nullptr) fail(nullptr);
  // Any size works (the picture keeps 4:3, letterboxed); below half size
  // the text is no longer readable.
  SDL_SetWindowMinimumSize(s.window, kWindowWidth / 2, (kWindowHeight + kMenuBarHeight) / 2);
  s.window_id = SDL_GetWindowID(s.window);
  // No vsync: the game presents whenever it has drawn and paces itself.
  s.renderer = SDL_CreateRenderer(s.window, -1, 0);
  if (s.renderer == nullptr) fail("no renderer");
  s.texture = create_window_texture(s.renderer);
  if (s.texture == nullptr) fail("no texture");
  s.strip = create_strip_texture(s.renderer);
  if (s.strip == nullptr) fail("no texture");
  upload_strip();
  // The only keys wanted are Space and Enter; keep input methods out of it.
  SDL_StopTextInput();
  render(kWholePicture);
  s.start_ms = SDL_GetTicks64();
  s.last_pump_ms = s.start_ms;
}

SdlPlatform::~SdlPlatform() {
  Impl& s = *impl_;
  // Remember the window for the next run (not a full-screen one).
  if (s.window != nullptr && s.shown && !s.full_screen) {
    WindowPlacement placement;
    SDL_GetWindowPosition(s.window, &placement.x, &placement.y);
    SDL_GetWindowSize(s.window, &placement.width, &placement.height);
    save_window_placement(placement);
  }
}

int SdlPlatform::scale() const { return impl_->scale; }

void SdlPlatform::attach_audio(AudioProducer* producer) {
  audio_output_.reset();
  PlatformBase::attach_audio(producer);
  if (producer == nullptr) return;
  std::string error;
  audio_output_ = std::make_unique<SdlAudioOutput>(producer, error);
  if (!audio_output_->device_open()) log("no sound device: " + error);
}

// --- clock and events ---------------------------------------------------------

uint32_t SdlPlatform::ticks() { return static_cast<uint32_t>(SDL_GetTicks64() - impl_->start_ms); }

void SdlPlatform::sleep(uint32_t ms) {
  uint64_t end = SDL_GetTicks64() + ms;
  if (audio_output_) audio_output_->note_sounding();
  show_waiting_picture(true);
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
    show_waiting_picture(true);
    SDL_Delay(1);
  } else {
    if (++s.yields < kYieldsPerClockCheck) return;
    s.yields = 0;
    if (SDL_GetTicks64() == s.last_pump_ms) return;
    show_waiting_picture(false);
  }
  pump();
  service(ticks());
}

void SdlPlatform::wait_message(uint32_t deadline_ms, bool) {
  Impl& s = *impl_;
  s.idle = false;
  if (audio_output_) audio_output_->note_sounding();
  // What was presented is shown before the program sleeps.
  show_waiting_picture(true);
  pump();
  uint32_t now = ticks();
  service(now);
  if (waiting_messages() != 0) return;
  // Timer 1 only wakes the program when its tick has work (the music's loop
  // poll); otherwise its message is posted at the next wake-up, as headless.
  const uint32_t due = next_due(now, deadline_ms, timer_work());
  if (due != now) {
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, static_cast<int>(due - now)) != 0) {
      handle_event(event);
      pump();
    }
  }
  service(ticks());
}

bool SdlPlatform::peek_message(Message& out, bool remove) {
  if (audio_output_) audio_output_->note_sounding();
  show_waiting_picture(false);
  pump();
  service(ticks());
  bool found = PlatformBase::peek_message(out, remove);
  impl_->idle = !found;
  return found;
}

// --- the window ---------------------------------------------------------------

void SdlPlatform::present(const Rect& area) {
  Rect clipped = area;
  if (!clip_to_picture(clipped)) return;
  // A waiting game redraws its cursor on every frame of its animation; a
  // frame that leaves the pixels as they were costs no drawing.
  if (impl_->texture != nullptr && same_as_shown(clipped)) return;
  upload(clipped);
  impl_->picture_waiting = true;
  show_waiting_picture(false);
}

void SdlPlatform::present_menu_bar() {
  // The bar is drawn again on every repaint; it is shown only when it changed.
  Impl& s = *impl_;
  const uint8_t* strip = menu_bar_pixels();
  if (std::equal(strip, strip + kMenuBarBytes, s.shown_strip.begin())) return;
  upload_strip();
  impl_->picture_waiting = true;
  show_waiting_picture(false);
}

void SdlPlatform::overlay_menu_bar(bool shown) {
  Impl& s = *impl_;
  if (s.overlay == shown) return;
  s.overlay = shown;
  s.strip_move_x = -1;
  s.strip_move_y = -1;
  render(kWholePicture);
}

void SdlPlatform::upload_strip() {
  Impl& s = *impl_;
  if (s.strip == nullptr) return;
  std::copy(menu_bar_pixels(), menu_bar_pixels() + kMenuBarBytes, s.shown_strip.begin());
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(s.strip, nullptr, &pixels, &pitch) == 0) {
    convert_area(menu_bar_pixels(), Rect{0, 0, kWindowWidth, kMenuBarHeight},
                 static_cast<uint8_t*>(pixels), pitch, kMenuBarHeight);
    SDL_UnlockTexture(s.strip);
  }
}

void SdlPlatform::show_waiting_picture(bool now) {
  Impl& s = *impl_;
  if (s.picture_waiting && (now || SDL_GetTicks64() - s.shown_ms >= kShowIntervalMs)) {
    show_picture();
  }
}

void SdlPlatform::render(const Rect& area) {
  upload(area);
  show_picture();
}

bool SdlPlatform::same_as_shown(const Rect& area) {
  const size_t width = static_cast<size_t>(area.right - area.left) * 3;
  for (int y = area.top; y < area.bottom; ++y) {
    const size_t row = static_cast<size_t>(kWindowHeight - 1 - y) * kWindowStride + area.left * 3;
    if (std::memcmp(window_pixels() + row, impl_->shown_picture.data() + row, width) != 0) {
      return false;
    }
  }
  return true;
}

void SdlPlatform::upload(const Rect& area) {
  Impl& s = *impl_;
  Rect clipped = area;
  if (s.texture == nullptr || !clip_to_picture(clipped)) return;
  const size_t width = static_cast<size_t>(clipped.right - clipped.left) * 3;
  for (int y = clipped.top; y < clipped.bottom; ++y) {
    const size_t row =
        static_cast<size_t>(kWindowHeight - 1 - y) * kWindowStride + clipped.left * 3;
    std::memcpy(s.shown_picture.data() + row, window_pixels() + row, width);
  }
  SDL_Rect rect{clipped.left, clipped.top, clipped.right - clipped.left,
                clipped.bottom - clipped.top};
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(s.texture, &rect, &pixels, &pitch) == 0) {
    convert_area(window_pixels(), clipped, static_cast<uint8_t*>(pixels), pitch);
    SDL_UnlockTexture(s.texture);
  }
}

void SdlPlatform::show_picture() {
  Impl& s = *impl_;
  s.picture_waiting = false;
  if (!s.shown || s.texture == nullptr) return;
  int out_w = 0, out_h = 0;
  if (SDL_GetRendererOutputSize(s.renderer, &out_w, &out_h) != 0) return;
  ViewRect view = s.picture_in(out_w, out_h);
  bool nearest = integer_view(view);
  if (nearest != s.nearest) {
    SDL_SetTextureScaleMode(s.texture, nearest ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    s.nearest = nearest;
  }
  // Black borders where neither the picture nor the strip covers the output.
  int top = s.full_screen ? 0 : strip_view(out_w, out_h).h;
  if (view.x != 0 || view.w != out_w || view.y != top || view.y + view.h != out_h) {
    SDL_SetRenderDrawColor(s.renderer, 0, 0, 0, 255);
    SDL_RenderClear(s.renderer);
  }
  SDL_Rect dst{view.x, view.y, view.w, view.h};
  SDL_RenderCopy(s.renderer, s.texture, nullptr, &dst);
  if ((!s.full_screen || s.overlay) && s.strip != nullptr) {
    ViewRect strip = s.full_screen ? Impl::overlay_view(view) : strip_view(out_w, out_h);
    ViewRect items = strip_items(strip);
    if (items.w != strip.w || items.h != strip.h) {
      SDL_SetRenderDrawColor(s.renderer, (kStripFaceColor >> 16) & 0xFF,
                             (kStripFaceColor >> 8) & 0xFF, kStripFaceColor & 0xFF, 255);
      SDL_Rect face{strip.x, strip.y, strip.w, strip.h};
      SDL_RenderFillRect(s.renderer, &face);
    }
    SDL_Rect strip_dst{items.x, items.y, items.w, items.h};
    SDL_RenderCopy(s.renderer, s.strip, nullptr, &strip_dst);
  }
  SDL_RenderPresent(s.renderer);
  s.shown_ms = SDL_GetTicks64();
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
  if (on == s.full_screen) return true;
  int before_w = 0, before_h = 0;
  const bool x11 = x11_window_size(s.window, before_w, before_h);
  if (SDL_SetWindowFullscreen(s.window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
  if (on && x11 && !x11_size_changes(before_w, before_h)) {
    // Nobody acted on the request (no window manager): SDL's idea of the
    // window's size goes back to what the window has, and nothing changes.
    SDL_SetWindowFullscreen(s.window, 0);
    SDL_SetWindowSize(s.window, before_w, before_h);
    render(kWholePicture);
    log("full screen refused: the window kept its size (no window manager?)");
    return false;
  }
  if (!on) {
    SDL_SetWindowSize(s.window, kWindowWidth * s.scale, (kWindowHeight + kMenuBarHeight) * s.scale);
  }
  s.full_screen = on;
  update_cursor();
  render(kWholePicture);
  return true;
}

bool SdlPlatform::x11_size_changes(int width, int height) {
  const uint64_t start = SDL_GetTicks64();
  do {
    int w = 0, h = 0;
    if (!x11_window_size(impl_->window, w, h) || w != width || h != height) return true;
    SDL_Delay(5);
  } while (SDL_GetTicks64() - start < kFullScreenWaitMs);
  return false;
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
  show_waiting_picture(true);  // the box asks about what was presented
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
