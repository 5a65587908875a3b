// A game saved on its second page and loaded into a fresh start goes on at
// the start of that page, with its variables, its history and its screen.
#include <gtest/gtest.h>

#include "../support/save_harness.h"
#include "game/save/save_slots.h"
#include "game/script/interpreter.h"
#include "game/script/labels.h"
#include "text/history.h"

namespace vellumite::testing {
namespace {

constexpr std::string_view kScenario =
    "*define\ngame\n*start\n"
    "mov %1,1:mov $1,\"一\"\n"
    "bg #203040,1\n"
    "「一ページ目」\\\n"
    "mov %1,2:mov $1,\"二\"\n"
    "gosub *sub\n"
    "end\n"
    "*sub\n"
    "「二ページ目」@\n"
    "mov %1,3\n"
    "「続き」@\n"
    "return\n";

// Runs the game from its start (or from slot 1) until the input runs out or
// it ends.
void play(SaveHarness& h, bool from_slot) {
  h.dir.write_text("0.txt", kScenario);
  load_scenario(h.e);
  build_label_table(h.e);
  run_interpreter(h.e, true);
  try {
    game_reset(h.e);
    if (from_slot) {
      ASSERT_TRUE(load_save(h.e, 1));
    }
    run_interpreter(h.e, false);
  } catch (const ProgramExit&) {
  }
}

TEST(SaveAndLoad, ALoadedGameGoesOnAtThePageItWasSavedOn) {
  std::string slot;
  {
    // One click ends the first page; the second page's wait finds no input.
    SaveHarness first("click 10 10\n");
    play(first, false);
    EXPECT_EQ(first.e.vars.num_vars[1], 2);
    ASSERT_TRUE(write_save(first.e, 1));
    slot = first.file("save1.dat");
  }
  SaveHarness second("click 10 10\nclick 10 10\n");
  write_file(second.dir.path() / "save1.dat", slot);
  second.e.vars.num_vars[1] = 99;
  play(second, true);
  const std::string trace = second.trace.str();
  EXPECT_EQ(trace.find("一ページ目"), std::string::npos);  // not shown again
  const size_t page2 = trace.find("text \"「二ページ目」@\"");
  const size_t rest = trace.find("text \"「続き」@\"");
  ASSERT_NE(page2, std::string::npos);
  EXPECT_GT(rest, page2);
  EXPECT_EQ(second.e.script.gosub_depth, 0);  // `return` found its gosub
  EXPECT_EQ(second.e.vars.num_vars[1], 3);
  EXPECT_EQ(to_utf8(second.e.vars.str_vars[1]), "二");
  // The history holds the first page, then the second as shown after the load.
  const std::string page1 = to_sjis("「一ページ目」\\");
  EXPECT_EQ(history_text(second.e.text.history).substr(0, page1.size()), page1);
  EXPECT_EQ(second.e.graphics.layers.background_name, "#203040");
}

}  // namespace
}  // namespace vellumite::testing
