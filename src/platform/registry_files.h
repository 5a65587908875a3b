// The registry and profile (ini) files the games read settings from, kept
// as text files on this platform: a registry export (REGEDIT4 or version
// 5.00) named registry.reg in the game folder, or Wine's user.reg, and ini
// files in the game folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/backend_only.h"

namespace vellumite {

enum class RegFileFormat {
  Regedit4,  // "REGEDIT4", ANSI (Shift-JIS); sections [HKEY_CURRENT_USER\...]
  Regedit5,  // "Windows Registry Editor Version 5.00", UTF-16LE with a BOM
  Wine,      // "WINE REGISTRY Version 2": sections relative to the hive, escaped
};

struct RegFile {
  RegFileFormat format = RegFileFormat::Regedit5;
  std::string text;  // UTF-8
};

// Decodes a registry file's bytes (a UTF-16LE or UTF-8 byte order mark, or
// Shift-JIS for REGEDIT4) and recognises its format by the first line. A
// file without a known first line is read like a version 5.00 export.
RegFile decode_registry_file(std::string_view bytes);

// The value `value_name` (empty: the default value, written @) of the key
// HKEY_CURRENT_USER\`key_path`, as UTF-8 text: strings up to their first NUL,
// dwords in decimal. Key and value names are compared without regard to
// ASCII case; when the file sets a value more than once the last one counts.
// Nullopt when the key or the value is missing.
std::optional<std::string> find_registry_value(const RegFile& file, std::string_view key_path,
                                               std::string_view value_name);

// Decodes a profile file: UTF-16LE or UTF-8 with a byte order mark, else
// Shift-JIS.
std::string decode_profile_file(std::string_view bytes);

// The value of `key` in the first section named `section` of profile text,
// by the Windows rules: names compared without regard to ASCII case, blanks
// around keys and values trimmed, one pair of surrounding quotes (single or
// double) removed, ';' comment lines ignored, the first matching key wins.
std::optional<std::string> find_profile_string(std::string_view text, std::string_view section,
                                               std::string_view key);

// `path` ('/' between folders) when it exists, else the existing path whose
// components equal it without regard to ASCII case; empty when there is none.
std::string resolve_path_ignoring_case(std::string_view path);

}  // namespace vellumite
