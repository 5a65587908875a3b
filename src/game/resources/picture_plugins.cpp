#include "game/resources/picture_plugins.h"

#include <vellumite/plugin.h>

#include <memory>
#include <span>

#include "game/engine.h"
#include "graphics/plugin_picture.h"
#include "resources/plugins.h"

namespace vellumite {
namespace {

struct ReleaseBlock {
  void operator()(VellumiteBlock* block) const {
    if (block != nullptr && block->release != nullptr) block->release(block);
  }
};
using BlockPtr = std::unique_ptr<VellumiteBlock, ReleaseBlock>;

std::span<const uint8_t> block_bytes(const BlockPtr& block) {
  if (block == nullptr || block->data == nullptr) return {};
  // A size that does not fit the address space cannot be true.
  if (block->size > SIZE_MAX / 2) return {};
  return {static_cast<const uint8_t*>(block->data), static_cast<size_t>(block->size)};
}

}  // namespace

bool read_with_picture_plugin(Engine& e, Surface& surface, const std::string& path,
                              std::string_view extension, const BmpLimits& limits) {
  free_surface(surface);
  std::optional<std::string> plugin = find_picture_plugin(e.plugins, extension);
  if (!plugin) return false;
  auto get_picture = reinterpret_cast<VellumiteGetPicture>(
      plugin_symbol(e.platform, e.plugins, *plugin, "GetPicture"));
  // A library that cannot be used here (a Windows one) gives way to the
  // program's own plug-in for the types that one reads.
  if (get_picture == nullptr && own_picture_type(extension)) {
    get_picture = reinterpret_cast<VellumiteGetPicture>(
        plugin_symbol(e.platform, e.plugins, kOwnPicturePlugin, "GetPicture"));
  }
  if (get_picture == nullptr) return false;
  VellumiteBlock* info_out = nullptr;
  VellumiteBlock* bits_out = nullptr;
  const int result = get_picture(path.c_str(), 0, 0, &info_out, &bits_out, nullptr, 0);
  BlockPtr info(info_out), bits(bits_out);
  if (result != 0) return true;
  surface_from_plugin_answer(surface, block_bytes(info), block_bytes(bits), limits);
  return true;
}

}  // namespace vellumite
