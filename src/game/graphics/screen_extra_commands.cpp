// The commands of the smaller screen features: gauges (bar, barclear),
// numbers (prnum, prnumclear), the quakes (quakex, quakey), the mouse
// pointer (mousecursor), the click-wait cursors (setcursor, abssetcursor)
// and the alpha-picture tool (bw2a).
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "base/folder_bounds.h"
#include "base/sjis.h"
#include "game/graphics/gauges.h"
#include "game/graphics/layers.h"
#include "game/graphics/picture.h"
#include "game/graphics/quake.h"
#include "game/resources/archives.h"
#include "game/script/readers.h"
#include "game/script/script_error.h"
#include "game/text/text_window.h"
#include "graphics/alpha_tool.h"
#include "graphics/bmp.h"
#include "graphics/cursor_file.h"
#include "platform/trace_text.h"
#include "resources/game_files.h"
#include "resources/plain_files.h"
#include "script/command_table.h"

namespace vellumite {
namespace {

// No pointer file a game ships comes near this.
constexpr size_t kMaxPointerFileBytes = size_t{16} << 20;

[[noreturn]] void fail(Engine& e, std::string_view utf8_message, std::string_view arg = {}) {
  script_error(e, "エラー", error_message(utf8_message, arg));
}

// The colour argument after a comma: the character there (the '#') is
// passed over and the next six are the hexadecimal colour.
Colour read_gauge_colour(Engine& e) {
  expect_comma(e);
  skip_blanks(e);
  const char c = current_byte(e);
  // At the end of the line there is no colour to read.
  const char* digits =
      c == '\0' || c == '\n' ? "" : e.script.script_buffer.get() + e.script.script_pos + 1;
  const Colour colour = read_color(e, digits);
  e.script.script_pos += 7;
  skip_blanks(e);
  return colour;
}

int32_t next_number(Engine& e) {
  expect_comma(e);
  return read_number(e);
}

void cmd_bar(Engine& e) {
  const int32_t n = read_number(e);
  if (n < 0 || n >= kGaugeCount) fail(e, "barの番号は0から99までです。");
  Gauge bar;
  bar.value = next_number(e);
  bar.x = next_number(e);
  bar.y = next_number(e);
  bar.w = next_number(e);
  bar.h = next_number(e);
  bar.max = next_number(e);
  bar.colour = read_gauge_colour(e);
  if (bar.max == 0) fail(e, "barの最大値に0は指定できません。");
  Gauge& slot = e.graphics.bars[static_cast<size_t>(n)];
  if (slot.x != -1) mark_dirty(e, gauge_area(slot));
  slot = bar;
  mark_dirty(e, gauge_area(slot));
}

void cmd_barclear(Engine& e) {
  // Nothing is marked: the gauges stay on the screen until their area is
  // composed again for another reason.
  e.graphics.bars.fill(Gauge{});
}

void cmd_prnum(Engine& e) {
  const int32_t n = read_number(e);
  if (n < 0 || n >= kGaugeCount) fail(e, "prnumの番号は0から99までです。");
  NumberDisplay number;
  number.value = next_number(e);
  number.x = next_number(e);
  number.y = next_number(e);
  number.a = next_number(e);
  number.b = next_number(e);
  number.colour = read_gauge_colour(e);
  NumberDisplay& slot = e.graphics.numbers[static_cast<size_t>(n)];
  if (slot.x != -1) mark_dirty(e, number_area(slot, 3));
  slot = number;
  mark_dirty(e, number_area(slot, 3));
}

void cmd_prnumclear(Engine& e) { e.graphics.numbers.fill(NumberDisplay{}); }

void run_quake(Engine& e, bool vertical) {
  const int32_t count = read_number(e);
  const int32_t duration = next_number(e);
  if (count < 1) {
    fail(e,
         vertical ? "quakeyの回数は1以上にしてください。" : "quakexの回数は1以上にしてください。");
  }
  if (e.automation.tracing()) {
    e.automation.trace("quake", std::string(vertical ? "y " : "x ") + std::to_string(count) + ' ' +
                                    std::to_string(duration));
  }
  quake(e, vertical, count, duration);
}

void cmd_quakex(Engine& e) { run_quake(e, false); }
void cmd_quakey(Engine& e) { run_quake(e, true); }

void show_arrow(Engine& e) {
  e.platform.set_pointer_image(nullptr, 0, 0, 0, 0);
  if (e.automation.tracing()) e.automation.trace("pointer", "arrow");
}

void cmd_mousecursor(Engine& e) {
  skip_blanks(e);
  const char c = current_byte(e);
  if (c == 'o' || c == 'O') {
    std::string word;
    read_token(e, word);
    if (word != "off") fail(e, "mousecursorのパラメータは、offかファイル名です。");
    show_arrow(e);
    return;
  }
  std::string name;
  read_string(e, name);
  std::string path = resolve_game_path_logged(e.platform, name);
  bool temporary = false;
  if (path.empty()) {
    std::optional<std::string> extracted = find_in_archives(e, name);
    if (!extracted) fail(e, "カーソルファイルが見つかりません。");
    path = std::move(*extracted);
    temporary = true;
  }
  const std::optional<std::string> bytes = read_file_at(e.platform, path, kMaxPointerFileBytes);
  if (temporary) e.platform.remove_file(path);
  std::optional<PointerImage> image;
  if (bytes) {
    image = decode_pointer_file(
        std::span(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()));
  }
  if (!image) {
    // A file that is no pointer we can read leaves the standard arrow.
    e.platform.log(to_utf8(name) + ": not a pointer file that can be read; the arrow stays");
    show_arrow(e);
    return;
  }
  e.platform.set_pointer_image(image->bgra.data(), image->width, image->height, image->hot_x,
                               image->hot_y);
  if (e.automation.tracing()) {
    std::string fingerprint(8, '0');
    const uint32_t f = pointer_fingerprint(*image);
    for (int i = 0; i < 8; ++i)
      fingerprint[static_cast<size_t>(i)] = "0123456789abcdef"[f >> (28 - 4 * i) & 0xF];
    e.automation.trace(
        "pointer", quote_trace_string(to_utf8(name)) + ' ' + std::to_string(image->width) + 'x' +
                       std::to_string(image->height) + ' ' + std::to_string(image->hot_x) + ',' +
                       std::to_string(image->hot_y) + ' ' + fingerprint);
  }
}

void set_cursor(Engine& e, bool relative) {
  const int32_t n = read_number(e);
  if (n < 0 || n > 1) fail(e, "カーソルは０（通常）と１（クリック消去用）です。");
  CursorPlacement& placement = e.text.cursors[static_cast<size_t>(n)];
  placement.relative = relative;
  expect_comma(e);
  read_string(e, placement.tag);
  load_picture_from_tag(e, e.graphics.click_cursors[static_cast<size_t>(n)], placement.tag);
  placement.offset_x = next_number(e);
  placement.offset_y = next_number(e);
}

void cmd_setcursor(Engine& e) { set_cursor(e, true); }
void cmd_abssetcursor(Engine& e) { set_cursor(e, false); }

// One of bw2a's two renderings, from the game folder only.
void read_rendering(Engine& e, const std::string& name, Surface& out) {
  const std::string path = resolve_game_path_logged(e.platform, name);
  const std::optional<std::string> bytes =
      path.empty() ? std::nullopt : read_file_at(e.platform, path, kMaxBmpFileBytes);
  const std::span<const uint8_t> file =
      bytes ? std::span(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size())
            : std::span<const uint8_t>();
  if (!bytes || read_bmp(out, file) == BmpRead::Failed || out.empty())
    fail(e, "bw2aの画像%sが読み込めません。", name);
}

// The output's name: "out/" and the base name with its folder separators
// as '/', in UTF-8 as the game folder's own names are.
std::string alpha_output_name(std::string_view base) {
  std::string name(base);
  for (size_t i = 0; i < name.size(); ++i) {
    if (is_sjis_lead(static_cast<unsigned char>(name[i]))) {
      ++i;  // a trail byte is never a separator
    } else if (name[i] == '\\') {
      name[i] = '/';
    }
  }
  return "out/" + to_utf8(name) + ".bmp";
}

void cmd_bw2a(Engine& e) {
  std::string base;
  read_string(e, base);
  Surface black, white;
  read_rendering(e, base + "_b.bmp", black);
  read_rendering(e, base + "_w.bmp", white);
  if (black.width != white.width || black.height != white.height)
    fail(e, "bw2aの黒地と白地の画像の大きさが違います。");
  const std::optional<Surface> picture = make_alpha_picture(black, white);
  const std::string output = alpha_output_name(base);
  if (!picture || !outside_game_folder(output).empty() ||
      !e.platform.write_file(output, encode_bmp(*picture))) {
    fail(e, "bw2aの出力%sが書き込めません。", base);
  }
}

}  // namespace

void bind_screen_extra_commands(CommandBinder& binder) {
  binder.bind("bar", cmd_bar);
  binder.bind("barclear", cmd_barclear);
  binder.bind("prnum", cmd_prnum);
  binder.bind("prnumclear", cmd_prnumclear);
  binder.bind("quakex", cmd_quakex);
  binder.bind("quakey", cmd_quakey);
  binder.bind("mousecursor", cmd_mousecursor);
  binder.bind("setcursor", cmd_setcursor);
  binder.bind("abssetcursor", cmd_abssetcursor);
  binder.bind("bw2a", cmd_bw2a);
}

}  // namespace vellumite
