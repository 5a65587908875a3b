// The single fatal error path: the report with file, line and context, the
// message box, and the end of the program.
#pragma once

#include <string>
#include <string_view>

#include "game/engine.h"

namespace vellumite {

// Builds a Shift-JIS message from a UTF-8 literal, replacing its first "%s"
// with `arg` (Shift-JIS, inserted as it stands) or its first "%d" with
// `number`.
std::string error_message(std::string_view utf8_format, std::string_view arg = {});
std::string error_message(std::string_view utf8_format, long long number);

// Assembles the report (message, file and line, context) for the current
// script position. Separate from script_error so tests can check it.
std::string error_report(const Engine& e, std::string_view message_sjis);

// Shows the report in a message box titled `title_utf8` and ends the program.
[[noreturn]] void script_error(Engine& e, std::string_view title_utf8,
                               std::string_view message_sjis);

}  // namespace vellumite
