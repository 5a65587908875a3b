#include "shell/player_settings.h"

#include <algorithm>
#include <charconv>

namespace vellumite {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

// Calls `line(section, key, value, offset, length)` for every key line of
// `text` (the section's name without brackets).
template <typename F>
void each_key(std::string_view text, F&& line) {
  std::string_view section;
  size_t offset = 0;
  while (offset < text.size()) {
    size_t end = text.find('\n', offset);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view content = trim(text.substr(offset, end - offset));
    if (!content.empty() && content.front() == '[' && content.back() == ']') {
      section = content.substr(1, content.size() - 2);
    } else if (const size_t eq = content.find('=');
               eq != std::string_view::npos && content.front() != ';' && content.front() != '#') {
      line(section, trim(content.substr(0, eq)), trim(content.substr(eq + 1)), offset,
           end - offset);
    }
    offset = end + 1;
  }
}

bool to_int(std::string_view value, int& out) {
  auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), out);
  return ec == std::errc{} && ptr == value.data() + value.size() && !value.empty();
}

}  // namespace

void parse_player_settings(std::string_view text, PlayerOptions& options) {
  each_key(text, [&](std::string_view section, std::string_view key, std::string_view value, size_t,
                     size_t) {
    if (section != "player") return;
    int n = 0;
    if (!to_int(value, n)) return;
    if (key == "skip_read_only" && (n == 0 || n == 1)) options.skip_read_only = n == 1;
    if (key == "text_size") options.text_size_percent = std::clamp(n, kTextSizeMin, kTextSizeMax);
  });
}

std::string without_section(std::string_view text, std::string_view section) {
  std::string out;
  bool inside = false;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line =
        text.substr(0, end == std::string_view::npos ? text.size() : end + 1);
    text.remove_prefix(line.size());
    const std::string_view content = trim(line.substr(0, line.find('\n')));
    if (!content.empty() && content.front() == '[' && content.back() == ']') {
      inside = content.substr(1, content.size() - 2) == section;
    }
    if (!inside) out += line;
  }
  return out;
}

std::string set_setting(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value) {
  const std::string line = std::string(key) + '=' + std::string(value);
  // The key's own line, else the end of the section's last line.
  size_t at = std::string_view::npos, length = 0, section_end = std::string_view::npos;
  const std::string header = "[" + std::string(section) + "]";
  if (const size_t h = text.find(header);
      h != std::string_view::npos && (h == 0 || text[h - 1] == '\n')) {
    section_end = text.find('\n', h);
    section_end = section_end == std::string_view::npos ? text.size() : section_end + 1;
  }
  each_key(text, [&](std::string_view s, std::string_view k, std::string_view, size_t offset,
                     size_t size) {
    if (s != section) return;
    const size_t next = std::min(text.size(), offset + size + 1);
    if (section_end != std::string_view::npos && offset >= section_end - 1) section_end = next;
    if (k == key && at == std::string_view::npos) {
      at = offset;
      length = size;
    }
  });
  std::string out(text);
  if (at != std::string_view::npos) return out.replace(at, length, line);
  if (section_end == std::string_view::npos) {
    if (!out.empty() && out.back() != '\n') out += '\n';
    return out + header + '\n' + line + '\n';
  }
  std::string insert = line + '\n';
  if (section_end > 0 && text[section_end - 1] != '\n') insert = '\n' + insert;
  return out.insert(section_end, insert);
}

}  // namespace vellumite
