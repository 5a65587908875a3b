// Placeholder until the slot files exist: nothing is recorded, the slot list
// is always cancelled, and no slot can be written or read.
#include "game/save/save_slots.h"

namespace vellumite {

void state_snapshot(Engine&) {}
int save_slot_screen(Engine&, bool, std::string& label) {
  label.clear();
  return -1;
}
bool write_save(Engine&, int) { return false; }
bool load_save(Engine&, int) { return false; }

}  // namespace vellumite
