// Games that register picture, archive and sound-press plug-ins: the probe
// plug-in of the tests, the program's own plug-ins standing in for Windows
// ones, and real PNG, JPEG, GIF pictures and ZIP, 7z and tar archives
// written by their libraries.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "base/sjis.h"
#include "support/game_runner.h"
#include "support/made_files.h"
#include "support/pixels.h"
#include "support/sound_files.h"

namespace vellumite::testing {
namespace {

// A game folder with the probe plug-in and a stand-in for a Windows
// library, which cannot be loaded here.
struct PluginGame {
  GameDir dir;
  PluginGame() {
    dir.write_bytes("probe.so", read_file(built_plugin("probe-plugin.so")));
    dir.write_bytes("windows.spi", std::string("MZ\x90\0\3\0\0\0", 8) + std::string(200, '\0'));
  }
  // Shows `file` as sprite 1 at the top left (opaque) and ends.
  RunResult show(std::string_view define, std::string_view file) {
    std::string body = "lsp 1,\":c;" + std::string(file) + "\",0,0\nprint 1\nend\n";
    dir.write_text("0.txt", game_script(body, define));
    return run_game(dir);
  }
};

TEST(PluginGames, ProbePictureCases) {
  struct Case {
    const char* define;
    const char* picture;  // the content of a.prb
    uint32_t rgb;         // at (1,1), or 0 with
    const char* error;    // the fatal error, or ""
  } cases[] = {
      // Registrations are stored lower-cased, and the extension matches so.
      {"spi \"PROBE.SO|PRB\"", "ok 8 8 ff0000", 0xff0000, ""},
      {"spi \"probe.so|prb\"", "fail", 0, "エラー|ロード失敗!"},
      // Answers that disagree with themselves are failures to load (more in
      // plugin_answer_test.cpp).
      {"spi \"probe.so|prb\"", "short", 0, "エラー|ロード失敗!"},
      {"spi \"probe.so|prb\"", "count", 0, "エラー|ロード失敗!"},
      {"spi \"probe.so|prb\"", "nobits", 0, "エラー|ロード失敗!"},
      // No plug-in for the type, or one that cannot be loaded and that ours
      // does not stand in for: the picture stays empty, silently.
      {"spi \"probe.so|xyz\"", "ok 8 8 ff0000", 0, ""},
      {"spi \"windows.spi|prb\"", "ok 8 8 ff0000", 0, ""},
      {"spi \"missing.spi|prb\"", "ok 8 8 ff0000", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.define) + " / " + c.picture);
    PluginGame game;
    game.dir.write_bytes("a.prb", c.picture);
    RunResult r = game.show(c.define, "a.prb");
    if (*c.error != '\0') {
      EXPECT_EQ(only_error(r), c.error);
    } else {
      EXPECT_EQ(r.exit_code, 0);
      EXPECT_EQ(window_rgb(r.pixels.data(), 1, 1), c.rgb);
    }
  }
}

// Pictures in the types the program's own plug-in reads load through it
// when the registered library is a Windows one; inside archives read
// through the program's own archive plug-in as well.
TEST(PluginGames, OwnPluginsStandInForWindowsOnes) {
  struct Case {
    const char* type;
    std::string bytes;
  } pictures[] = {
      {"png", png_file(8, 8, 0x20c040)},
      {"jpg", jpeg_file(8, 8, 0x20c040)},
      {"gif", gif_file(8, 8, 0x20c040)},
  };
  for (const Case& c : pictures) {
    SCOPED_TRACE(c.type);
    PluginGame game;
    const std::string define = std::string("spi \"windows.spi|") + c.type + "\"";
    game.dir.write_bytes(std::string("pic.") + c.type, c.bytes);
    RunResult r = game.show(define, std::string("PIC.") + c.type);
    EXPECT_EQ(r.exit_code, 0);
    // JPEG is lossy: close is enough.
    const uint32_t got = window_rgb(r.pixels.data(), 1, 1);
    for (int shift : {0, 8, 16}) {
      EXPECT_NEAR(static_cast<int>(got >> shift & 0xFF), static_cast<int>(0x20c040 >> shift & 0xFF),
                  3);
    }
  }
  // Shift-JIS member names in a ZIP; ASCII ones in 7z and tar.
  struct Archive {
    const char* format;
    const char* member;  // UTF-8, stored as Shift-JIS
  } archives[] = {{"zip", "画像/赤.png"}, {"7zip", "bg/red.png"}, {"pax", "bg/red.png"}};
  for (const Archive& a : archives) {
    SCOPED_TRACE(a.format);
    PluginGame game;
    game.dir.write_bytes("data.arc",
                         archive_file(a.format, {{to_sjis(a.member), png_file(4, 4, 0xff0000)}}));
    std::string request = a.member;
    request.replace(request.find('/'), 1, "\\");
    RunResult r = game.show("spi \"windows.spi|png\"\narc \"DATA.ARC|windows.spi\"", request);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(window_rgb(r.pixels.data(), 1, 1), 0xff0000u);
    EXPECT_EQ(r.events("extract").size(), 1u);
  }
}

TEST(PluginGames, FirstArchiveHoldingTheMemberWins) {
  PluginGame game;
  game.dir.write_bytes("a.prb", "ok 8 8 ff0000");
  game.dir.write_bytes("one.txt", "other.prb\tok 8 8 0000ff\n");
  game.dir.write_bytes("two.txt", "bg/b.prb\tok 8 8 00ff00\n");
  game.dir.write_bytes("three.txt", "BG/B.PRB\tok 8 8 0000ff\n");
  RunResult r = game.show(
      "spi \"probe.so|prb\"\narc \"one.txt|probe.so\"\narc \"two.txt|probe.so\"\n"
      "arc \"three.txt|probe.so\"",
      "bg/b.prb");
  EXPECT_EQ(window_rgb(r.pixels.data(), 1, 1), 0x00ff00u);
  ASSERT_EQ(r.events("extract").size(), 1u);
  EXPECT_EQ(r.events("extract")[0], "\"bg/b.prb\" \"two.txt\"");
}

// A member whose name climbs out of the folder is still written inside the
// scratch folder, under its base name, and nowhere else.
TEST(PluginGames, MemberNamesStayInsideTheScratchFolder) {
  PluginGame game;
  const std::string escape = "vellumite-escape-probe.png";
  game.dir.write_bytes("data.zip",
                       archive_file("zip", {{"../../" + escape, png_file(4, 4, 0x0000ff)}}));
  RunResult r = game.show("spi \"windows.spi|png\"\narc \"data.zip|vellumite-archive.so\"",
                          "../../" + escape);
  EXPECT_EQ(window_rgb(r.pixels.data(), 1, 1), 0x0000ffu);
  const std::filesystem::path scratch = std::filesystem::temp_directory_path();
  for (const auto& outside : {game.dir.path() / ".." / ".." / escape, scratch / escape,
                              scratch / ("vellumite-" + std::to_string(getuid())) / escape}) {
    EXPECT_FALSE(std::filesystem::exists(outside)) << outside;
  }
}

// Sounds of every player come out of archives; a packed type is expanded
// by its sound-press plug-in first, from the game folder or an archive.
TEST(PluginGames, SoundsFromArchivesAndSoundPressPlugins) {
  PluginGame game;
  const std::string wave = wave_file(22050, 1, 16, 100);
  game.dir.write_bytes("beep.pcm", wave);
  game.dir.write_bytes(
      "sounds.zip",
      archive_file("zip", {{"se/boop.pcm", wave},
                           {"se/plain.wav", wave},
                           {"bgm/song.mid", midi_file(200)},
                           {"bgm/vlm-archived.mp3", encoded_file("mp3", 44100, 300)}}));
  game.dir.write_text(
      "0.txt", game_script("wave \"beep.pcm\"\nwave \"se/boop.pcm\"\nwave \"SE/PLAIN.WAV\"\n"
                           "play \"bgm/song.mid\"\nmp3 \"bgm/vlm-archived.mp3\"\nwait 100\nend\n",
                           "soundpressplgin \"probe.so|pcm\"\n"
                           "arc \"sounds.zip|vellumite-archive.so\""));
  RunResult r = run_game(game.dir);
  std::vector<std::string> starts;
  for (const std::string& line : r.events("audio")) {
    if (line.find(" start ") != std::string::npos)
      starts.push_back(line.substr(0, line.find(" loop")));
  }
  const std::vector<std::string> expected = {
      "wave start \"beep.pcm\"", "wave start \"se/boop.pcm\"", "wave start \"SE/PLAIN.WAV\"",
      "midi start \"bgm/song.mid\"", "mp3 start \"bgm/vlm-archived.mp3\""};
  EXPECT_EQ(starts, expected) << r.trace;
  // The MP3's copy stayed while it played and went at its stop; every other
  // copy went at once.
  const auto scratch =
      std::filesystem::temp_directory_path() / ("vellumite-" + std::to_string(getuid())) / "Velm";
  for (const char* copy : {"vlm-archived.mp3", "Velmtmp.wav"}) {
    EXPECT_FALSE(std::filesystem::exists(scratch / copy)) << copy;
  }
}

// The example plug-in of docs/PLUGINS.md, as an author would install it.
TEST(PluginGames, ExamplePluginLoads) {
  PluginGame game;
  game.dir.write_bytes("solid-picture.so", read_file(built_plugin("example-solid-picture.so")));
  game.dir.write_bytes("block.sld", "16 16 336699\n");
  RunResult r = game.show("spi \"solid-picture.so|sld\"", "block.sld");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(window_rgb(r.pixels.data(), 1, 1), 0x336699u);
}

}  // namespace
}  // namespace vellumite::testing
