// The seam between the engine and the operating system.
//
// The engine never talks to the OS, SDL or the C library's process calls
// directly: everything it needs from the outside world (messages, timers, the
// clock, the window's pixels, message boxes, files outside the game folder,
// the registry and profile files) comes through this interface. Two
// implementations exist: the SDL window (src/platform/sdl/) and the headless
// twin (src/platform/headless/) that runs on a virtual clock with scripted
// input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/rect.h"

namespace vellumite {

constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 480;
// The window surface: 640x480 pixels, 3 bytes each in the order blue, green,
// red, rows stored bottom-up (memory row 0 is the bottom row of the picture),
// exactly the layout of a 640x480 24-bit device-independent bitmap.
constexpr int kWindowStride = kWindowWidth * 3;
constexpr int kWindowBytes = kWindowStride * kWindowHeight;
// The whole picture.
constexpr Rect kWindowRect{0, 0, kWindowWidth, kWindowHeight};
// The menu bar's strip above the picture: 640x20 pixels in the same layout
// (rows bottom-up, kWindowStride bytes apart). Client coordinates exclude it.
constexpr int kMenuBarHeight = 20;
constexpr int kMenuBarBytes = kWindowStride * kMenuBarHeight;
// Flags in the param of a MenuBarMouse message; 0 for a move.
constexpr uint32_t kMenuBarButtonDown = 1;
constexpr uint32_t kMenuBarButtonUp = 2;

enum class MessageKind : uint8_t {
  MouseMove,
  LButtonDown,
  LButtonUp,
  RButtonDown,
  RButtonUp,
  Char,              // param: the character code (only Space and Enter matter)
  Timer,             // param: the timer id
  Command,           // param: the menu command id
  Close,             // the player asked to close the window
  Paint,             // the window needs its content again
  MediaNotify,       // param: notification code of a media device
  TextInput,         // param: Unicode code point of a typed character (text input on)
  MenuBarMouse,      // x, y in strip coordinates; param: left-button flags (above)
  ToggleFullScreen,  // the player's key for full screen on or off (F11, Alt+Enter)
  Key,               // param: a NavKey, a key that moves about menus and dialogs
  Wheel,             // x, y: the pointer; param: kWheelUp or kWheelDown (one notch)
};

// The param of a Wheel message.
constexpr uint32_t kWheelUp = 1;
constexpr uint32_t kWheelDown = 2;

// The keys of a Key message. Alt is sent when it is pressed and released
// alone.
enum NavKey : uint32_t {
  kKeyEscape = 1,
  kKeyLeft,
  kKeyRight,
  kKeyUp,
  kKeyDown,
  kKeyHome,
  kKeyEnd,
  kKeyDelete,
  kKeyTab,
  kKeyF10,
  kKeyAlt,
  // The players' volume keys: film, music and sound, each down then up.
  kKeyF3,
  kKeyF4,
  kKeyF5,
  kKeyF6,
  kKeyF7,
  kKeyF8,
  // Page through the text history.
  kKeyPageUp,
  kKeyPageDown,
  // Ctrl pressed and released (skipping while held).
  kKeyCtrlDown,
  kKeyCtrlUp,
  // Skipping stops at unread text, on or off.
  kKeyF9,
  // A picture of the window into the player's pictures folder.
  kKeyF12,
};

// The character code of Backspace in a Char message; sent only while text
// input is on.
constexpr uint32_t kBackspaceChar = 0x08;

struct Message {
  MessageKind kind = MessageKind::Paint;
  int x = 0;  // client coordinates for mouse messages
  int y = 0;
  uint32_t param = 0;
};

enum class BoxButtons : uint8_t { Ok, YesNo };
enum class BoxAnswer : uint8_t { Ok, Yes, No };

// Why the program ends; the backend turns it into the process exit code.
enum class ExitReason : uint8_t {
  End,             // the scenario's `end`
  Closed,          // the player closed the window and confirmed
  ScriptError,     // a fatal scenario error
  InputExhausted,  // headless: the input script is used up at a player wait
};

// The one exception type that ends the program. It is thrown after the exit
// sequence has run and unwinds to the entry function, which returns `code`.
struct ProgramExit {
  int code = 0;
};

// The engine's mixer as the backend sees it: the backend plays what it mixes.
class AudioProducer {
 public:
  virtual ~AudioProducer() = default;
  // Decodes ahead into the mixer's buffers. May take time; never called from
  // the device's callback. The backend calls it often (every few ms).
  virtual void fill_ahead() = 0;
  // Mixes `frames` frames of interleaved stereo float samples into `out`
  // (overwriting it). Called from the device's callback: never blocks, waits
  // for decoding or allocates.
  virtual void mix(float* out, size_t frames) = 0;
  // True while any stream has samples left to mix. Headless, the clock passes
  // over silence without mixing it.
  virtual bool sounding() const = 0;
};

// The sample rate of the mixed sound every backend plays.
constexpr int kAudioRate = 44100;

// What a path names.
enum class PathKind : uint8_t { None, File, Folder };

// A moment of the local calendar, as a file's time is shown to the player.
struct LocalTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // --- message queue -------------------------------------------------------
  // Looks at the oldest waiting message; removes it when `remove` is set.
  // Returns false when the queue is empty (the headless clock then moves on).
  virtual bool peek_message(Message& out, bool remove) = 0;
  // Removes the oldest waiting message of `kind`; true when there was one.
  virtual bool take_message(MessageKind kind) = 0;
  // Removes every waiting message of `kind`.
  virtual void remove_messages(MessageKind kind) = 0;
  virtual void post_message(const Message& message) = 0;

