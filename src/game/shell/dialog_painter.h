// The parts every dialog drawn in the window is made of: the painter that
// draws into the window's pixels with the engine's glyphs, the dialogs' look
// (frame, title bar, push buttons), the modal stay in the window and the
// mouse over the buttons.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/colour.h"
#include "game/engine.h"
#include "game/shell/player_wait.h"
#include "game/shell/window_proc.h"

namespace vellumite {

// Dialog text is 9-point (12 pixels at 96 dpi); a single-byte character takes
// half a cell.
constexpr int kDialogGlyph = 12;

// Draws into a picture of the window surface's layout (640 pixels wide, 3
// bytes each, rows bottom-up): the window itself or another picture of that
// width, such as the menu bar's strip. Everything is clipped to the picture.
class Painter {
 public:
  explicit Painter(Engine& e);  // the window
  Painter(Engine& e, uint8_t* pixels, int height);

  void fill(const Rect& r, Colour colour);
  // A one-pixel outline: `top_left` on the top and left edges, `bottom_right`
  // on the others (raised or sunken, as the colours say).
  void outline(const Rect& r, Colour top_left, Colour bottom_right);
  // The width of `sjis` in pixels: a full cell per double-byte character.
  static int text_width(std::string_view sjis);
  // Draws `sjis` with its cells' top-left corner at (x, y), inside `clip`.
  void text(int x, int y, std::string_view sjis, Colour colour, const Rect& clip);

 private:
  Rect bounds() const { return Rect{0, 0, kWindowWidth, height_}; }
  uint8_t* at(int x, int y);
  static void set(uint8_t* p, Colour colour);
  static void blend(uint8_t* p, Colour colour, uint8_t a);

