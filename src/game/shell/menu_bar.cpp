#include "game/shell/menu_bar.h"

#include <algorithm>
#include <optional>

#include "game/shell/player_wait.h"
#include "game/shell/window_proc.h"

namespace vellumite {
namespace {

// The bar's look: labels with a margin on either side, drop-downs with a
// 3-pixel frame, 18-pixel rows, a column for the check mark on the left and
// one for the arrow of a nested drop-down on the right; the classic colours.
constexpr int kItemMargin = 4;
constexpr int kRowHeight = 18;
constexpr int kFrame = 3;
constexpr int kCheckColumn = 18;
constexpr int kArrowColumn = 18;
using dialog::kDarkColor;
using dialog::kFaceColor;
using dialog::kLightColor;
using dialog::kShadowColor;
using dialog::kTextColor;
constexpr Colour kHotColor = dialog::kCaptionColor;
constexpr Colour kHotTextColor = dialog::kCaptionTextColor;

Rect clip_to_window(const Rect& r) { return dialog::clip(r, kWindowRect); }

// A tick of 7 pixels by 5 in front of a checked entry, (x, y) its top left.
void draw_check(Painter& p, int x, int y, Colour colour) {
  static constexpr int kTop[] = {2, 3, 4, 3, 2, 1, 0};
  for (int c = 0; c < 7; ++c) p.fill(Rect::sized(x + c, y + kTop[c], 1, 3), colour);
}

// A small triangle pointing right, for an entry that opens a drop-down.
void draw_arrow(Painter& p, int x, int y, Colour colour) {
  for (int c = 0; c < 4; ++c) p.fill(Rect::sized(x + c, y + c, 1, 7 - 2 * c), colour);
}

// One open drop-down: its entries, where its rows lie, the entry under the
// pointer and the pixels of the picture it covers.
struct OpenDropDown {
  const std::vector<MenuItem>* entries = nullptr;
  std::vector<Rect> rows;
  Rect frame;
  int hot = -1;
  std::vector<uint8_t> saved;
};

// The drop-downs open at a time, the first belonging to a bar item and each
// further one to an entry of the one before.
class DropDowns {
 public:
  explicit DropDowns(Engine& e) : e_(e) {}
  ~DropDowns() { close_from(0); }
  DropDowns(const DropDowns&) = delete;
  DropDowns& operator=(const DropDowns&) = delete;

  void open(const std::vector<MenuItem>& entries, int x, int y) {
    std::vector<Rect> layout = drop_down_layout(entries, 0, 0);
    Rect size = layout.back();
    x = std::clamp(x, 0, std::max(0, kWindowWidth - size.width()));
    y = std::clamp(y, 0, std::max(0, kWindowHeight - size.height()));
    OpenDropDown d;
    d.entries = &entries;
    d.rows = drop_down_layout(entries, x, y);
    d.frame = d.rows.back();
    d.rows.pop_back();
    Rect c = clip_to_window(d.frame);
    const uint8_t* pixels = e_.platform.window_pixels();
    for (int row = c.top; row < c.top + c.height(); ++row) {
      const uint8_t* line = pixels + static_cast<size_t>(kWindowHeight - 1 - row) * kWindowStride;
      d.saved.insert(d.saved.end(), line + c.left * 3, line + (c.left + c.width()) * 3);
    }
    open_.push_back(std::move(d));
    draw(open_.back());
  }

  // Closes the drop-downs from `level` on, the last opened first, and puts
  // the picture under them back.
  void close_from(size_t level) {
    while (open_.size() > level) {
      OpenDropDown& d = open_.back();
      Rect c = clip_to_window(d.frame);
      uint8_t* pixels = e_.platform.window_pixels();
      auto it = d.saved.begin();
      for (int row = c.top; row < c.top + c.height(); ++row) {
        uint8_t* line = pixels + static_cast<size_t>(kWindowHeight - 1 - row) * kWindowStride;
        std::copy(it, it + c.width() * 3, line + c.left * 3);
        it += c.width() * 3;
      }
      e_.platform.present(c);
      open_.pop_back();
    }
  }

  // The level and row under (x, y), the newest drop-down first; false when
  // the point is on none of them (row -1 on a frame's border).
  bool find(int x, int y, size_t& level, int& row) const {
    for (size_t i = open_.size(); i-- > 0;) {
      if (!open_[i].frame.contains(x, y)) continue;
      level = i;
      row = -1;
      for (size_t r = 0; r < open_[i].rows.size(); ++r) {
        if (open_[i].rows[r].contains(x, y)) row = static_cast<int>(r);
      }
      return true;
    }
    return false;
  }

