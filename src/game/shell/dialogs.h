// Modal dialogs that the engine draws into the window itself, over the
// game's picture and with its own glyphs, so that Japanese text shows on
// every system: the message box (OK, Yes/No, message_box.cpp), the input
// dialog of `inputstr` and `inputnum` (input_dialog.cpp) and the list of the
// CD drive dialog (choice_dialog.cpp). Each runs its own message loop; the timer and
// media notifications still reach the window procedure, the player's input
// goes to the dialog, and a close request or a menu command waits until the
// dialog has closed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/engine.h"
#include "game/shell/dialog_painter.h"

namespace vellumite {

// Shows a message box and returns the answer; every box is traced. A
// scripted answer settles it at once. Without a visible window the platform
// settles it (headless: OK or Yes). Otherwise the box is drawn centred over
// the picture, answered by clicking a button or by Enter (the default button,
// OK or Yes), and the picture under it is put back.
BoxAnswer message_box(Engine& e, std::string_view title_utf8, std::string_view text_utf8,
                      BoxButtons buttons);

// What the input dialog asks for.
struct InputRequest {
  std::string prompt;       // Shift-JIS
  bool number = false;      // the number dialog of inputnum
  int max_length = 0;       // text dialog: bytes allowed in the answer
  bool full_width = false;  // text dialog: only double-byte characters
  bool custom_layout = false;
  // Dialog width, dialog height, edit width, edit height, in points.
  std::array<int32_t, 4> sizes_pt{};
};

// The edit box holds at most this many bytes of Shift-JIS.
constexpr size_t kInputCapacity = 255;

enum class InputCheck : uint8_t { Accepted, NotNumber, Empty, TooLong, NotFullWidth };

// Checks an answer (Shift-JIS) as the dialog's button does.
InputCheck check_input(const InputRequest& request, std::string_view answer_sjis);
// The decimal value of an accepted number answer; empty or "-" is 0 and a
// value beyond 32 bits is held at the nearest limit.
int32_t input_number_value(std::string_view answer);

// Where the parts of the input dialog lie, in window coordinates.
struct InputLayout {
  Rect frame;  // the whole dialog, title bar and border included
  Rect prompt;
  Rect edit;
  Rect button;
};

// Points to pixels on the 96-dpi screen, rounded to the nearest pixel.
int points_to_pixels(int32_t points);
InputLayout input_dialog_layout(const InputRequest& request);

// Runs the input dialog until an answer passes the checks (a refused one
// shows the check's message box and keeps the dialog open) and returns it.
// A scripted `type` answer is taken first; headless, when no answer is left,
// the program ends as at any other wait for the player.
std::string run_input_dialog(Engine& e, const InputRequest& request);

// Draws a list of entries (Shift-JIS) with `selected` chosen, and OK and
// "ｷｬﾝｾﾙ" under it, and runs it until one is pushed: Up, Down, Home, End or a
// click choose an entry, Enter or Space push OK, Escape Cancel. Returns the
// chosen entry after OK, -1 after Cancel. Only for a window that shows
// dialogs (`dialogs_in_window()`).
int run_choice_dialog(Engine& e, std::string_view title_utf8,
                      const std::vector<std::string>& items_sjis, int selected);

}  // namespace vellumite
