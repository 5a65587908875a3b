// The message box drawn in the window: OK or Yes/No.
#include <algorithm>
#include <charconv>
#include <climits>
#include <optional>
#include <vector>

#include "base/sjis.h"
#include "game/shell/dialogs.h"
#include "game/shell/player_wait.h"
#include "game/shell/window_proc.h"

namespace vellumite {
using namespace dialog;
namespace {

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
  const int frame_w = client_w + 2 * kBorder, frame_h = client_h + 2 * kBorder + kCaption;
  const Rect frame =
      Rect::sized((kWindowWidth - frame_w) / 2, (kWindowHeight - frame_h) / 2, frame_w, frame_h);
  const int client_x = frame.left + kBorder, client_y = frame.top + kBorder + kCaption;

  std::vector<Button> pushes;
  int bx = client_x + (client_w - buttons_width) / 2;
  int by = client_y + client_h - kBoxMargin - kBoxButtonHeight;
  if (yes_no) {
    pushes.push_back(
        {Rect::sized(bx, by, kBoxButtonWidth, kBoxButtonHeight), to_sjis("はい"), true});
    pushes.push_back({Rect::sized(bx + kBoxButtonWidth + 8, by, kBoxButtonWidth, kBoxButtonHeight),
                      to_sjis("いいえ"), false});
  } else {
    pushes.push_back({Rect::sized(bx, by, kBoxButtonWidth, kBoxButtonHeight), "OK", true});
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
      e.platform.present(kWindowRect);
    } else if (tracker.handle(pushes, m, pushed)) {
      draw();
    }
    if (pushed >= 0) {
      if (!yes_no) return BoxAnswer::Ok;
      return pushed == 0 ? BoxAnswer::Yes : BoxAnswer::No;
    }
  }
}

}  // namespace

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

}  // namespace vellumite
