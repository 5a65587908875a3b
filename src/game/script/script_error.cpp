#include "game/script/script_error.h"

#include <cstdio>

#include "base/sjis.h"
#include "game/script/labels.h"
#include "game/shell/dialogs.h"
#include "game/shell/window_proc.h"

namespace vellumite {
namespace {

std::string replace_first(std::string text, std::string_view what, std::string_view with) {
  size_t at = text.find(what);
  if (at != std::string::npos) text.replace(at, what.size(), with);
  return text;
}

// The context ends at the error point; it starts at the third-last line feed
// before it. Very long lines are cut to their last bytes so the report stays
// readable.
constexpr int32_t kMaxContextBytes = 2000;

}  // namespace

std::string error_message(std::string_view utf8_format, std::string_view arg) {
  return replace_first(to_sjis(utf8_format), "%s", arg);
}

std::string error_message(std::string_view utf8_format, long long number) {
  return replace_first(to_sjis(utf8_format), "%d", std::to_string(number));
}

std::string error_report(const Engine& e, std::string_view message_sjis) {
  const ScriptState& s = e.script;
  std::string report(message_sjis);
  report += "\n\n";
  FileLine where = locate_position(e, s.script_pos);
  char line[64];
  std::snprintf(line, sizeof line, "%d.txt line:%d\n", where.file, where.line);
  report += line;
  if (s.script_buffer == nullptr) return report;

  const char* buf = s.script_buffer.get();
  int32_t end = s.script_pos;
  int32_t start = 0;
  int found = 0;
  for (int32_t i = end - 1; i >= 0; --i) {
    if (buf[i] == '\n' && ++found == 3) {
      start = i;
      break;
    }
  }
  if (end - start > kMaxContextBytes) start = end - kMaxContextBytes;
  int32_t last_feed = -1;
  for (int32_t i = end - 1; i >= start; --i) {
    if (buf[i] == '\n') {
      last_feed = i;
      break;
    }
  }
  for (int32_t i = start; i < end; ++i) {
    report += buf[i];
    if (buf[i] == '\n') report += (i == last_feed) ? '>' : '|';
  }
  return report;
}

void script_error(Engine& e, std::string_view title_utf8, std::string_view message_sjis) {
  std::string report = error_report(e, message_sjis);
  std::string report_utf8 = to_utf8(report);
  e.platform.log(std::string(title_utf8) + ": " + report_utf8);
  message_box(e, title_utf8, report_utf8, BoxButtons::Ok);
  end_program(e, ExitReason::ScriptError);
}

}  // namespace vellumite