  // --- timer 1 ---------------------------------------------------------------
  // Posts a Timer message every `period_ms` (never more than one waiting).
  virtual void start_timer(uint32_t period_ms) = 0;
  virtual void kill_timer() = 0;

  // --- clock -------------------------------------------------------------------
  // Milliseconds of the multimedia clock.
  virtual uint32_t ticks() = 0;
  virtual void sleep(uint32_t ms) = 0;
  // Gives up the rest of the time slice. Cheap: it must not cost a system call
  // every time, but it keeps the window's event queue flowing.
  virtual void yield() = 0;
  // Ends an idle round of a wait (one that found the queue empty and has
  // nothing to do before `deadline_ms`, a ticks() value compared with wrap):
  // blocks until a message is waiting or the clock reaches the deadline,
  // whichever comes first; timer 1 and scripted input fall due meanwhile.
  // Called in place of the round's yield().
  //
  // The window sleeps on its event queue. The headless clock moves at once
  // to where the wait's rounds would have brought it just before the
  // deadline or the next scripted input: idle rounds (one empty look at the
  // queue and one yield() each) and, for each timer 1 message that falls due
  // meanwhile, the round that takes it (with one yield() when
  // `timer_round_yields`). Such timer messages are taken from the queue
  // there: a wait does nothing with them. So a wait takes no real time and
  // every message and trace line keeps its game time.
  virtual void wait_message(uint32_t deadline_ms, bool timer_round_yields) = 0;
  // Whether timer 1's messages have work in the engine (a sound loop to
  // restart, a CD track's end to notice). While on, the headless clock lets
  // each one reach the wait instead of passing over it.
  virtual void set_timer_work(bool on) = 0;

  // --- the window ----------------------------------------------------------------
  // The 640x480 picture the player sees (layout above). The engine draws into
  // it and then calls present() for the part it changed.
  virtual uint8_t* window_pixels() = 0;
  virtual void present(const Rect& area) = 0;
  // Moves the content of `area` by (dx, dy); what moves out of the area is
  // lost, what is uncovered keeps its old pixels (the caller redraws it).
  virtual void scroll_window(const Rect& area, int dx, int dy) = 0;
  // The menu bar's strip (layout above); the engine draws it and then calls
  // present_menu_bar(). Where the window shows no strip it stays in memory.
  virtual uint8_t* menu_bar_pixels() = 0;
  virtual void present_menu_bar() = 0;
  // Full screen has no strip: while `shown`, the strip lies over the top rows
  // of the picture instead, and the mouse over it arrives as MenuBarMouse
  // messages (moves arrive as client MouseMove messages as well).
  virtual void overlay_menu_bar(bool shown) = 0;
  virtual void set_title(std::string_view utf8) = 0;
  virtual void show_window() = 0;
  // Full screen on or off; false when the change was refused.
  virtual bool set_full_screen(bool on) = 0;
  // The pointer in client coordinates; false when it is not known.
  virtual bool pointer_position(int& x, int& y) = 0;
  // Moves the pointer to (x, y) of the picture, as the player's keys and
  // game controller move it between choices and buttons; a MouseMove
  // message follows.
  virtual void move_pointer(int x, int y) = 0;
  // Writes the window as "vellumite-YYYYMMDD-HHMMSS.png" (local time; a
  // "-N" added when taken) into the player's pictures folder
  // ($XDG_PICTURES_DIR, else the home folder); the file's name, or "" when
  // it could not be written.
  virtual std::string save_screenshot() = 0;
  // A custom pointer from 32-bit pixels (blue, green, red, alpha; rows top
  // down); null pixels restore the standard arrow.
  virtual void set_pointer_image(const uint8_t* bgra, int width, int height, int hot_x,
                                 int hot_y) = 0;

