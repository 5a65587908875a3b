// Feeds arbitrary bytes to the registry and profile readers, as a game's
// registry.reg or ini file, and looks up a few names the input itself
// suggests as well as fixed ones.
#include "platform/registry_files.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vellumite;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // The first bytes, split at the first NUL, also serve as names to look up.
  const std::string_view head = bytes.substr(0, 32);
  const size_t cut = head.find('\0');
  const std::string_view first = head.substr(0, cut);
  const std::string_view second = cut == std::string_view::npos ? head : head.substr(cut + 1);

  const RegFile reg = decode_registry_file(bytes);
  for (std::string_view key : {std::string_view("Software\\Game"), first}) {
    (void)find_registry_value(reg, key, "");
    (void)find_registry_value(reg, key, second);
  }
  const std::string profile = decode_profile_file(bytes);
  for (std::string_view section : {std::string_view("game"), first}) {
    (void)find_profile_string(profile, section, "key");
    (void)find_profile_string(profile, section, second);
  }
  return 0;
}
