#include "game/shell/dialogs.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <memory>
#include <optional>
#include <vector>

#include "base/sjis.h"
#include "game/graphics/buttons.h"
#include "game/graphics/effects.h"
#include "game/shell/player_wait.h"
#include "game/shell/window_proc.h"
#include "text/glyph_renderer.h"

namespace vellumite {
namespace {

// The dialogs' look: a 3-pixel frame, an 18-pixel title bar, 9-point text
// (12 pixels at 96 dpi) and the classic grey faces.
constexpr int kBorder = 3;
constexpr int kCaption = 18;
constexpr int kGlyph = kDialogGlyph;
constexpr int kHalfGlyph = kGlyph / 2;
constexpr int kLineHeight = 16;
constexpr uint32_t kFaceColor = 0xD4D0C8;
constexpr uint32_t kLightColor = 0xFFFFFF;
constexpr uint32_t kShadowColor = 0x808080;
constexpr uint32_t kDarkColor = 0x404040;
constexpr uint32_t kTextColor = 0x000000;
constexpr uint32_t kCaptionColor = 0x0A246A;
constexpr uint32_t kCaptionTextColor = 0xFFFFFF;
constexpr uint32_t kEditColor = 0xFFFFFF;

constexpr int kBoxButtonWidth = 75;
constexpr int kBoxButtonHeight = 23;
constexpr int kBoxMargin = 12;
constexpr int kBoxMaxTextWidth = 560;

bool inside(const DialogRect& r, int x, int y) {
  return x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h;
}

DialogRect intersect(const DialogRect& a, const DialogRect& b) {
  int left = std::max(a.x, b.x), top = std::max(a.y, b.y);
  int right = std::min(a.x + a.w, b.x + b.w), bottom = std::min(a.y + a.h, b.y + b.h);
  return DialogRect{left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

constexpr DialogRect kWholeWindow{0, 0, kWindowWidth, kWindowHeight};

// The byte length of the Shift-JIS character at `i`.
size_t char_length(std::string_view sjis, size_t i) {
  return is_sjis_lead(static_cast<unsigned char>(sjis[i])) && i + 1 < sjis.size() ? 2 : 1;
}

std::string code_point_utf8(uint32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18 & 0x07));
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

// Cuts a Shift-JIS text to the edit box's capacity at a character boundary.
std::string fit_capacity(std::string sjis) {
  size_t end = 0;
  while (end < sjis.size()) {
    size_t next = end + char_length(sjis, end);
    if (next > kInputCapacity) break;
    end = next;
  }
  sjis.resize(end);
  return sjis;
}

// A push button of a dialog.
struct Button {
  DialogRect rect;
  std::string label;  // Shift-JIS
  bool is_default = false;
};

void draw_button(Painter& p, const Button& b, bool pressed) {
  p.fill(b.rect, kFaceColor);
  DialogRect r = b.rect;
  if (b.is_default) {
    p.outline(r, kTextColor, kTextColor);
    r = {r.x + 1, r.y + 1, r.w - 2, r.h - 2};
  }
  if (pressed) {
    p.outline(r, kShadowColor, kShadowColor);
  } else {
    p.outline(r, kLightColor, kDarkColor);
    p.outline({r.x + 1, r.y + 1, r.w - 2, r.h - 2}, kFaceColor, kShadowColor);
  }
  int shift = pressed ? 1 : 0;
  p.text(b.rect.x + (b.rect.w - Painter::text_width(b.label)) / 2 + shift,
         b.rect.y + (b.rect.h - kGlyph) / 2 + shift, b.label, kTextColor, b.rect);
}

// The frame, the title bar with its title and the grey client area.
void draw_frame(Painter& p, const DialogRect& frame, std::string_view title_sjis) {
  p.fill(frame, kFaceColor);
  p.outline(frame, kFaceColor, kDarkColor);
  p.outline({frame.x + 1, frame.y + 1, frame.w - 2, frame.h - 2}, kLightColor, kShadowColor);
  DialogRect caption{frame.x + kBorder, frame.y + kBorder, frame.w - 2 * kBorder, kCaption};
  p.fill(caption, kCaptionColor);
  p.text(caption.x + 4, caption.y + (kCaption - kGlyph) / 2, title_sjis, kCaptionTextColor,
         caption);
}

PixelRect pixel_rect(const DialogRect& r) {
  DialogRect c = intersect(r, kWholeWindow);
  return PixelRect{c.x, c.y, c.x + c.w, c.y + c.h};
}

// A dialog's stay in the window: keeps the pixels it covers, holds back the
// close requests and menu commands that arrive meanwhile, and on leaving puts
// both back.
class ModalScope {
 public:
  ModalScope(Engine& e, const DialogRect& frame) : e_(e), area_(intersect(frame, kWholeWindow)) {
    const uint8_t* pixels = e.platform.window_pixels();
    for (int y = area_.y; y < area_.y + area_.h; ++y) {
      const uint8_t* row = pixels + static_cast<size_t>(kWindowHeight - 1 - y) * kWindowStride;
      saved_.insert(saved_.end(), row + area_.x * 3, row + (area_.x + area_.w) * 3);
    }
  }
  ~ModalScope() {
    uint8_t* pixels = e_.platform.window_pixels();
    auto it = saved_.begin();
    for (int y = area_.y; y < area_.y + area_.h; ++y) {
      uint8_t* row = pixels + static_cast<size_t>(kWindowHeight - 1 - y) * kWindowStride;
      std::copy(it, it + area_.w * 3, row + area_.x * 3);
      it += area_.w * 3;
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
  DialogRect area_;
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
      if (inside(buttons[i].rect, x, y)) return static_cast<int>(i);
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
std::vector<std::string> wrap_lines(std::string_view sjis, int width) {
  std::vector<std::string> lines(1);
  int line_width = 0;
  for (size_t i = 0; i < sjis.size();) {
    size_t length = char_length(sjis, i);
    if (sjis[i] == '\n') {
      lines.emplace_back();
      line_width = 0;
      ++i;
      continue;
    }
    int w = length == 2 ? kGlyph : kHalfGlyph;
    if (line_width + w > width && line_width > 0) {
      lines.emplace_back();
      line_width = 0;
    }
    if (sjis[i] != '\r') {
      lines.back().append(sjis.substr(i, length));
      line_width += w;
    }
    i += length;
  }
  return lines;
}

// What a key does in a message box whose button `focus` has the focus: Tab
// moves the focus on, Return and Space push the focused button, Escape the
// last one (No, or the only OK). Returns the button pushed, or -1.
int box_key(const Message& m, int& focus, int count) {
  if (m.kind == MessageKind::Char && (m.param == 0x0D || m.param == 0x20)) return focus;
  if (m.kind != MessageKind::Key) return -1;
  if (m.param == kKeyTab) focus = (focus + 1) % count;
  if (m.param == kKeyEscape) return count - 1;
  return -1;
}

BoxAnswer drawn_message_box(Engine& e, std::string_view title_utf8, std::string_view text_utf8,
                            BoxButtons buttons) {
  const std::string title = to_sjis(title_utf8);
  std::vector<std::string> lines = wrap_lines(to_sjis(text_utf8), kBoxMaxTextWidth);
  const int max_lines =
      (kWindowHeight - 2 * kBorder - kCaption - 3 * kBoxMargin - kBoxButtonHeight) / kLineHeight;
  if (static_cast<int>(lines.size()) > max_lines) lines.resize(static_cast<size_t>(max_lines));

  const bool yes_no = buttons == BoxButtons::YesNo;
  const int button_count = yes_no ? 2 : 1;
  const int buttons_width = button_count * kBoxButtonWidth + (button_count - 1) * 8;
  int text_width = 0;
  for (const std::string& line : lines)
    text_width = std::max(text_width, Painter::text_width(line));
  const int client_w =
      std::max({text_width, buttons_width, Painter::text_width(title) + 24}) + 2 * kBoxMargin;
  const int client_h =
      static_cast<int>(lines.size()) * kLineHeight + 3 * kBoxMargin + kBoxButtonHeight;
  DialogRect frame{0, 0, client_w + 2 * kBorder, client_h + 2 * kBorder + kCaption};
  frame.x = (kWindowWidth - frame.w) / 2;
  frame.y = (kWindowHeight - frame.h) / 2;
  const int client_x = frame.x + kBorder, client_y = frame.y + kBorder + kCaption;

  std::vector<Button> pushes;
  int bx = client_x + (client_w - buttons_width) / 2;
  int by = client_y + client_h - kBoxMargin - kBoxButtonHeight;
  if (yes_no) {
    pushes.push_back({{bx, by, kBoxButtonWidth, kBoxButtonHeight}, to_sjis("はい"), true});
    pushes.push_back({{bx + kBoxButtonWidth + 8, by, kBoxButtonWidth, kBoxButtonHeight},
                      to_sjis("いいえ"),
                      false});
  } else {
    pushes.push_back({{bx, by, kBoxButtonWidth, kBoxButtonHeight}, "OK", true});
  }

  ModalScope scope(e, frame);
  Painter painter(e);
  ButtonTracker tracker;
  int focus = 0;  // the focused button is drawn as the default one
  auto draw = [&] {
    for (size_t i = 0; i < pushes.size(); ++i) pushes[i].is_default = static_cast<int>(i) == focus;
    draw_frame(painter, frame, title);
    for (size_t i = 0; i < lines.size(); ++i) {
      painter.text(client_x + kBoxMargin,
                   client_y + kBoxMargin + static_cast<int>(i) * kLineHeight + 2, lines[i],
                   kTextColor, frame);
    }
    for (size_t i = 0; i < pushes.size(); ++i) {
      draw_button(painter, pushes[i], tracker.shows_pressed(static_cast<int>(i)));
    }
    e.platform.present(pixel_rect(frame));
  };
  draw();
  for (;;) {
    Message m = scope.next();
    int pushed = -1;
    if (m.kind == MessageKind::Char || m.kind == MessageKind::Key) {
      const int before = focus;
      pushed = box_key(m, focus, static_cast<int>(pushes.size()));
      if (focus != before) draw();
    } else if (m.kind == MessageKind::Paint) {
      draw();
      e.platform.present(PixelRect{});
    } else if (tracker.handle(pushes, m, pushed)) {
      draw();
    }
    if (pushed >= 0) {
      if (!yes_no) return BoxAnswer::Ok;
      return pushed == 0 ? BoxAnswer::Yes : BoxAnswer::No;
    }
  }
}

const char* check_title(const InputRequest& request) {
  return request.number ? "数値入力" : "文字列入力";
}

const char* check_message(InputCheck check) {
  switch (check) {
    case InputCheck::NotNumber: return "数値を入力してください。";
    case InputCheck::Empty: return "文字列を入力してください。";
    case InputCheck::TooLong: return "文字列が長すぎます。";
    case InputCheck::NotFullWidth: return "全て全角文字で入力してください。";
    case InputCheck::Accepted: break;
  }
  return "";
}

// The input dialog while it is drawn in the window.
class InputDialogView {
 public:
  InputDialogView(Engine& e, const InputRequest& request)
      : e_(e),
        request_(request),
        layout_(input_dialog_layout(request)),
        title_(to_sjis(check_title(request))),
        scope_(e, layout_.frame),
        painter_(e) {
    buttons_.push_back({layout_.button, to_sjis("決定"), true});
    const DialogRect& edit = layout_.edit;
    e.platform.set_text_input(true, PixelRect{edit.x, edit.y, edit.x + edit.w, edit.y + edit.h});
    draw();
  }
  ~InputDialogView() { e_.platform.set_text_input(false); }
  InputDialogView(const InputDialogView&) = delete;
  InputDialogView& operator=(const InputDialogView&) = delete;

  // Edits the text until the player presses 決定, and returns the text.
  std::string wait_for_button() {
    for (;;) {
      Message m = scope_.next();
      int pushed = -1;
      switch (m.kind) {
        case MessageKind::TextInput: type(m.param); break;
        case MessageKind::Char:
        case MessageKind::Key:
          if (edit_key(m)) pushed = 0;
          break;
        case MessageKind::Paint:
          draw();
          e_.platform.present(PixelRect{});
          break;
        default:
          if (tracker_.handle(buttons_, m, pushed)) draw();
          break;
      }
      if (pushed == 0) return text_;
    }
  }

 private:
  void type(uint32_t code_point) {
    if (code_point < 0x20 || code_point == 0x7F || code_point > 0x10FFFF) return;
    std::string sjis = to_sjis(code_point_utf8(code_point));
    // Characters that Shift-JIS cannot hold are not taken.
    if (sjis == "?" && code_point != '?') return;
    if (text_.size() + sjis.size() > kInputCapacity) return;
    text_.insert(caret_, sjis);
    caret_ += sjis.size();
    draw();
  }

  // Where the character before `at` starts.
  size_t previous_char(size_t at) const {
    size_t last = 0;
    for (size_t i = 0; i < at; i += char_length(text_, i)) last = i;
    return last;
  }

  // What a key does: Return pushes 決定 (Space too while it has the focus);
  // Tab moves the focus between the edit box and the button; Left, Right,
  // Home and End move the caret a character or to an end; Backspace and
  // Delete remove the character before or after it. True when 決定 is pushed.
  bool edit_key(const Message& m) {
    if (m.kind == MessageKind::Char) {
      if (m.param == 0x0D || (m.param == 0x20 && button_focused_)) return true;
      if (m.param == kBackspaceChar && caret_ > 0) {
        const size_t start = previous_char(caret_);
        text_.erase(start, caret_ - start);
        caret_ = start;
        draw();
      }
      return false;
    }
    switch (m.param) {
      case kKeyTab: button_focused_ = !button_focused_; break;
      case kKeyLeft: caret_ = previous_char(caret_); break;
      case kKeyRight:
        if (caret_ < text_.size()) caret_ += char_length(text_, caret_);
        break;
      case kKeyHome: caret_ = 0; break;
      case kKeyEnd: caret_ = text_.size(); break;
      case kKeyDelete:
        if (caret_ < text_.size()) text_.erase(caret_, char_length(text_, caret_));
        break;
      default: return false;
    }
    draw();
    return false;
  }

  void draw() {
    const InputLayout& l = layout_;
    draw_frame(painter_, l.frame, title_);
    DialogRect client{l.frame.x + kBorder, l.frame.y + kBorder + kCaption, l.frame.w - 2 * kBorder,
                      l.frame.h - 2 * kBorder - kCaption};
    painter_.text(l.prompt.x, l.prompt.y, request_.prompt, kTextColor, intersect(l.prompt, client));
    // The edit box: sunken, white, the text scrolled so that the caret stays
    // in view; no caret while the button has the focus.
    DialogRect edit = intersect(l.edit, client);
    painter_.fill(edit, kEditColor);
    painter_.outline(l.edit, kShadowColor, kLightColor);
    painter_.outline({l.edit.x + 1, l.edit.y + 1, l.edit.w - 2, l.edit.h - 2}, kDarkColor,
                     kFaceColor);
    DialogRect inner = intersect({l.edit.x + 3, l.edit.y + 2, l.edit.w - 6, l.edit.h - 4}, client);
    int caret = Painter::text_width(std::string_view(text_).substr(0, caret_));
    int x = l.edit.x + 4;
    if (caret + 1 > inner.w - 1) x = inner.x + inner.w - 2 - caret;
    int y = l.edit.y + (l.edit.h - kGlyph) / 2;
    painter_.text(x, y, text_, kTextColor, inner);
    if (!button_focused_) {
      painter_.fill(intersect({x + caret, y - 1, 1, kGlyph + 2}, inner), kTextColor);
    }
    draw_button(painter_, buttons_[0], tracker_.shows_pressed(0));
    e_.platform.present(pixel_rect(l.frame));
  }

  Engine& e_;
  const InputRequest& request_;
  InputLayout layout_;
  std::string title_;
  ModalScope scope_;
  Painter painter_;
  std::vector<Button> buttons_;
  ButtonTracker tracker_;
  std::string text_;
  size_t caret_ = 0;  // byte offset in text_, at a character's start
  bool button_focused_ = false;
};

}  // namespace

// --- Painter -------------------------------------------------------------------

Painter::Painter(Engine& e) : Painter(e, e.platform.window_pixels(), kWindowHeight) {}

Painter::Painter(Engine& e, uint8_t* pixels, int height)
    : e_(e), pixels_(pixels), height_(height), face_(to_sjis("ＭＳ Ｐゴシック")) {
  if (!e.text.glyphs) e.text.glyphs = std::make_unique<GlyphRenderer>();
}

void Painter::fill(const DialogRect& r, uint32_t rgb) {
  DialogRect c = intersect(r, bounds());
  for (int y = c.y; y < c.y + c.h; ++y) {
    uint8_t* p = at(c.x, y);
    for (int x = 0; x < c.w; ++x, p += 3) set(p, rgb);
  }
}

void Painter::outline(const DialogRect& r, uint32_t top_left, uint32_t bottom_right) {
  fill({r.x, r.y, r.w, 1}, top_left);
  fill({r.x, r.y, 1, r.h}, top_left);
  fill({r.x, r.y + r.h - 1, r.w, 1}, bottom_right);
  fill({r.x + r.w - 1, r.y, 1, r.h}, bottom_right);
}

int Painter::text_width(std::string_view sjis) {
  int width = 0;
  for (size_t i = 0; i < sjis.size(); i += char_length(sjis, i)) {
    width += char_length(sjis, i) == 2 ? kGlyph : kHalfGlyph;
  }
  return width;
}

void Painter::text(int x, int y, std::string_view sjis, uint32_t rgb, const DialogRect& clip) {
  DialogRect c = intersect(clip, bounds());
  for (size_t i = 0; i < sjis.size();) {
    size_t length = char_length(sjis, i);
    auto b1 = static_cast<unsigned char>(sjis[i]);
    // A single-byte character is drawn in the left half of a full cell.
    uint16_t code = length == 2
                        ? static_cast<uint16_t>(b1 << 8 | static_cast<unsigned char>(sjis[i + 1]))
                        : static_cast<uint16_t>(b1 << 8);
    int width = length == 2 ? kGlyph : kHalfGlyph;
    std::span<const uint8_t> coverage = e_.text.glyphs->render(face_, kGlyph, kGlyph, false, code);
    if (coverage.size() >= static_cast<size_t>(kGlyph * kGlyph)) {
      for (int row = 0; row < kGlyph; ++row) {
        for (int col = 0; col < width; ++col) {
          uint8_t a = coverage[static_cast<size_t>(row * kGlyph + col)];
          if (a != 0 && inside(c, x + col, y + row)) blend(at(x + col, y + row), rgb, a);
        }
      }
    }
    x += width;
    i += length;
  }
}

uint8_t* Painter::at(int x, int y) {
  return pixels_ + static_cast<size_t>(height_ - 1 - y) * kWindowStride +
         static_cast<size_t>(x) * 3;
}

void Painter::set(uint8_t* p, uint32_t rgb) {
  p[0] = static_cast<uint8_t>(rgb);
  p[1] = static_cast<uint8_t>(rgb >> 8);
  p[2] = static_cast<uint8_t>(rgb >> 16);
}

void Painter::blend(uint8_t* p, uint32_t rgb, uint8_t a) {
  for (int k = 0; k < 3; ++k) {
    unsigned colour = rgb >> (8 * k) & 0xFF;
    p[k] = static_cast<uint8_t>((p[k] * (255u - a) + colour * a + 127) / 255);
  }
}

BoxAnswer message_box(Engine& e, std::string_view title_utf8, std::string_view text_utf8,
                      BoxButtons buttons) {
  if (!e.platform.dialogs_in_window())
    return e.platform.message_box(title_utf8, text_utf8, buttons);
  std::optional<BoxAnswer> answer = e.automation.scripted_box_answer(buttons);
  if (!answer) {
    // A box before the game has shown its window (the second-instance
    // refusal, an error in the define block) shows the window for it.
    e.platform.show_window();
    answer = drawn_message_box(e, title_utf8, text_utf8, buttons);
  }
  e.automation.record_box_answer(title_utf8, text_utf8, *answer);
  return *answer;
}

InputCheck check_input(const InputRequest& request, std::string_view answer) {
  if (request.number) {
    for (size_t i = 0; i < answer.size(); ++i) {
      char c = answer[i];
      if (!(c >= '0' && c <= '9') && !(i == 0 && c == '-')) return InputCheck::NotNumber;
    }
    return InputCheck::Accepted;
  }
  if (answer.empty()) return InputCheck::Empty;
  if (static_cast<long long>(answer.size()) > request.max_length) return InputCheck::TooLong;
  if (request.full_width) {
    // One character at a time: a lead byte and its trail byte.
    for (size_t i = 0; i < answer.size(); i += 2) {
      if (!is_sjis_lead(static_cast<unsigned char>(answer[i])) || i + 1 >= answer.size()) {
        return InputCheck::NotFullWidth;
      }
    }
  }
  return InputCheck::Accepted;
}

int32_t input_number_value(std::string_view answer) {
  bool negative = !answer.empty() && answer[0] == '-';
  std::string_view digits = answer.substr(negative ? 1 : 0);
  long long value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') break;
    value = std::min<long long>(value * 10 + (c - '0'), static_cast<long long>(INT32_MAX) + 1);
  }
  if (negative) value = -value;
  return static_cast<int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

int points_to_pixels(int32_t points) {
  long long pixels = (static_cast<long long>(points) * 96 * 2 + (points >= 0 ? 72 : -72)) / 144;
  return static_cast<int>(std::clamp<long long>(pixels, -100000, 100000));
}

InputLayout input_dialog_layout(const InputRequest& request) {
  // The template in dialog units; with 9-point text a horizontal unit is 1.5
  // pixels and so is a vertical one (rounded as the dialog manager does).
  auto du = [](int units) { return (units * 3 + 1) / 2; };
  InputLayout l;
  int client_w = du(227), client_h = du(53);
  DialogRect button{du(180), du(25), du(40), du(20)};
  DialogRect edit{du(7), du(26), du(153), du(17)};
  DialogRect prompt{du(7), du(7), du(213), du(13)};
  l.frame = {0, 0, client_w + 2 * kBorder, client_h + 2 * kBorder + kCaption};
  l.frame.x = (kWindowWidth - l.frame.w) / 2;
  l.frame.y = (kWindowHeight - l.frame.h) / 2;
  if (request.custom_layout) {
    // The dialog keeps its top-left corner; the edit box its place; the
    // button takes the edit box's top and height, one pixel more width, and
    // ends 20 points left of the dialog's right edge.
    l.frame.w = points_to_pixels(request.sizes_pt[0]);
    l.frame.h = points_to_pixels(request.sizes_pt[1]);
    edit.w = points_to_pixels(request.sizes_pt[2]);
    edit.h = points_to_pixels(request.sizes_pt[3]);
    button.y = edit.y;
    button.h = edit.h;
    button.w += 1;
    button.x = l.frame.w - points_to_pixels(20) - button.w;
  }
  const int origin_x = l.frame.x + kBorder, origin_y = l.frame.y + kBorder + kCaption;
  auto place = [&](DialogRect r) { return DialogRect{r.x + origin_x, r.y + origin_y, r.w, r.h}; };
  l.prompt = place(prompt);
  l.edit = place(edit);
  l.button = place(button);
  return l;
}

std::string run_input_dialog(Engine& e, const InputRequest& request) {
  std::optional<InputDialogView> view;
  std::optional<ModalScope> unseen;  // the dialog while nobody can see it
  for (;;) {
    begin_player_wait(e, "dialog");
    std::string answer;
    if (std::optional<std::string> typed = e.automation.scripted_text_answer()) {
      answer = fit_capacity(to_sjis(*typed));
    } else if (e.platform.dialogs_in_window()) {
      if (!view) view.emplace(e, request);
      answer = view->wait_for_button();
    } else {
      // Nobody can answer here but the input script: let what waits pass and
      // wait again (the wait ends the program once the script is used up).
      if (!unseen) unseen.emplace(e, DialogRect{});
      unseen->drain();
      continue;
    }
    InputCheck check = check_input(request, answer);
    if (check == InputCheck::Accepted) return answer;
    message_box(e, check_title(request), check_message(check), BoxButtons::Ok);
  }
}

namespace {

constexpr int kChoiceRows = 8;
constexpr int kChoiceListWidth = 280;

// The choice dialog while it is drawn in the window: a list of entries with
// one selected, and OK and Cancel.
class ChoiceDialogView {
 public:
  ChoiceDialogView(Engine& e, std::string_view title_utf8, const std::vector<std::string>& items,
                   int selected)
      : e_(e), items_(items), selected_(selected), title_(to_sjis(title_utf8)) {
    const int rows = std::clamp(static_cast<int>(items.size()), 1, kChoiceRows);
    const int client_w = kChoiceListWidth + 2 * kBoxMargin;
    const int client_h = rows * kLineHeight + 4 + 3 * kBoxMargin + kBoxButtonHeight;
    frame_ = {0, 0, client_w + 2 * kBorder, client_h + 2 * kBorder + kCaption};
    frame_.x = (kWindowWidth - frame_.w) / 2;
    frame_.y = (kWindowHeight - frame_.h) / 2;
    const int cx = frame_.x + kBorder, cy = frame_.y + kBorder + kCaption;
    list_ = {cx + kBoxMargin, cy + kBoxMargin, kChoiceListWidth, rows * kLineHeight + 4};
    const int by = list_.y + list_.h + kBoxMargin;
    const int bx = cx + client_w - kBoxMargin - 2 * kBoxButtonWidth - 8;
    buttons_.push_back({{bx, by, kBoxButtonWidth, kBoxButtonHeight}, "OK", true});
    buttons_.push_back(
        {{bx + kBoxButtonWidth + 8, by, kBoxButtonWidth, kBoxButtonHeight}, to_sjis("ｷｬﾝｾﾙ")});
    scope_.emplace(e, frame_);
    draw();
  }

  // The chosen entry after OK, or -1 after Cancel.
  int run() {
    for (;;) {
      Message m = scope_->next();
      int pushed = -1;
      if (m.kind == MessageKind::Char && (m.param == 0x0D || m.param == 0x20)) {
        pushed = 0;
      } else if (m.kind == MessageKind::Key) {
        pushed = key(m.param);
      } else if (m.kind == MessageKind::Paint) {
        draw();
        e_.platform.present(PixelRect{});
      } else if (m.kind == MessageKind::LButtonDown && inside(list_, m.x, m.y)) {
        select(top_ + (m.y - list_.y - 2) / kLineHeight);
      } else if (tracker_.handle(buttons_, m, pushed)) {
        draw();
      }
      if (pushed == 0) return selected_;
      if (pushed == 1) return -1;
    }
  }

 private:
  int key(uint32_t k) {
    const int last = static_cast<int>(items_.size()) - 1;
    switch (k) {
      case kKeyEscape: return 1;
      case kKeyUp: select(selected_ - 1); break;
      case kKeyDown: select(selected_ + 1); break;
      case kKeyHome: select(0); break;
      case kKeyEnd: select(last); break;
      default: break;
    }
    return -1;
  }

  void select(int index) {
    const int last = static_cast<int>(items_.size()) - 1;
    if (index < 0 || index > last) return;
    selected_ = index;
    // The selected entry stays in view.
    if (selected_ < top_) top_ = selected_;
    if (selected_ >= top_ + kChoiceRows) top_ = selected_ - kChoiceRows + 1;
    draw();
  }

  void draw() {
    Painter p(e_);
    draw_frame(p, frame_, title_);
    p.fill(list_, kEditColor);
    p.outline(list_, kShadowColor, kLightColor);
    const DialogRect inner{list_.x + 2, list_.y + 2, list_.w - 4, list_.h - 4};
    for (int row = 0; row < kChoiceRows; ++row) {
      const int index = top_ + row;
      if (index >= static_cast<int>(items_.size())) break;
      const DialogRect line{inner.x, inner.y + row * kLineHeight, inner.w, kLineHeight};
      const bool chosen = index == selected_;
      if (chosen) p.fill(line, kCaptionColor);
      p.text(line.x + 2, line.y + 2, items_[static_cast<size_t>(index)],
             chosen ? kCaptionTextColor : kTextColor, intersect(line, inner));
    }
    for (size_t i = 0; i < buttons_.size(); ++i) {
      draw_button(p, buttons_[i], tracker_.shows_pressed(static_cast<int>(i)));
    }
    e_.platform.present(pixel_rect(frame_));
  }

  Engine& e_;
  const std::vector<std::string>& items_;
  int selected_ = 0;
  int top_ = 0;
  std::string title_;
  DialogRect frame_;
  DialogRect list_;
  std::vector<Button> buttons_;
  ButtonTracker tracker_;
  std::optional<ModalScope> scope_;
};

}  // namespace

int run_choice_dialog(Engine& e, std::string_view title_utf8,
                      const std::vector<std::string>& items_sjis, int selected) {
  if (items_sjis.empty()) return -1;
  selected = std::clamp(selected, 0, static_cast<int>(items_sjis.size()) - 1);
  ChoiceDialogView view(e, title_utf8, items_sjis, selected);
  return view.run();
}

}  // namespace vellumite