  // --- dialogs -------------------------------------------------------------------
  // A modal message box; returns the answer.
  virtual BoxAnswer message_box(std::string_view title_utf8, std::string_view text_utf8,
                                BoxButtons buttons) = 0;
  // Whether the engine draws its dialogs into the window and the player
  // answers them there (the window is shown for a box if it was not yet).
  // False headless, where message_box() settles boxes itself.
  virtual bool dialogs_in_window() const = 0;
  // Typed text on or off: while on, typed characters arrive as TextInput
  // messages and Backspace as a Char message (input methods may be active).
  // `area` is where the text is edited, so an input method can show its
  // composition there.
  virtual void set_text_input(bool on, const Rect& area = kWindowRect) = 0;

  // --- diagnostics ----------------------------------------------------------------
  // Writes a line to the program's diagnostic stream (stderr).
  virtual void log(std::string_view utf8) = 0;

  // --- sound --------------------------------------------------------------------
  // The backend plays what `producer` mixes at kAudioRate (a device in a
  // window; headless, the mixer is pulled as the virtual clock moves and
  // may be written to a file). Null detaches: once this returns, the old
  // producer is not called any more.
  virtual void attach_audio(AudioProducer* producer) = 0;

  // --- files --------------------------------------------------------------------
  // Paths are the operating system's bytes, relative to the current folder
  // (the game folder) or absolute. The engine reaches game files through
  // src/resources/, which resolves the names a scenario writes.
  virtual PathKind path_kind(const std::string& path) = 0;
  // The names in a folder ("." and ".." left out); empty when it cannot be
  // read.
  virtual std::vector<std::string> list_folder(const std::string& path) = 0;
  // Reads at most `max_bytes` of the file into `out`, in one read of its
  // size: how many bytes were stored; nullopt when it cannot be opened.
  virtual std::optional<size_t> read_file_into(const std::string& path, char* out,
                                               size_t max_bytes) = 0;
  // The file's size in bytes; nullopt when there is no such file.
  virtual std::optional<uint64_t> file_size(const std::string& path) = 0;
  // Replaces the file with `bytes` as one step: a temporary file in the same
  // folder, flushed and renamed over it, so a reader sees the old file or
  // the new one, never half of one. False on failure (the old file stays).
  virtual bool write_file(const std::string& path, std::string_view bytes) = 0;
  // Deletes a file; false when it could not.
  virtual bool remove_file(const std::string& path) = 0;
  // When the file was last changed, as local_time() shows it; nullopt when
  // there is no such file.
  virtual std::optional<LocalTime> file_modified(const std::string& path) = 0;
  // The absolute path of the current folder (the game folder); empty when it
  // cannot be told.
  virtual std::string current_folder() = 0;

  // --- process --------------------------------------------------------------------
  // The single-instance guard; false when another instance holds it.
  virtual bool acquire_instance_guard() = 0;
  // Creates (if needed) and returns the scratch folder, ending with '/'.
  virtual std::string prepare_temp_folder() = 0;
  // Removes the scratch folder when it is empty.
  virtual void remove_temp_folder() = 0;
  // Restores the desktop's display mode (leaves full screen).
  virtual void restore_display_mode() = 0;
  // A value under HKEY_CURRENT_USER\`key_path` (UTF-8); nullopt when the key
  // or the value is missing. Dword values come back as decimal text.
  virtual std::optional<std::string> read_registry_value(std::string_view key_path,
                                                         std::string_view value_name) = 0;
  // An entry of a profile (ini) file; nullopt when the file, the section or
  // the key is missing. A bare file name is looked up in the game folder.
  virtual std::optional<std::string> read_profile_string(std::string_view file,
                                                         std::string_view section,
                                                         std::string_view key) = 0;

