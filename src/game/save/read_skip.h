// Which text the player has read: every text line is noted as it starts,
// and with the player's switch on, skipping stops at a line not read before.
// The record is kept per game folder in the user's data folder.
#pragma once

#include <cstdint>

#include "game/engine.h"

namespace vellumite {

// A text line starts at `position` of the scenario: ends skipping there when
// the line is new and the switch is on, then counts it as read.
void note_text_line(Engine& e, int32_t position);

// Writes the record when it holds lines its file does not have.
void write_read_record(Engine& e);

}  // namespace vellumite