  Engine& e_;
  uint8_t* pixels_;
  int height_;
  std::string face_;
};

namespace dialog {

// The dialogs' look: a 3-pixel frame, an 18-pixel title bar, 9-point text
// (12 pixels at 96 dpi) and the classic grey faces.
constexpr int kBorder = 3;
constexpr int kCaption = 18;
constexpr int kGlyph = kDialogGlyph;
constexpr int kHalfGlyph = kGlyph / 2;
constexpr int kLineHeight = 16;
constexpr Colour kFaceColor = Colour::from_rgb(0xD4D0C8);
constexpr Colour kLightColor = Colour::from_rgb(0xFFFFFF);
constexpr Colour kShadowColor = Colour::from_rgb(0x808080);
constexpr Colour kDarkColor = Colour::from_rgb(0x404040);
constexpr Colour kTextColor = Colour::from_rgb(0x000000);
constexpr Colour kCaptionColor = Colour::from_rgb(0x0A246A);
constexpr Colour kCaptionTextColor = Colour::from_rgb(0xFFFFFF);
constexpr Colour kEditColor = Colour::from_rgb(0xFFFFFF);

constexpr int kBoxButtonWidth = 75;
constexpr int kBoxButtonHeight = 23;
constexpr int kBoxMargin = 12;
constexpr int kBoxMaxTextWidth = 560;

// The part of `a` inside `b`; where they do not meet, empty with its width
// and height 0 (never negative, so that loops over it do nothing).
Rect clip(const Rect& a, const Rect& b);
// The byte length of the Shift-JIS character at `i`.
size_t char_length(std::string_view sjis, size_t i);

// A push button of a dialog.
struct Button {
  Rect rect;
  std::string label;  // Shift-JIS
  bool is_default = false;
};

void draw_button(Painter& p, const Button& b, bool pressed);
// The frame, the title bar with its title and the grey client area.
void draw_frame(Painter& p, const Rect& frame, std::string_view title_sjis);
Rect pixel_rect(const Rect& r);

// A dialog's stay in the window: keeps the pixels it covers, holds back the
// close requests and menu commands that arrive meanwhile, and on leaving puts
// both back.
class ModalScope {
 public:
  ModalScope(Engine& e, const Rect& frame) : e_(e), area_(clip(frame, kWindowRect)) {
    const uint8_t* pixels = e.platform.window_pixels();
    for (int y = area_.top; y < area_.top + area_.height(); ++y) {
      const uint8_t* row = pixels + static_cast<size_t>(kWindowHeight - 1 - y) * kWindowStride;
      saved_.insert(saved_.end(), row + area_.left * 3, row + (area_.left + area_.width()) * 3);
    }
  }
  ~ModalScope() {
    uint8_t* pixels = e_.platform.window_pixels();
    auto it = saved_.begin();
    for (int y = area_.top; y < area_.top + area_.height(); ++y) {
      uint8_t* row = pixels + static_cast<size_t>(kWindowHeight - 1 - y) * kWindowStride;
      std::copy(it, it + area_.width() * 3, row + area_.left * 3);
      it += area_.width() * 3;
    }
    e_.platform.present(pixel_rect(area_));
    for (const Message& m : held_) e_.platform.post_message(m);
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

  // Takes the next message meant for the dialog, passing the timer and media
  // notifications to the window procedure on the way and holding back close
  // requests and menu commands.
  Message next() {
    Message next;
    WaitRules rules = modal_wait_rules();
    rules.after_poll = [&](const Message* m) {
      if (m == nullptr) return false;
      switch (m->kind) {
        case MessageKind::Timer:
        case MessageKind::MediaNotify: dispatch_message(e_, *m); return false;
        case MessageKind::Close:
        case MessageKind::Command:
        case MessageKind::ToggleFullScreen: held_.push_back(*m); return false;
        default: next = *m; return true;
      }
    };
    run_wait(e_, rules);
    return next;
  }

  // Lets what waits in the queue pass without waiting for more: the player's
  // input is dropped, as the dialog would ignore it.
  void drain() {
    Message m;
    while (e_.platform.peek_message(m, true)) {
      switch (m.kind) {
        case MessageKind::Timer:
        case MessageKind::MediaNotify: dispatch_message(e_, m); break;
        case MessageKind::Close:
        case MessageKind::Command:
        case MessageKind::ToggleFullScreen: held_.push_back(m); break;
        default: break;
      }
    }
  }

 private:
  Engine& e_;
  Rect area_;
  std::vector<uint8_t> saved_;
  std::vector<Message> held_;
};

// Follows the mouse over a dialog's buttons: a button is pushed by a press
// and a release on it. Returns the index of the pushed button, or -1.
struct ButtonTracker {
  int pressed = -1;
  bool over_pressed = false;

  int hit(const std::vector<Button>& buttons, int x, int y) const {
    for (size_t i = 0; i < buttons.size(); ++i) {
      if (buttons[i].rect.contains(x, y)) return static_cast<int>(i);
    }
    return -1;
  }
  // Returns true when the drawing changed; `pushed` receives a pushed button.
  bool handle(const std::vector<Button>& buttons, const Message& m, int& pushed) {
    pushed = -1;
    int under = hit(buttons, m.x, m.y);
    switch (m.kind) {
      case MessageKind::LButtonDown:
        pressed = under;
        over_pressed = under >= 0;
        return under >= 0;
      case MessageKind::MouseMove: {
        if (pressed < 0) return false;
        bool over = under == pressed;
        std::swap(over, over_pressed);
        return over != over_pressed;
      }
      case MessageKind::LButtonUp:
        if (pressed < 0) return false;
        if (under == pressed) pushed = pressed;
        pressed = -1;
        over_pressed = false;
        return true;
      default: return false;
    }
  }
  bool shows_pressed(int index) const { return index == pressed && over_pressed; }
};

// Splits a text into lines at line feeds and where a line grows wider than
// `width`.
std::vector<std::string> wrap_lines(std::string_view sjis, int width);

}  // namespace dialog
}  // namespace vellumite
