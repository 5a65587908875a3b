#include "platform/platform_base.h"

namespace vellumite {

std::optional<std::string> PlatformBase::read_registry_value(std::string_view, std::string_view) {
  return std::nullopt;
}

std::optional<std::string> PlatformBase::read_profile_string(std::string_view, std::string_view,
                                                             std::string_view) {
  return std::nullopt;
}

}  // namespace vellumite
