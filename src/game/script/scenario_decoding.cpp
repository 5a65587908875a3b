#include "game/script/scenario_decoding.h"

#include "game/shell/dialogs.h"
#include "game/shell/window_proc.h"
#include "script/scenario_encoding.h"

namespace vellumite {

void decode_scenario_file(Engine& e, std::string_view name, std::string_view& raw,
                          std::string& holder) {
  const bool marked = starts_with_utf8_bom(raw);
  if (!e.script.utf8_scenario && !(marked && valid_utf8(raw))) return;
  ScenarioDecoding decoded = decode_utf8_scenario(raw);
  if (!decoded.ok) {
    const std::string message = describe_decoding_failure(name, decoded);
    e.platform.log("読み込みエラー: " + message);
    message_box(e, "読み込みエラー", message, BoxButtons::Ok);
    end_program(e, ExitReason::ScriptError);
  }
  holder = std::move(decoded.sjis);
  raw = holder;
}

}  // namespace vellumite
