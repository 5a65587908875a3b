#include "platform/registry_files.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "base/folder_bounds.h"
#include "base/sjis.h"
#include "platform/platform_base.h"

namespace vellumite {
namespace {

namespace fs = std::filesystem;

char lower_ascii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool iequals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (lower_ascii(a[i]) != lower_ascii(b[i])) return false;
  }
  return true;
}

bool istarts_with(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && iequals(text.substr(0, prefix.size()), prefix);
}

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && is_space(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_space(s.back())) s.remove_suffix(1);
  return s;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = lower_ascii(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

void append_utf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

constexpr uint32_t kReplacement = 0xFFFD;

// Writes UTF-16 code units as UTF-8, joining surrogate pairs; a surrogate
// without its partner becomes U+FFFD. Call flush() before appending
// anything else to the output.
class Utf16Writer {
 public:
  explicit Utf16Writer(std::string& out) : out_(out) {}
  void unit(uint32_t u) {
    bool high = u >= 0xD800 && u < 0xDC00;
    bool low = u >= 0xDC00 && u < 0xE000;
    if (low && high_ != 0) {
      append_utf8(out_, 0x10000 + ((high_ - 0xD800) << 10) + (u - 0xDC00));
      high_ = 0;
      return;
    }
    flush();
    if (high) {
      high_ = u;
    } else {
      append_utf8(out_, low ? kReplacement : u);
    }
  }
  void flush() {
    if (high_ != 0) append_utf8(out_, kReplacement);
    high_ = 0;
  }

 private:
  std::string& out_;
  uint32_t high_ = 0;
};

std::string utf16le_to_utf8(std::string_view bytes) {
  std::string out;
  Utf16Writer writer(out);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    writer.unit(static_cast<uint8_t>(bytes[i]) |
                static_cast<uint32_t>(static_cast<uint8_t>(bytes[i + 1])) << 8);
  }
  writer.flush();
  return out;
}

std::string cut_at_nul(std::string text) {
  size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  return text;
}

// Reads text from `s` at `pos` up to the first unescaped `stop` and leaves
// `pos` on it; false when there is no such stop. Backslash escapes: \\, \"
// and any other character stand for themselves; Wine also writes C escapes
// (\n, \t ...), octal escapes (\0) and UTF-16 code units in hex (\x3042).
bool read_escaped(std::string_view s, size_t& pos, char stop, std::string& out) {
  Utf16Writer writer(out);
  while (pos < s.size()) {
    char c = s[pos];
    if (c == stop) {
      writer.flush();
      return true;
    }
    if (c != '\\' || pos + 1 >= s.size()) {
      writer.flush();
      out += c;
      ++pos;
      continue;
    }
    char n = s[pos + 1];
    pos += 2;
    if (n == 'x') {
      uint32_t unit = 0;
      int digits = 0;
      while (digits < 4 && pos < s.size() && hex_digit(s[pos]) >= 0) {
        unit = unit * 16 + static_cast<uint32_t>(hex_digit(s[pos++]));
        ++digits;
      }
      if (digits > 0) {
        writer.unit(unit);
      } else {
        writer.flush();
        out += n;
      }
      continue;
    }
    if (n >= '0' && n <= '7') {
      uint32_t unit = static_cast<uint32_t>(n - '0');
      for (int digits = 1; digits < 3 && pos < s.size() && s[pos] >= '0' && s[pos] <= '7';
           ++digits) {
        unit = unit * 8 + static_cast<uint32_t>(s[pos++] - '0');
      }
      writer.unit(unit);
      continue;
    }
    switch (n) {
      case 'a': writer.unit(7); break;
      case 'b': writer.unit(8); break;
      case 't': writer.unit(9); break;
      case 'n': writer.unit(10); break;
      case 'v': writer.unit(11); break;
      case 'f': writer.unit(12); break;
      case 'r': writer.unit(13); break;
      case 'e': writer.unit(27); break;
      default: writer.flush(); out += n;
    }
  }
  writer.flush();
  return false;
}

// A quoted string at the start of `data`, up to its first NUL.
std::optional<std::string> quoted_text(std::string_view data) {
  if (data.empty() || data[0] != '"') return std::nullopt;
  size_t pos = 1;
  std::string text;
  if (!read_escaped(data, pos, '"', text)) return std::nullopt;
  return cut_at_nul(std::move(text));
}

std::optional<uint32_t> parse_hex32(std::string_view digits) {
  digits = trim(digits);
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  uint32_t value = 0;
  for (char c : digits) {
    int d = hex_digit(c);
    if (d < 0) return std::nullopt;
    value = value * 16 + static_cast<uint32_t>(d);
  }
  return value;
}

// Registry value types as the files number them.
constexpr uint32_t kRegSz = 1, kRegExpandSz = 2, kRegDword = 4, kRegDwordBigEndian = 5,
                   kRegMultiSz = 7;

