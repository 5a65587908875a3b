// Scenario files in UTF-8 become the engine's Shift-JIS as they load.
#pragma once

#include <string>
#include <string_view>

#include "game/engine.h"

namespace vellumite {

// When the scenario file `name` is UTF-8 (config.txt says so, or its bytes
// are UTF-8 starting with a byte-order mark), points `raw` at its Shift-JIS
// form, kept in `holder`. A character with no Shift-JIS form (or, with
// config.txt's word, bytes that are not UTF-8) ends the program with a
// message naming the file, the line and the character.
void decode_scenario_file(Engine& e, std::string_view name, std::string_view& raw,
                          std::string& holder);

}  // namespace vellumite
