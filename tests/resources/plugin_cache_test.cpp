// The library cache shared by every kind of plug-in, and the archive lookup
// as the resource loaders see it.
#include <gtest/gtest.h>

#include "game/graphics/picture.h"
#include "game/resources/archives.h"
#include "resources/plugins.h"
#include "support/engine_harness.h"
#include "support/game_runner.h"
#include "support/made_files.h"

namespace vellumite::testing {
namespace {

struct CacheHarness : EngineHarness {
  GameDir dir;
  InDir in{dir};
  CacheHarness() {
    e.shell.temp_folder = platform.prepare_temp_folder();
    dir.write_bytes("probe.so", read_file(built_plugin("probe-plugin.so")));
  }
  ~CacheHarness() { unload_plugins(platform, e.plugins); }
  size_t used_slots() const {
    size_t n = 0;
    for (const PluginModule& slot : e.plugins.plugin_modules) n += slot.name.empty() ? 0 : 1;
    return n;
  }
};

TEST(PluginCache, OneLibraryServesTwoKindsInOneSlot) {
  CacheHarness h;
  h.dir.write_bytes("pack.txt", "bg/a.prb\tok 4 4 ff0000\n");
  h.e.plugins.picture_plugins = {"probe.so|prb"};
  h.e.plugins.archive_plugins = {"pack.txt|probe.so"};
  Picture picture;
  EXPECT_EQ(load_picture_file(h.e, picture, "bg/a.prb", false), PictureFile::Loaded);
  EXPECT_EQ(h.used_slots(), 1u);
  EXPECT_EQ(h.e.plugins.plugin_modules[0].name, "probe.so");
  // The archive plug-in was asked with '\' between folders.
  auto last = reinterpret_cast<const char* (*)()>(h.platform.library_symbol(
      get_plugin_module(h.platform, h.e.plugins, "probe.so"), "probe_last_member"));
  ASSERT_NE(last, nullptr);
  EXPECT_STREQ(last(), "bg\\a.prb");
  // The copy was removed once the picture was read.
  EXPECT_EQ(h.platform.path_kind(h.e.shell.temp_folder + "a.prb"), PathKind::None);
}

TEST(PluginCache, ExtractedCopyLiesInTheScratchFolderUnderItsBaseName) {
  CacheHarness h;
  h.dir.write_bytes("pack.txt", "bg/sub/c.txt\thello\n");
  h.e.plugins.archive_plugins = {"nothing.txt|probe.so", "pack.txt|probe.so"};
  std::optional<std::string> path = find_in_archives(h.e, "bg/sub/c.txt");
  ASSERT_TRUE(path);
  EXPECT_EQ(*path, h.e.shell.temp_folder + "c.txt");
  EXPECT_EQ(read_file(*path), "hello");
  EXPECT_TRUE(h.platform.remove_file(*path));
  // Names with no file name of their own are never looked for.
  for (const char* name : {"bg/..", "bg/.", "bg/", ""})
    EXPECT_FALSE(find_in_archives(h.e, name)) << name;
  // Nothing registered: nothing found.
  h.e.plugins.archive_plugins.clear();
  EXPECT_FALSE(find_in_archives(h.e, "bg/sub/c.txt"));
}

TEST(PluginCache, FailedLoadsKeepTheirSlotAndAFullCacheLoadsNothing) {
  CacheHarness h;
  EXPECT_EQ(get_plugin_module(h.platform, h.e.plugins, "missing.spi"), nullptr);
  EXPECT_EQ(h.used_slots(), 1u);
  EXPECT_EQ(get_plugin_module(h.platform, h.e.plugins, "missing.spi"), nullptr);
  EXPECT_EQ(h.used_slots(), 1u);
  for (int i = 1; i < 256; ++i)
    get_plugin_module(h.platform, h.e.plugins, "none" + std::to_string(i) + ".spi");
  EXPECT_EQ(h.used_slots(), 256u);
  EXPECT_EQ(get_plugin_module(h.platform, h.e.plugins, "probe.so"), nullptr);
  unload_plugins(h.platform, h.e.plugins);
  EXPECT_EQ(h.used_slots(), 0u);
  EXPECT_NE(get_plugin_module(h.platform, h.e.plugins, "probe.so"), nullptr);
}

}  // namespace
}  // namespace vellumite::testing