  // Follows the pointer: highlights the row under it, opens the nested
  // drop-down of a row that has one and closes those the pointer left.
  void hover(int x, int y) {
    size_t level = 0;
    int row = -1;
    if (!find(x, y, level, row) || row < 0) return;
    OpenDropDown& d = open_[level];
    if (d.hot == row) return;
    close_from(level + 1);
    d.hot = row;
    draw(d);
    const MenuItem& entry = (*d.entries)[static_cast<size_t>(row)];
    if (!entry.entries.empty()) {
      Rect r = d.rows[static_cast<size_t>(row)];
      int width = drop_down_layout(entry.entries, 0, 0).back().width();
      int nx = d.frame.left + d.frame.width() - kFrame;
      if (nx + width > kWindowWidth) nx = d.frame.left - width + kFrame;
      open(entry.entries, nx, r.top - kFrame);
    }
  }

  // The entry at (x, y) if it can be chosen (it has a command of its own).
  const MenuItem* choice_at(int x, int y) const {
    size_t level = 0;
    int row = -1;
    if (!find(x, y, level, row) || row < 0) return nullptr;
    const MenuItem& entry = (*open_[level].entries)[static_cast<size_t>(row)];
    return entry.entries.empty() ? &entry : nullptr;
  }

  // --- the keyboard: it works on the newest drop-down ---------------------

  size_t levels() const { return open_.size(); }

  // Moves the highlight `step` rows, wrapping round; from no highlight, Down
  // starts at the first row and Up at the last.
  void move_hot(int step) {
    if (open_.empty() || open_.back().rows.empty()) return;
    OpenDropDown& d = open_.back();
    const int n = static_cast<int>(d.rows.size());
    d.hot = d.hot < 0 ? (step > 0 ? 0 : n - 1) : ((d.hot + step) % n + n) % n;
    draw(d);
  }

  // The highlighted entry of the newest drop-down, or null.
  const MenuItem* hot_entry() const {
    if (open_.empty() || open_.back().hot < 0) return nullptr;
    return &(*open_.back().entries)[static_cast<size_t>(open_.back().hot)];
  }

  // Opens the nested drop-down of the highlighted entry with its first row
  // highlighted; false when the entry has none.
  bool open_hot_child() {
    const MenuItem* entry = hot_entry();
    if (entry == nullptr || entry->entries.empty()) return false;
    const OpenDropDown& d = open_.back();
    Rect r = d.rows[static_cast<size_t>(d.hot)];
    int width = drop_down_layout(entry->entries, 0, 0).back().width();
    int nx = d.frame.left + d.frame.width() - kFrame;
    if (nx + width > kWindowWidth) nx = d.frame.left - width + kFrame;
    open(entry->entries, nx, r.top - kFrame);
    move_hot(1);
    return true;
  }

  bool over_any(int x, int y) const {
    size_t level = 0;
    int row = -1;
    return find(x, y, level, row);
  }

 private:
  void draw(const OpenDropDown& d) {
    Painter p(e_);
    p.fill(d.frame, kFaceColor);
    p.outline(d.frame, kFaceColor, kDarkColor);
    p.outline(
        Rect::sized(d.frame.left + 1, d.frame.top + 1, d.frame.width() - 2, d.frame.height() - 2),
        kLightColor, kShadowColor);
    for (size_t i = 0; i < d.rows.size(); ++i) {
      const Rect& r = d.rows[i];
      const MenuItem& entry = (*d.entries)[i];
      bool hot = static_cast<int>(i) == d.hot;
      Colour ink = hot ? kHotTextColor : kTextColor;
      if (hot) p.fill(r, kHotColor);
      int mid = r.top + r.height() / 2;
      if (entry.checked) draw_check(p, r.left + 6, mid - 3, ink);
      p.text(r.left + kCheckColumn, r.top + (r.height() - kDialogGlyph) / 2, entry.label, ink, r);
      if (!entry.entries.empty())
        draw_arrow(p, r.left + r.width() - kArrowColumn / 2 - 2, mid - 3, ink);
    }
    Rect c = clip_to_window(d.frame);
    e_.platform.present(c);
  }

  Engine& e_;
  std::vector<OpenDropDown> open_;
};

// One time the menu is open: which bar item's drop-down shows, and what the
// player chose.
struct MenuSession {
  Engine& e;
  DropDowns& drop_downs;
  int current = -1;
  int chosen = -1;
  bool done = false;

