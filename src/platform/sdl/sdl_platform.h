// The real window: an SDL window showing the 640x480 picture at an integer
// scale (or fitted to the screen in full screen), the wall clock, the mouse
// and the Space/Enter keys, and SDL's message boxes. SDL stays inside this
// backend: this header does not include it.
#pragma once

#include <memory>
#include <string>

#include "platform/backend_only.h"
#include "platform/platform_base.h"

union SDL_Event;

namespace vellumite {

class SdlPlatform final : public PlatformBase {
 public:
  // Opens SDL and the window (hidden until show_window()). `scale` is the
  // window's size factor; 0 picks the largest one that fits the desktop.
  // Returns null with the reason in `error` when no window can be opened
  // ("no display", for instance; it reads after "cannot open a window: ").
  static std::unique_ptr<SdlPlatform> create(PlatformOptions options, int scale,
                                             std::string& error);

  // As create(), but throws std::runtime_error when the window cannot be opened.
  SdlPlatform(PlatformOptions options, int scale);
  ~SdlPlatform() override;

  SdlPlatform(const SdlPlatform&) = delete;
  SdlPlatform& operator=(const SdlPlatform&) = delete;

  bool peek_message(Message& out, bool remove) override;
  uint32_t ticks() override;
  void sleep(uint32_t ms) override;
  void yield() override;
  // Sleeps on SDL's event queue until an event, timer 1 or the deadline.
  void wait_message(uint32_t deadline_ms, bool timer_round_yields) override;
  void present(const Rect& area) override;
  // The strip is shown above the picture in windowed mode.
  void present_menu_bar() override;
  void overlay_menu_bar(bool shown) override;
  void set_title(std::string_view utf8) override;
  void show_window() override;
  bool set_full_screen(bool on) override;
  bool pointer_position(int& x, int& y) override;
  // Moves the system pointer too, where the window has the mouse.
  void move_pointer(int x, int y) override;
  void set_pointer_image(const uint8_t* bgra, int width, int height, int hot_x, int hot_y) override;
  int exit_code_for(ExitReason) const override { return 0; }
  bool acquire_instance_guard() override;
  std::string prepare_temp_folder() override;
  void remove_temp_folder() override;
  void restore_display_mode() override { set_full_screen(false); }
  // The engine draws its dialogs once the window is shown; before that,
  // SDL's own message box is the only one the player can see.
  bool dialogs_in_window() const override;
  void set_text_input(bool on, const Rect& area) override;
  // Opens the sound device (SDL_AUDIODRIVER chooses the driver) for `producer`.
  void attach_audio(AudioProducer* producer) override;

  // The window's size factor in windowed mode.
  int scale() const;

 protected:
  BoxAnswer show_message_box(std::string_view title_utf8, std::string_view text_utf8,
                             BoxButtons buttons) override;
  bool exhausted_input_ends_program() const override { return false; }

 private:
  struct Impl;

  // Takes every waiting SDL event and turns it into messages.
  void pump();
  void handle_event(const SDL_Event& event);
  void handle_button(const SDL_Event& event);
  // Game controllers: opened as they come, A and B as clicks, the pad and
  // the left stick as arrow keys (sdl_controller.cpp).
  void open_controllers();
  void handle_controller(const SDL_Event& event);
  // Turns pointer motion or a left button over the strip into a MenuBarMouse
  // message; false when the point is not on the strip.
  bool strip_mouse(int x, int y, uint32_t flags);
  void flush_pending_move();
  // Posts a TextInput message for every character of `utf8`.
  void post_typed_text(const char* utf8);
  // Uploads `area` of the window surface and shows the whole picture.
  void render(const Rect& area);
  void upload(const Rect& area);
  // Whether the window surface holds in `area` what was last uploaded.
  bool same_as_shown(const Rect& area);
  void upload_strip();
  // Whether the X window leaves the size width x height within a short wait.
  bool x11_size_changes(int width, int height);
  void show_picture();
  // Shows a presented picture that is still waiting; unless `now`, only when
  // the last one was shown long enough ago.
  void show_waiting_picture(bool now);
  void repaint();
  void update_cursor();

  std::unique_ptr<Impl> impl_;
  std::unique_ptr<class SdlAudioOutput> audio_output_;  // closed before SDL ends
};

}  // namespace vellumite
