#include "script/command_table.h"

namespace vellumite {

void bind_variable_commands(CommandBinder&) {}

}  // namespace vellumite
