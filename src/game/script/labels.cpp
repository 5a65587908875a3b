#include "game/script/labels.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "game/engine.h"
#include "game/script/readers.h"
#include "game/script/scenario_decoding.h"
#include "game/script/script_error.h"
#include "resources/game_files.h"
#include "script/scenario_text.h"

namespace vellumite {
namespace {

[[noreturn]] void too_long(Engine& e) {
  script_error(e, "エラー", error_message("シナリオが長すぎます。"));
}

void lowercase_ascii(std::string& s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
}

// A single file's bytes are in the buffer: the line feed, the size rule and
// the NUL follow.
void finish_single_file(Engine& e, size_t size) {
  char* buf = e.script.script_buffer.get();
  auto length = static_cast<int32_t>(size);
  buf[length++] = '\n';
  buf[length] = '\0';
  e.script.script_length = length;
  // A file that fills the buffer (or would overflow it) is too long.
  if (length >= kScriptBufferSize) too_long(e);
}

// From `pos` inside a line that holds no label: the start of the next line
// that has a '*' in it (only such a line can), or `end`. Lines are not
// walked one by one: the stars are found with memchr and each one's line
// start by looking back from it.
int32_t next_star_line(const char* buf, int32_t pos, int32_t end) {
  // [pos, from) holds no line feed: the look back stops at `from`, so a
  // line full of stars is still passed over in one walk.
  int32_t from = pos;
  for (;;) {
    const void* found = std::memchr(buf + from, '*', static_cast<size_t>(end - from));
    if (found == nullptr) return end;
    const auto star = static_cast<int32_t>(static_cast<const char*>(found) - buf);
    int32_t line = star;
    while (line > from && buf[line - 1] != '\n') --line;
    // No line feed between: the star is on the line being passed over.
    if (line > from) return line;
    from = star + 1;
  }
}

void prepare_buffer(ScriptState& s) {
  // One spare byte so the terminating NUL always has a place.
  s.script_buffer = std::make_unique_for_overwrite<char[]>(kScriptBufferSize + 1);
  s.script_buffer[0] = '\0';
  s.script_length = 0;
  s.script_pos = 0;
  s.file_end_table.fill(kMissingFileEnd);
  s.numbered_files = false;
}

}  // namespace

void load_scenario(Engine& e) {
  ScriptState& s = e.script;
  prepare_buffer(s);
  char* buf = s.script_buffer.get();
  int32_t length = 0;

  std::array<std::string, kScenarioFileCount> numbered = find_numbered_files(e.platform);
  if (numbered[0].empty()) {
    // A single file is read straight into the buffer and unscrambled there.
    bool secret = true;
    std::optional<size_t> size =
        read_game_file_into(e.platform, "velm_sec.dat", buf, kScriptBufferSize - 1);
    if (!size) {
      secret = false;
      size = read_game_file_into(e.platform, "velmtxt.dat", buf, kScriptBufferSize - 1);
    }
    if (size) {
      scramble_scenario(buf, *size, secret);
      std::string_view raw(buf, *size);
      std::string decoded;
      decode_scenario_file(e, secret ? "velm_sec.dat" : "velmtxt.dat", raw, decoded);
      // Shift-JIS never takes more bytes than the same text in UTF-8.
      if (raw.data() != buf) std::memcpy(buf, raw.data(), *size = raw.size());
      finish_single_file(e, *size);
      return;
    }
  }
  s.numbered_files = true;
  std::string spill, decoded;
  for (int n = 0; n < kScenarioFileCount; ++n) {
    const std::string& name = numbered[static_cast<size_t>(n)];
    if (name.empty()) continue;  // its end stays kMissingFileEnd
    // Text mode can only shrink a file (CR LF to LF), so twice the room left
    // is all that can matter. A file that fits in the space left is read
    // there and folded in place; a larger one goes through `spill`.
    const size_t room = static_cast<size_t>(kScriptBufferSize - 1 - length);
    const size_t space = static_cast<size_t>(kScriptBufferSize + 1 - length);
    std::optional<size_t> size = read_game_file_into(e.platform, name, buf + length, space);
    if (!size) continue;  // its end stays kMissingFileEnd
    std::string_view raw(buf + length, *size);
    if (*size == space) {
      std::optional<std::string> whole = read_game_file(e.platform, name, 2 * (room + 1) + 2);
      if (!whole) continue;
      spill = std::move(*whole);
      raw = spill;
    }
    decode_scenario_file(e, name, raw, decoded);
    length += static_cast<int32_t>(copy_text_mode(raw, buf + length, room));
    s.file_end_table[static_cast<size_t>(n)] = length;
    buf[length++] = '\n';
    if (length >= kScriptBufferSize) too_long(e);
  }
  buf[length] = '\0';
  s.script_length = length;
}

void load_scenario_from_bytes(Engine& e, std::string_view bytes) {
  prepare_buffer(e.script);
  // Like a single file read up to the buffer's capacity.
  size_t n = std::min(bytes.size(), static_cast<size_t>(kScriptBufferSize - 1));
  if (n != 0) std::memcpy(e.script.script_buffer.get(), bytes.data(), n);
  finish_single_file(e, n);
}

void build_label_table(Engine& e) {
  ScriptState& s = e.script;
  s.label_table.clear();
  s.label_index.clear();
  s.label_count = 0;
  s.label_index.reserve(kMaxLabels);
  const char* buf = s.script_buffer.get();
  // The scan stops at the first NUL: the end, or a NUL inside a file.
  const auto end = static_cast<int32_t>(
      static_cast<const char*>(std::memchr(buf, '\0', static_cast<size_t>(s.script_length) + 1)) -
      buf);
  s.script_pos = 0;
  TokenScratch scratch;
  std::string text;
  for (;;) {
    char c = buf[s.script_pos];
    if (c == ' ' || c == '\t' || c == '\n') {
      ++s.script_pos;
      continue;
    }
    if (c == '\0') break;
    if (c != '*') {
      s.script_pos = next_star_line(buf, s.script_pos, end);
      continue;
    }
    // A star token is lowercase already.
    const std::string_view name = read_label(e, scratch, text);
    if (s.label_index.count(name) != 0) {
      script_error(e, "エラー", error_message("ラベル*%sの多重定義です。", name));
    }
    if (s.label_count == kMaxLabels) {
      script_error(e, "エラー", error_message("ラベルが5000を超えました。"));
    }
    skip_blanks(e);
    if (buf[s.script_pos] == '\n') ++s.script_pos;
    s.label_index.insert(name, s.label_count);
    s.label_table.push_back(Label{s.script_pos, std::string(name)});
    ++s.label_count;
  }
}

void jump_to_label(Engine& e, std::string_view name) {
  // Labels are kept lowercase; a name with capitals is lowered in a copy.
  std::string lowered;
  std::string_view key = name;
  if (std::any_of(name.begin(), name.end(), [](char c) { return c >= 'A' && c <= 'Z'; })) {
    lowered.assign(name);
    lowercase_ascii(lowered);
    key = lowered;
  }
  const int found = e.script.label_index.find(key);
  if (found < 0) script_error(e, "ラベルエラー", error_message("ラベル*%sは存在しません", name));
  const auto index = static_cast<size_t>(found);
  e.script.script_pos = e.script.label_table[index].position;
  if (index < e.script.labels_reached.size()) e.script.labels_reached[index] = true;
}

FileLine locate_position(const Engine& e, int32_t offset) {
  const ScriptState& s = e.script;
  if (s.script_buffer == nullptr) return {0, 1};
  const char* buf = s.script_buffer.get();
  int file = 0, line = 0, saved = 0;
  size_t k = 0;
  if (offset > s.script_length) offset = s.script_length;
  for (int32_t i = 0; i < offset; ++i) {
    if (k < s.file_end_table.size() && i > s.file_end_table[k]) {
      ++k;
      ++file;
      saved = line;
    }
    if (buf[i] == '\n') ++line;
  }
  return {file, line - saved + 1};
}

}  // namespace vellumite
