// The slot list: its labels, and choosing, refusing and cancelling with the
// mouse.
#include <gtest/gtest.h>
#include <utime.h>

#include "../support/save_harness.h"
#include "game/save/persistent_files.h"
#include "game/save/save_slots.h"

namespace vellumite::testing {
namespace {

// A slot file last written at `seconds` since 1970 (shown in UTC headless).
void slot_file(const SaveHarness& h, int n, int64_t seconds) {
  const auto path = h.dir.path() / ("save" + std::to_string(n) + ".dat");
  write_file(path, "x");
  const utimbuf times{static_cast<time_t>(seconds), static_cast<time_t>(seconds)};
  ASSERT_EQ(utime(path.c_str(), &times), 0);
}

constexpr int64_t kMay3At0905 = 1777799100;
constexpr int64_t kDec24At2359 = 1798156740;
const char* const kDashes = "－－－－－－－－－－－－";

TEST(SlotScreen, LabelsShowTheNumberAndTheTimeInFullWidth) {
  struct Case {
    int count, slot;
    std::string utf8;
  };
  for (const Case& c : {Case{3, 0, "しおり１　　５月　３日　９時０５分"},
                        Case{3, 1, std::string("しおり２　") + kDashes},
                        Case{3, 2, "しおり３　１２月２４日２３時５９分"},
                        Case{10, 0, "しおり　１　　５月　３日　９時０５分"},
                        Case{10, 9, std::string("しおり１０　") + kDashes}}) {
    SaveHarness h;
    reset_save_cycle_defaults(h.e);
    h.e.save.save_count = c.count;
    slot_file(h, 1, kMay3At0905);
    slot_file(h, 3, kDec24At2359);
    bool exists = false;
    EXPECT_EQ(to_utf8(slot_label(h.e, c.slot, &exists)), c.utf8);
    EXPECT_EQ(exists, c.slot != 1 && c.slot != 9);
  }
}

// Three slots, of which the second has no file: the rows are 28 pixels
// high from y 240, between x 99 and 541.
struct Choice {
  bool is_save;
  std::string input;
  int slot;
  std::string label_utf8;
};

TEST(SlotScreen, ThePlayerPicksASlotOrCancels) {
  for (const Choice& c : {
           Choice{false, "move 320 280\nclick 320 280\nmove 320 250\nclick 320 250\n", 0,
                  "しおり１"},
           Choice{true, "move 320 280\nclick 320 280\n", 1, "しおり２"},
           Choice{false, "move 320 300\nmove 700 300\nrclick 320 300\n", -1, ""},
       }) {
    SCOPED_TRACE(c.input);
    SaveHarness h(c.input);
    reset_save_cycle_defaults(h.e);
    h.e.save.save_count = 3;
    slot_file(h, 1, kMay3At0905);
    slot_file(h, 3, kDec24At2359);
    std::string label;
    EXPECT_EQ(save_slot_screen(h.e, c.is_save, label), c.slot);
    EXPECT_EQ(to_utf8(label), c.label_utf8);
    EXPECT_NE(h.trace.str().find(" slot " + std::to_string(c.slot) + "\n"), std::string::npos);
    // The window is shown behind the list and stays in the scene.
    EXPECT_TRUE(h.e.text.window.window_in_scene);
  }
}

}  // namespace
}  // namespace vellumite::testing
