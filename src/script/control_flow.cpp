#include "script/command_table.h"

namespace vellumite {

void bind_control_flow_commands(CommandBinder&) {}

}  // namespace vellumite