// The bytes of a hex value as text: strings in the file's character set,
// dwords in decimal, anything else taken as ANSI text.
std::string hex_bytes_as_text(RegFileFormat format, uint32_t type, const std::string& bytes) {
  auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(bytes[i])); };
  if ((type == kRegDword || type == kRegDwordBigEndian) && bytes.size() == 4) {
    uint32_t value = type == kRegDword ? byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24
                                       : byte(3) | byte(2) << 8 | byte(1) << 16 | byte(0) << 24;
    return std::to_string(value);
  }
  bool wide_string = format != RegFileFormat::Regedit4 &&
                     (type == kRegSz || type == kRegExpandSz || type == kRegMultiSz);
  if (wide_string) return cut_at_nul(utf16le_to_utf8(bytes));
  return to_utf8(cut_at_nul(bytes));
}

// hex:01,02 or hex(2):41,00 (`data` behind "hex"), continued on the next
// lines while a line ends with a backslash; `line` moves to the last line
// used.
std::optional<std::string> hex_value(RegFileFormat format, std::string_view data,
                                     const std::vector<std::string_view>& lines, size_t& line) {
  uint32_t type = 3;  // plain binary
  if (!data.empty() && data[0] == '(') {
    size_t close = data.find(')');
    if (close == std::string_view::npos) return std::nullopt;
    std::optional<uint32_t> number = parse_hex32(data.substr(1, close - 1));
    if (!number) return std::nullopt;
    type = *number;
    data.remove_prefix(close + 1);
  }
  if (data.empty() || data[0] != ':') return std::nullopt;
  std::string list(trim(data.substr(1)));
  while (!list.empty() && list.back() == '\\' && line + 1 < lines.size()) {
    list.pop_back();
    list += trim(lines[++line]);
  }
  std::string bytes;
  size_t start = 0;
  while (start < list.size()) {
    size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    std::string_view item = trim(std::string_view(list).substr(start, comma - start));
    start = comma + 1;
    if (item.empty()) continue;
    std::optional<uint32_t> value = parse_hex32(item);
    if (!value || *value > 0xFF) return std::nullopt;
    bytes += static_cast<char>(*value);
  }
  return hex_bytes_as_text(format, type, bytes);
}

// The data of a value line (behind '='); nullopt for a deletion ("-") or
// data that cannot be read as text.
std::optional<std::string> value_data(RegFileFormat format, std::string_view data,
                                      const std::vector<std::string_view>& lines, size_t& line) {
  if (!data.empty() && data[0] == '"') return quoted_text(data);
  if (istarts_with(data, "dword:")) {
    std::optional<uint32_t> value = parse_hex32(data.substr(6));
    if (!value) return std::nullopt;
    return std::to_string(*value);
  }
  if (istarts_with(data, "hex")) return hex_value(format, data.substr(3), lines, line);
  // Wine's typed strings: str(2):"%HOME%", str(7):"a\0b\0".
  if (istarts_with(data, "str(")) {
    size_t close = data.find("):");
    if (close == std::string_view::npos) return std::nullopt;
    return quoted_text(trim(data.substr(close + 2)));
  }
  return std::nullopt;
}

struct SectionHeader {
  std::string path;  // relative to HKEY_CURRENT_USER
  bool deleted = false;
};

// A [section] line; nullopt when it is malformed or not under
// HKEY_CURRENT_USER.
std::optional<SectionHeader> section_header(RegFileFormat format, std::string_view line) {
  SectionHeader header;
  if (format == RegFileFormat::Wine) {
    // [Software\\Vendor\\Game] 1700000000 — escaped, relative to the hive.
    size_t pos = 1;
    if (!read_escaped(line, pos, ']', header.path)) return std::nullopt;
    return header;
  }
  size_t close = line.rfind(']');
  if (close == std::string_view::npos) return std::nullopt;
  std::string_view name = line.substr(1, close - 1);
  if (!name.empty() && name[0] == '-') {
    header.deleted = true;
    name.remove_prefix(1);
  }
  constexpr std::string_view kRoot = "HKEY_CURRENT_USER";
  if (!istarts_with(name, kRoot)) return std::nullopt;
  name.remove_prefix(kRoot.size());
  if (name.empty()) return header;
  if (name[0] != '\\') return std::nullopt;
  header.path = name.substr(1);
  return header;
}

// Whether deleting the key `deleted` removes the key `path` (itself or an
// ancestor).
bool removes_key(std::string_view deleted, std::string_view path) {
  if (deleted.empty()) return true;
  if (iequals(deleted, path)) return true;
  return path.size() > deleted.size() && path[deleted.size()] == '\\' &&
         iequals(path.substr(0, deleted.size()), deleted);
}

