// The window procedure: input flags, menu commands and check marks, closing
// with confirmation, the end when no input is left; the window title and
// the configuration file read at start-up.
#include "game/shell/window_proc.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "game/shell/entry.h"
#include "support/engine_harness.h"
#include "support/game_runner.h"

namespace vellumite {
namespace {

// In a game folder of its own: the exit sequence writes the player's files.
struct Harness : testing::EngineHarness {
  explicit Harness(std::string_view input = "") : EngineHarness(input) { e.shell.menu.build(); }
  testing::GameDir dir;
  testing::InDir in{dir};
  void send(MessageKind kind, int x = 0, int y = 0, uint32_t param = 0) {
    dispatch_message(e, Message{kind, x, y, param});
  }
  void menu(int id) { send(MessageKind::Command, 0, 0, static_cast<uint32_t>(id)); }
};

TEST(WindowProc, ClicksKeysAndTheSwallowedClick) {
  Harness h;
  ShellState& s = h.e.shell;
  h.send(MessageKind::LButtonDown, 7, 8);
  EXPECT_EQ(std::tuple(s.click_x, s.clicked_flag), std::tuple(7, false));
  h.send(MessageKind::LButtonUp, 9, 10);
  EXPECT_EQ(std::tuple(s.click_y, s.clicked_flag), std::tuple(10, true));
  h.send(MessageKind::RButtonUp, 1, 2);
  EXPECT_TRUE(s.rclicked_flag);

  // A click while auto mode or skip mode is on only ends both modes.
  s.clicked_flag = s.rclicked_flag = false;
  h.menu(kMenuAutoMode);
  h.menu(kMenuSkipToChoice);
  h.send(MessageKind::LButtonUp, 50, 60);
  EXPECT_EQ(std::tuple(s.clicked_flag, s.auto_mode, s.skip_to_choice),
            std::tuple(false, false, false));
  EXPECT_EQ(s.click_x, 1) << "the swallowed click stores no position";
  h.menu(kMenuSkipToChoice);
  h.send(MessageKind::RButtonUp, 50, 60);
  EXPECT_EQ(std::tuple(s.rclicked_flag, s.skip_to_choice), std::tuple(false, false));

  // Space and Enter are clicks and leave the modes alone; other keys do nothing.
  h.menu(kMenuAutoMode);
  h.send(MessageKind::Char, 0, 0, 'a');
  EXPECT_FALSE(s.clicked_flag);
  h.send(MessageKind::Char, 0, 0, 0x20);
  EXPECT_TRUE(s.clicked_flag);
  s.clicked_flag = false;
  h.send(MessageKind::Char, 0, 0, 0x0D);
  EXPECT_EQ(std::tuple(s.clicked_flag, s.auto_mode), std::tuple(true, true));
  EXPECT_EQ(s.last_message, static_cast<int>(MessageKind::Char));
}

TEST(WindowProc, MenuCommandsKeepTheirRadioGroups) {
  Harness h;
  ShellState& s = h.e.shell;
  Menu& m = s.menu;
  // {command, then checked, then unchecked}
  const std::array<int, 3> radio[] = {{kMenuSpeedFast, kMenuSpeedFast, kMenuSpeedNormal},
                                      {kMenuSpeedSlow, kMenuSpeedSlow, kMenuSpeedFast},
                                      {kMenuWaveOff, kMenuWaveOff, kMenuWaveOn},
                                      {kMenuCddaOff, kMenuCddaOff, kMenuCddaOn},
                                      {kMenuPageMode, kMenuPageMode, kMenuDefaultMode}};
  for (auto [command, on, off] : radio) {
    h.menu(command);
    EXPECT_TRUE(m.is_checked(on)) << command;
    EXPECT_FALSE(m.is_checked(off)) << command;
  }
  EXPECT_EQ(std::tuple(s.text_speed_index, s.wave_enabled, s.cdda_enabled, s.page_mode),
            std::tuple(0, false, false, 1));
  h.menu(kMenuDefaultMode);
  EXPECT_EQ(s.page_mode, 0);
  s.autoclick_active = true;
  h.menu(kMenuPageMode);
  EXPECT_EQ(s.page_mode, 0) << "page mode is refused during autoclick";
  EXPECT_TRUE(m.is_checked(kMenuDefaultMode));
  h.menu(kMenuSpeedFast);
  EXPECT_EQ(s.text_speed_index, 2);

  // Font items: id 0 is a font like any other; unknown ids are ignored.
  s.default_font_face = "default";
  s.font_table[0] = "first";
  m.find(kMenuFontDefault)->checked = true;
  h.menu(0);
  EXPECT_EQ(std::tuple(s.font_face, s.font_menu_id, m.is_checked(kMenuFontDefault)),
            std::tuple("first", 0, false));
  h.menu(200);
  h.menu(99999);
  EXPECT_EQ(s.font_face, "first");
  h.menu(kMenuFontDefault);
  EXPECT_EQ(s.font_face, "default");
  EXPECT_TRUE(m.is_checked(kMenuFontDefault));
}

TEST(WindowProc, FullScreenAndTheMenuRule) {
  Harness h;
  ShellState& s = h.e.shell;
  // {full screen, the platform's, its check mark, the window's}
  auto state = [&] {
    return std::array{s.full_screen, h.platform.full_screen(), s.menu.is_checked(kMenuFullScreen),
                      s.menu.is_checked(kMenuWindow)};
  };
  const std::array kFull{true, true, true, false}, kWindowed{false, false, false, true};
  h.menu(kMenuFullScreen);
  EXPECT_EQ(state(), kFull);
  // The posted pointer position (0, 1) shows the menu bar at once.
  ASSERT_TRUE(pump_message(h.e));
  EXPECT_FALSE(s.menu_hidden);
  h.send(MessageKind::MouseMove, 5, 20);
  EXPECT_TRUE(s.menu_hidden);
  h.send(MessageKind::MouseMove, 5, 19);
  EXPECT_FALSE(s.menu_hidden);
  h.menu(kMenuWindow);
  EXPECT_EQ(state(), kWindowed);
  // The full-screen key switches both ways, check marks included.
  h.send(MessageKind::ToggleFullScreen);
  EXPECT_EQ(state(), kFull);
  h.send(MessageKind::ToggleFullScreen);
  EXPECT_EQ(state(), kWindowed);
}

TEST(WindowProc, CloseAsksAndNoKeepsTheTimer) {
  Harness h("answer no\n");
  h.platform.start_timer(100);
  h.send(MessageKind::Close);
  EXPECT_FALSE(h.e.shell.window_destroyed);
  h.platform.sleep(100);
  Message m;
  ASSERT_TRUE(h.platform.peek_message(m, true));
  EXPECT_EQ(m.kind, MessageKind::Timer) << "the timer runs again after No";

  try {
    h.send(MessageKind::Close);  // unanswered: Yes
    FAIL() << "Yes ends the program";
  } catch (const ProgramExit& exit) {
    EXPECT_EQ(exit.code, 0);
    EXPECT_TRUE(h.e.shell.window_destroyed);
  }
}

TEST(WindowProc, WaitWithNoInputLeftEndsWithCodeThree) {
  Harness h("click 1 1\n");
  begin_player_wait(h.e, "click");  // delivers the click
  while (pump_message(h.e)) {
  }
  EXPECT_TRUE(h.e.shell.clicked_flag);
  begin_player_wait(h.e, "delay", true);  // ends by time: keeps going
  try {
    begin_player_wait(h.e, "click");
    FAIL() << "nothing left to deliver";
  } catch (const ProgramExit& exit) {
    EXPECT_EQ(exit.code, 3);
    EXPECT_TRUE(h.e.shell.window_destroyed) << "the exit sequence ran first";
  }
}

}  // namespace

namespace testing {
namespace {

// The trace does not show the window title: `caption` sets it.
TEST(Startup, CaptionIsTheWindowTitle) {
  RunResult r = run_scenario(game_script("end\n", "caption \"テスト\"\n"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.title, "テスト");
}

}  // namespace
}  // namespace testing
}  // namespace vellumite