  void open_item(int item) {
    const Menu& menu = e.shell.menu;
    drop_downs.close_from(0);
    current = item;
    draw_menu_bar(e, current);
    Rect box = menu_bar_layout(menu)[static_cast<size_t>(item)];
    // In full screen the bar lies over the picture's top rows.
    int top = e.shell.full_screen ? kMenuBarHeight : 0;
    // A command item on the bar is only highlighted (the keyboard reaches it).
    const std::vector<MenuItem>& entries = menu.bar[static_cast<size_t>(item)].entries;
    if (!entries.empty()) drop_downs.open(entries, box.left, top);
  }

  // Moves to the bar item `step` places to the left or right, wrapping
  // round, with the first entry of its drop-down highlighted.
  void step_item(int step) {
    const int n = static_cast<int>(e.shell.menu.bar.size());
    open_item(((current + step) % n + n) % n);
    drop_downs.move_hot(1);
  }

  // What a key does: Up and Down move the highlight, Right opens the nested
  // drop-down or moves to the next bar item, Left closes a nested drop-down
  // or moves to the previous item, Return chooses the highlighted entry (or
  // opens its drop-down, or chooses a highlighted command item of the bar),
  // Escape closes the newest drop-down and the menu with the last; Alt and
  // F10 close the menu.
  void key(const Message& m) {
    if (m.kind == MessageKind::Char) {
      if (m.param != 0x0D) return;
      const MenuItem& item = e.shell.menu.bar[static_cast<size_t>(current)];
      if (drop_downs.levels() == 0 && item.entries.empty()) {
        chosen = item.id;
        done = true;
      } else if (const MenuItem* entry = drop_downs.hot_entry(); entry != nullptr) {
        if (!drop_downs.open_hot_child()) {
          chosen = entry->id;
          done = true;
        }
      }
      return;
    }
    switch (m.param) {
      case kKeyUp: drop_downs.move_hot(-1); break;
      case kKeyDown: drop_downs.move_hot(1); break;
      case kKeyRight:
        if (!drop_downs.open_hot_child()) step_item(1);
        break;
      case kKeyLeft:
        if (drop_downs.levels() > 1) {
          drop_downs.close_from(drop_downs.levels() - 1);
        } else {
          step_item(-1);
        }
        break;
      case kKeyEscape:
        if (drop_downs.levels() > 0) drop_downs.close_from(drop_downs.levels() - 1);
        done = drop_downs.levels() == 0;
        break;
      case kKeyAlt:
      case kKeyF10: done = true; break;
      default: break;
    }
  }
};

// Runs the drop-down of bar item `index` until it closes, then posts the
// command chosen, if any, and the messages held back meanwhile. Opened from
// the keyboard, its first entry starts highlighted.
void run_drop_down(Engine& e, int index, bool by_key = false) {
  const Menu& menu = e.shell.menu;
  std::vector<Message> held;
  int chosen = -1;
  {
    DropDowns drop_downs(e);
    MenuSession session{e, drop_downs};
    session.open_item(index);
    if (by_key) drop_downs.move_hot(1);
    std::optional<MessageKind> release;  // closed by a press: its release ends the menu
    WaitRules rules = modal_wait_rules();
    rules.after_poll = [&](const Message* message) {
      if (message == nullptr) return false;
      const Message& m = *message;
      switch (m.kind) {
        case MessageKind::Timer:
        case MessageKind::MediaNotify: dispatch_message(e, m); break;
        // Carried out once the menu has closed, as with the dialogs.
        case MessageKind::Close:
        case MessageKind::Command:
        case MessageKind::ToggleFullScreen:
        case MessageKind::Paint: held.push_back(m); break;
        case MessageKind::Char:
        case MessageKind::Key:
          if (!release) session.key(m);
          break;
        case MessageKind::MouseMove:
          if (!release) drop_downs.hover(m.x, m.y);
          break;
        case MessageKind::LButtonDown:
        case MessageKind::RButtonDown:
          // A press off the drop-downs closes them; its release is the
          // menu's too and does not reach the game as a click.
          if (!drop_downs.over_any(m.x, m.y)) {
            drop_downs.close_from(0);
            draw_menu_bar(e);
            release = m.kind == MessageKind::LButtonDown ? MessageKind::LButtonUp
                                                         : MessageKind::RButtonUp;
          }
          break;
        case MessageKind::LButtonUp:
        case MessageKind::RButtonUp:
          if (release && m.kind == *release) {
            session.done = true;
          } else if (const MenuItem* entry = drop_downs.choice_at(m.x, m.y)) {
            // A release off the entries (the end of the press that opened
            // the menu, say) leaves it open.
            session.chosen = entry->id;
            session.done = true;
          }
          break;
        case MessageKind::MenuBarMouse: {
          if (release) break;
          int hit = menu_bar_hit(menu, m.x, m.y);
          const MenuItem* item = hit >= 0 ? &menu.bar[static_cast<size_t>(hit)] : nullptr;
          if ((m.param & kMenuBarButtonDown) != 0) {
            if (item == nullptr || hit == session.current) {
              session.done = true;
            } else if (item->entries.empty()) {
              session.chosen = item->id;
              session.done = true;
            } else {
              session.open_item(hit);
            }
          } else if (m.param == 0 && item != nullptr && hit != session.current &&
                     !item->entries.empty()) {
            // While a menu is open, pointing at another label opens its menu.
            session.open_item(hit);
          }
          break;
        }
        default: break;
      }
      return session.done;
    };
    run_wait(e, rules);
    chosen = session.chosen;
  }
  draw_menu_bar(e);
  if (chosen >= 0)
    e.platform.post_message(Message{MessageKind::Command, 0, 0, static_cast<uint32_t>(chosen)});
  for (const Message& m : held) e.platform.post_message(m);
}

}  // namespace

std::vector<Rect> menu_bar_layout(const Menu& menu) {
  std::vector<Rect> boxes;
  int x = 0;
  for (const MenuItem& item : menu.bar) {
    int w = Painter::text_width(item.label) + 2 * kItemMargin;
    boxes.push_back(Rect::sized(x, 0, w, kMenuBarHeight));
    x += w;
  }
  return boxes;
}

int menu_bar_hit(const Menu& menu, int x, int y) {
  if (x < 0 || x >= kWindowWidth) return -1;
  std::vector<Rect> boxes = menu_bar_layout(menu);
  for (size_t i = 0; i < boxes.size(); ++i) {
    if (boxes[i].contains(x, y)) return static_cast<int>(i);
  }
  return -1;
}

std::vector<Rect> drop_down_layout(const std::vector<MenuItem>& entries, int x, int y) {
  int text = 0;
  for (const MenuItem& entry : entries) text = std::max(text, Painter::text_width(entry.label));
  int row_width = kCheckColumn + text + kArrowColumn;
  std::vector<Rect> rows;
  for (size_t i = 0; i < entries.size(); ++i) {
    rows.push_back(Rect::sized(x + kFrame, y + kFrame + static_cast<int>(i) * kRowHeight, row_width,
                               kRowHeight));
  }
  rows.push_back(Rect::sized(x, y, row_width + 2 * kFrame,
                             static_cast<int>(entries.size()) * kRowHeight + 2 * kFrame));
  return rows;
}

void draw_menu_bar(Engine& e, int open) {
  Painter p(e, e.platform.menu_bar_pixels(), kMenuBarHeight);
  p.fill(Rect{0, 0, kWindowWidth, kMenuBarHeight}, kFaceColor);
  std::vector<Rect> boxes = menu_bar_layout(e.shell.menu);
  for (size_t i = 0; i < boxes.size(); ++i) {
    const Rect& box = boxes[i];
    bool hot = static_cast<int>(i) == open;
    if (hot) p.fill(box, kHotColor);
    p.text(box.left + kItemMargin, (kMenuBarHeight - kDialogGlyph) / 2, e.shell.menu.bar[i].label,
           hot ? kHotTextColor : kTextColor, box);
  }
  e.platform.present_menu_bar();
}

void menu_bar_key(Engine& e, const Message& m) {
  if (m.param != kKeyAlt && m.param != kKeyF10) return;
  const std::vector<MenuItem>& bar = e.shell.menu.bar;
  for (size_t i = 0; i < bar.size(); ++i) {
    if (!bar[i].entries.empty()) {
      run_drop_down(e, static_cast<int>(i), true);
      return;
    }
  }
}

void menu_bar_mouse(Engine& e, const Message& m) {
  if ((m.param & kMenuBarButtonDown) == 0) return;
  int hit = menu_bar_hit(e.shell.menu, m.x, m.y);
  if (hit < 0) return;
  const MenuItem& item = e.shell.menu.bar[static_cast<size_t>(hit)];
  if (!item.entries.empty()) {
    run_drop_down(e, hit);
  } else {
    e.platform.post_message(Message{MessageKind::Command, 0, 0, static_cast<uint32_t>(item.id)});
  }
}

}  // namespace vellumite