  // The user's data folder ($XDG_DATA_HOME, else ~/.local/share), without a
  // trailing '/'; empty when neither is known. Where a game's data files go
  // when its own folder cannot be written.
  virtual std::string data_home() = 0;
  // `seconds` since 1970 in the local calendar (headless: in UTC, so that a
  // run shows the same on every machine).
  virtual LocalTime local_time(int64_t seconds) = 0;

  // --- shared libraries (plug-ins) ---------------------------------------------
  // Loads the shared library at `path` (a path with a '/', never searched
  // for); null when it cannot be loaded (missing, not a library of this
  // system, wrong architecture).
  virtual void* open_library(const std::string& path) = 0;
  // The address of the exported `name`, or null.
  virtual void* library_symbol(void* library, const char* name) = 0;
  virtual void close_library(void* library) = 0;
  // The folder that holds the program's own plug-ins, ending with '/'; empty
  // when there is none.
  virtual std::string own_plugin_folder() = 0;

  // --- the player's settings ------------------------------------------------------
  // The text of the player's settings file (settings.ini); nullopt when there
  // is none or this run keeps no settings.
  virtual std::optional<std::string> read_settings() = 0;
  // Replaces the settings file with `text` as one step (a reader never sees
  // half a file); false when it cannot be written or this run keeps none.
  virtual bool write_settings(std::string_view text) = 0;
  // Settings the player gave for this run alone (the command line), in the
  // settings file's format; they count over the file's and are never
  // written into it.
  virtual std::string settings_overrides() = 0;
};

// How a run is played besides the player's input: the auto player, which
// answers every wait for the player itself, and the label the game starts at.
struct PlayOptions {
  bool auto_play = false;
  // The auto player takes choices at random from this seed; without one, in
  // turn.
  std::optional<uint32_t> seed;
  // Start the game here (without the '*') after the define block; empty:
  // the scenario's own start. As given on the command line (UTF-8).
  std::string warp_label;
};

// What drives and records a run: the scripted input that plays the player's
// part, the trace, and the end of the run. Kept apart from the operating
// system's seam (Platform) so that what a test controls is in one place.
// The window backend implements it too (the window tests script it).
class Automation {
 public:
  virtual ~Automation() = default;

  // --- waits for the player --------------------------------------------------------
  // Called when a wait that the player ends begins (a click, key, choice,
  // button, menu or dialog). `ends_by_time` marks waits that also end on
  // their own; `resumed` marks a wait that goes on after input that did not
  // end it (it writes no new trace line). Returns false when the wait would
  // wait for ever: the scripted input is used up and nothing is waiting in
  // the queue (headless only).
  virtual bool begin_wait(std::string_view kind, bool ends_by_time, bool resumed = false) = 0;

  // --- scripted answers to dialogs ------------------------------------------------
  // An answer for the next input dialog from the scripted input, if the next
  // scripted event is one; consumes it.
  virtual std::optional<std::string> scripted_text_answer() = 0;
  // The answer for the next message box from the scripted input, if the next
  // scripted event is one; consumes it. Yes/No boxes take "ok" as Yes.
  virtual std::optional<BoxAnswer> scripted_box_answer(BoxButtons buttons) = 0;
  // Writes the `msgbox` trace line for a box the engine settled itself.
  virtual void record_box_answer(std::string_view title_utf8, std::string_view text_utf8,
                                 BoxAnswer answer) = 0;

  // --- trace and the end of the run -----------------------------------------------
  // True while a trace is being written; callers skip formatting otherwise.
  virtual bool tracing() const = 0;
  // Writes "<ms> <event> <fields>" as one line; `fields` is already escaped.
  virtual void trace(std::string_view event, std::string_view fields) = 0;
  // Called once at the very end with the exit code: writes the exit line,
  // the screenshot, and flushes.
  virtual void finish(int exit_code) = 0;
  virtual int exit_code_for(ExitReason reason) const = 0;

  // --- playing by itself -------------------------------------------------------------
  virtual const PlayOptions& play_options() const = 0;
  // Writes one line of the auto player's summary on standard output.
  virtual void report(std::string_view utf8_line) = 0;
};

}  // namespace vellumite
