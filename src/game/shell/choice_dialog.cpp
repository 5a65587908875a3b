// The list dialog drawn in the window (the CD drive dialog uses it).
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
    const int frame_w = client_w + 2 * kBorder, frame_h = client_h + 2 * kBorder + kCaption;
    frame_ =
        Rect::sized((kWindowWidth - frame_w) / 2, (kWindowHeight - frame_h) / 2, frame_w, frame_h);
    const int cx = frame_.left + kBorder, cy = frame_.top + kBorder + kCaption;
    list_ = Rect::sized(cx + kBoxMargin, cy + kBoxMargin, kChoiceListWidth, rows * kLineHeight + 4);
    const int by = list_.top + list_.height() + kBoxMargin;
    const int bx = cx + client_w - kBoxMargin - 2 * kBoxButtonWidth - 8;
    buttons_.push_back({Rect::sized(bx, by, kBoxButtonWidth, kBoxButtonHeight), "OK", true});
    buttons_.push_back(
        {Rect::sized(bx + kBoxButtonWidth + 8, by, kBoxButtonWidth, kBoxButtonHeight),
         to_sjis("ｷｬﾝｾﾙ")});
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
        e_.platform.present(kWindowRect);
      } else if (m.kind == MessageKind::LButtonDown && list_.contains(m.x, m.y)) {
        select(top_ + (m.y - list_.top - 2) / kLineHeight);
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
    const Rect inner =
        Rect::sized(list_.left + 2, list_.top + 2, list_.width() - 4, list_.height() - 4);
    for (int row = 0; row < kChoiceRows; ++row) {
      const int index = top_ + row;
      if (index >= static_cast<int>(items_.size())) break;
      const Rect line =
          Rect::sized(inner.left, inner.top + row * kLineHeight, inner.width(), kLineHeight);
      const bool chosen = index == selected_;
      if (chosen) p.fill(line, kCaptionColor);
      p.text(line.left + 2, line.top + 2, items_[static_cast<size_t>(index)],
             chosen ? kCaptionTextColor : kTextColor, clip(line, inner));
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
  Rect frame_;
  Rect list_;
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
