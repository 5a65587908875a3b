// The input dialog of `inputstr` and `inputnum` drawn in the window.
#include <algorithm>
#include <charconv>
#include <climits>
#include <optional>
#include <vector>

#include "base/sjis.h"
#include "game/shell/auto_play.h"
#include "game/shell/dialogs.h"
#include "game/shell/player_wait.h"
#include "game/shell/window_proc.h"

namespace vellumite {
using namespace dialog;
namespace {

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
    const Rect& edit = layout_.edit;
    e.platform.set_text_input(true, edit);
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
          e_.platform.present(kWindowRect);
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
    const Rect client =
        Rect::sized(l.frame.left + kBorder, l.frame.top + kBorder + kCaption,
                    l.frame.width() - 2 * kBorder, l.frame.height() - 2 * kBorder - kCaption);
    painter_.text(l.prompt.left, l.prompt.top, request_.prompt, kTextColor, clip(l.prompt, client));
    // The edit box: sunken, white, the text scrolled so that the caret stays
    // in view; no caret while the button has the focus.
    const Rect edit = clip(l.edit, client);
    painter_.fill(edit, kEditColor);
    painter_.outline(l.edit, kShadowColor, kLightColor);
    painter_.outline(
        Rect::sized(l.edit.left + 1, l.edit.top + 1, l.edit.width() - 2, l.edit.height() - 2),
        kDarkColor, kFaceColor);
    const Rect inner =
        clip(Rect::sized(l.edit.left + 3, l.edit.top + 2, l.edit.width() - 6, l.edit.height() - 4),
             client);
    int caret = Painter::text_width(std::string_view(text_).substr(0, caret_));
    int x = l.edit.left + 4;
    if (caret + 1 > inner.width() - 1) x = inner.left + inner.width() - 2 - caret;
    int y = l.edit.top + (l.edit.height() - kGlyph) / 2;
    painter_.text(x, y, text_, kTextColor, inner);
    if (!button_focused_) {
      painter_.fill(clip(Rect::sized(x + caret, y - 1, 1, kGlyph + 2), inner), kTextColor);
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
  Rect button = Rect::sized(du(180), du(25), du(40), du(20));
  Rect edit = Rect::sized(du(7), du(26), du(153), du(17));
  const Rect prompt = Rect::sized(du(7), du(7), du(213), du(13));
  const int frame_w = client_w + 2 * kBorder, frame_h = client_h + 2 * kBorder + kCaption;
  l.frame =
      Rect::sized((kWindowWidth - frame_w) / 2, (kWindowHeight - frame_h) / 2, frame_w, frame_h);
  if (request.custom_layout) {
    // The dialog keeps its top-left corner; the edit box its place; the
    // button takes the edit box's top and height, one pixel more width, and
    // ends 20 points left of the dialog's right edge.
    l.frame = Rect::sized(l.frame.left, l.frame.top, points_to_pixels(request.sizes_pt[0]),
                          points_to_pixels(request.sizes_pt[1]));
    edit = Rect::sized(edit.left, edit.top, points_to_pixels(request.sizes_pt[2]),
                       points_to_pixels(request.sizes_pt[3]));
    const int button_w = button.width() + 1;
    button = Rect::sized(l.frame.width() - points_to_pixels(20) - button_w, edit.top, button_w,
                         edit.height());
  }
  const int origin_x = l.frame.left + kBorder, origin_y = l.frame.top + kBorder + kCaption;
  auto place = [&](const Rect& r) {
    return Rect::sized(r.left + origin_x, r.top + origin_y, r.width(), r.height());
  };
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
    if (e.autoplay.on) return auto_input_answer(request);
    std::string answer;
    if (std::optional<std::string> typed = e.automation.scripted_text_answer()) {
      answer = fit_capacity(to_sjis(*typed));
    } else if (e.platform.dialogs_in_window()) {
      if (!view) view.emplace(e, request);
      answer = view->wait_for_button();
    } else {
      // Nobody can answer here but the input script: let what waits pass and
      // wait again (the wait ends the program once the script is used up).
      if (!unseen) unseen.emplace(e, Rect{});
      unseen->drain();
      continue;
    }
    InputCheck check = check_input(request, answer);
    if (check == InputCheck::Accepted) return answer;
    message_box(e, check_title(request), check_message(check), BoxButtons::Ok);
  }
}

}  // namespace vellumite