std::optional<std::string> read_whole_file(const std::string& path) {
  std::error_code ec;
  if (path.empty() || !fs::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The user hive of the Wine prefix, when there is one.
std::string wine_user_registry() {
  const char* prefix = std::getenv("WINEPREFIX");
  std::string folder;
  if (prefix != nullptr && *prefix != '\0') {
    folder = prefix;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    folder = std::string(home) + "/.wine";
  } else {
    return {};
  }
  return folder + "/user.reg";
}

}  // namespace

RegFile decode_registry_file(std::string_view bytes) {
  RegFile file;
  if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE") {
    file.text = utf16le_to_utf8(bytes.substr(2));
  } else if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    file.text = bytes.substr(3);
  } else if (trim(bytes.substr(0, bytes.find('\n'))) == "REGEDIT4") {
    file.text = to_utf8(bytes);
  } else {
    file.text = bytes;
  }
  std::string_view first = trim(std::string_view(file.text).substr(0, file.text.find('\n')));
  if (first == "REGEDIT4") {
    file.format = RegFileFormat::Regedit4;
  } else if (first.substr(0, 13) == "WINE REGISTRY") {
    file.format = RegFileFormat::Wine;
  } else {
    file.format = RegFileFormat::Regedit5;
  }
  return file;
}

std::optional<std::string> find_registry_value(const RegFile& file, std::string_view key_path,
                                               std::string_view value_name) {
  std::vector<std::string_view> lines = split_lines(file.text);
  std::optional<std::string> result;
  bool in_key = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = trim(lines[i]);
    if (line.empty()) continue;
    if (line[0] == '[') {
      std::optional<SectionHeader> header = section_header(file.format, line);
      in_key = false;
      if (!header) continue;
      if (header->deleted) {
        if (removes_key(header->path, key_path)) result.reset();
      } else {
        in_key = iequals(header->path, key_path);
      }
      continue;
    }
    if (!in_key) continue;
    std::string name;
    size_t pos;
    if (line[0] == '@') {
      pos = 1;
    } else if (line[0] == '"') {
      pos = 1;
      if (!read_escaped(line, pos, '"', name)) continue;
      ++pos;
    } else {
      continue;  // comments, Wine's #time= lines
    }
    if (!iequals(name, value_name)) continue;
    std::string_view rest = trim(line.substr(pos));
    if (rest.empty() || rest[0] != '=') continue;
    result = value_data(file.format, trim(rest.substr(1)), lines, i);
  }
  return result;
}

std::string decode_profile_file(std::string_view bytes) {
  if (bytes.substr(0, 2) == "\xFF\xFE") return utf16le_to_utf8(bytes.substr(2));
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return std::string(bytes.substr(3));
  return to_utf8(bytes);
}

std::optional<std::string> find_profile_string(std::string_view text, std::string_view section,
                                               std::string_view key) {
  bool in_section = false;
  for (std::string_view raw : split_lines(text)) {
    std::string_view line = trim(raw);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      // Only the first section of that name is searched.
      if (in_section) return std::nullopt;
      size_t close = line.rfind(']');
      if (close == std::string_view::npos) continue;
      in_section = iequals(trim(line.substr(1, close - 1)), section);
      continue;
    }
    if (!in_section) continue;
    size_t equals = line.find('=');
    std::string_view name = trim(line.substr(0, equals));
    if (!iequals(name, key)) continue;
    if (equals == std::string_view::npos) return std::string();  // a key without a value
    std::string_view value = trim(line.substr(equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
  }
  return std::nullopt;
}

std::string resolve_path_ignoring_case(std::string_view path) {
  if (path.empty()) return {};
  std::error_code ec;
  fs::path wanted{std::string(path)};
  if (fs::exists(wanted, ec)) return std::string(path);
  fs::path found = wanted.is_absolute() ? wanted.root_path() : fs::path(".");
  for (const fs::path& part : wanted.relative_path()) {
    fs::path next = found / part;
    if (!fs::exists(next, ec)) {
      std::string name = part.string();
      bool matched = false;
      for (fs::directory_iterator it(found, ec), end; !ec && it != end; it.increment(ec)) {
        if (iequals(it->path().filename().string(), name)) {
          next = it->path();
          matched = true;
          break;
        }
      }
      if (!matched) return {};
    }
    found = std::move(next);
  }
  return found.string();
}

std::optional<std::string> PlatformBase::read_registry_value(std::string_view key_path,
                                                             std::string_view value_name) {
  // The game folder's own registry file comes first; Wine's hive is used
  // only when the game brings none.
  std::optional<std::string> bytes;
  std::string local = resolve_path_ignoring_case("registry.reg");
  if (!local.empty()) {
    bytes = read_whole_file(local);
  } else {
    bytes = read_whole_file(wine_user_registry());
  }
  if (!bytes) return std::nullopt;
  return find_registry_value(decode_registry_file(*bytes), key_path, value_name);
}

std::optional<std::string> PlatformBase::read_profile_string(std::string_view file,
                                                             std::string_view section,
                                                             std::string_view key) {
  // Windows names use backslashes between folders; a bare name is taken from
  // the game folder (the current directory).
  std::string name(file);
  for (char& c : name) {
    if (c == '\\') c = '/';
  }
  if (std::string_view why = outside_game_folder(name); !why.empty()) {
    log(name + ": not read, " + std::string(why));
    return std::nullopt;
  }
  std::optional<std::string> bytes = read_whole_file(resolve_path_ignoring_case(name));
  if (!bytes) return std::nullopt;
  return find_profile_string(decode_profile_file(*bytes), section, key);
}

}  // namespace vellumite
