// The picture commands as a scenario uses them: headless games whose window
// is checked at chosen pixels, and the errors they report.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "graphics/bmp.h"
#include "graphics/picture.h"
#include "support/game_runner.h"

namespace vellumite::testing {
namespace {

using Bgr = std::array<int, 3>;

const Bgr kBlack{0, 0, 0};
const Bgr kWhite{255, 255, 255};
const Bgr kRed{0, 0, 255};
const Bgr kGreen{0, 255, 0};
const Bgr kBlue{255, 0, 0};

// A one-colour 24-bit BMP file.
std::string bmp(int w, int h, Bgr c) {
  Picture p;
  create_blank(p, w, h, 24);
  fill_picture(p, 0, 0, w, h, static_cast<uint32_t>(c[0] << 16 | c[1] << 8 | c[2]));
  return encode_bmp(p.surface);
}

Bgr px(const RunResult& r, int x, int y) {
  const uint8_t* p = r.pixels.data() + static_cast<size_t>(479 - y) * 1920 + x * 3;
  return {p[0], p[1], p[2]};
}

// The first line of the only message box: "title|message".
std::string box(const RunResult& r) {
  const std::vector<std::string> boxes = r.boxes();
  if (boxes.size() != 1) return "no single box";
  return boxes[0].substr(0, boxes[0].find('\n'));
}

// A game folder with a few pictures: s.bmp 20x20 red, p.bmp 200x400 green,
// q.bmp 200x400 blue, half.bmp 320x240 green.
class Scene : public ::testing::Test {
 protected:
  Scene() {
    dir_.write_bytes("s.bmp", bmp(20, 20, kRed));
    dir_.write_bytes("p.bmp", bmp(200, 400, kGreen));
    dir_.write_bytes("q.bmp", bmp(200, 400, kBlue));
    dir_.write_bytes("half.bmp", bmp(320, 240, kGreen));
  }
  RunResult run(std::string_view game, std::string_view define = "") {
    std::string text = "*define\n";
    text += define;
    text += "game\n*start\n";
    text += game;
    text += "end\n";
    dir_.write_text("0.txt", text);
    return run_game(dir_);
  }
  GameDir dir_;
};

TEST_F(Scene, BgColoursAndWords) {
  RunResult r = run("bg #ff0000,1\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(px(r, 0, 0), kRed);
  EXPECT_EQ(px(r, 639, 479), kRed);
  r = run("bg #00Ff00,1\n");
  EXPECT_EQ(px(r, 320, 240), kGreen);
  r = run("bg WHITE,1\n");
  EXPECT_EQ(px(r, 10, 470), kWhite);
  r = run("bg white,1\nbg black,1\n");
  EXPECT_EQ(px(r, 10, 470), kBlack);
  // A word that is no colour is read as a string: here a string alias.
  r = run("bg pic,1\n", "stralias pic,\"half.bmp\"\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(px(r, 160, 120), kGreen);
  // Effect 0 keeps it pending; print 1 shows it.
  r = run("bg white,0\n");
  EXPECT_EQ(px(r, 10, 10), kBlack);
  r = run("bg white,0\nprint 1\n");
  EXPECT_EQ(px(r, 10, 10), kWhite);
}

TEST_F(Scene, BgPictureIsCentredAndRemovesStandingPictures) {
  RunResult r =
      run("ld c,\":c;p.bmp\",1\n"
          "lsp 0,\":c;s.bmp\",0,0\n"
          "bg \"half.bmp\",1\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(px(r, 160, 120), kGreen);
  EXPECT_EQ(px(r, 479, 359), kGreen);
  EXPECT_EQ(px(r, 159, 120), kBlack);
  EXPECT_EQ(px(r, 160, 119), kBlack);
  EXPECT_EQ(px(r, 480, 359), kBlack);
  EXPECT_EQ(px(r, 479, 360), kBlack);
  EXPECT_EQ(px(r, 320, 400), kBlack);  // the standing picture is gone
  EXPECT_EQ(px(r, 5, 5), kRed);        // the sprite stays
}

TEST_F(Scene, StandingPicturesStandOnTheUnderline) {
  RunResult r =
      run("ld l,\":c;p.bmp\",1\n"
          "ld c,\":c;q.bmp\",1\n"
          "ld r,\":c;p.bmp\",1\n");
  EXPECT_EQ(px(r, 60, 80), kGreen);
  EXPECT_EQ(px(r, 59, 80), kBlack);
  EXPECT_EQ(px(r, 60, 79), kBlack);
  EXPECT_EQ(px(r, 219, 479), kGreen);
  EXPECT_EQ(px(r, 220, 80), kBlue);  // the centre is drawn over the left
  EXPECT_EQ(px(r, 379, 479), kBlue);
  EXPECT_EQ(px(r, 380, 80), kGreen);  // and the right over the centre
  EXPECT_EQ(px(r, 579, 479), kGreen);
  EXPECT_EQ(px(r, 580, 479), kBlack);

  r = run("ld l,\":c;p.bmp\",1\n", "underline 400\n");
  EXPECT_EQ(px(r, 60, 0), kGreen);
  EXPECT_EQ(px(r, 60, 399), kGreen);
  EXPECT_EQ(px(r, 60, 400), kBlack);

  // cl clears one position, or all with a.
  r = run("ld l,\":c;p.bmp\",1\nld r,\":c;q.bmp\",1\ncl r,1\n");
  EXPECT_EQ(px(r, 100, 100), kGreen);
  EXPECT_EQ(px(r, 500, 100), kBlack);
  r = run("ld l,\":c;p.bmp\",1\nld c,\":c;q.bmp\",1\nld r,\":c;p.bmp\",1\ncl a,1\n");
  for (int x : {100, 320, 500}) EXPECT_EQ(px(r, x, 300), kBlack) << x;
  // A letter that names no position changes nothing.
  r = run("ld l,\":c;p.bmp\",1\ncl x,1\n");
  EXPECT_EQ(px(r, 100, 100), kGreen);
}

TEST_F(Scene, TalBlendsUntilTheNextLd) {
  RunResult r = run("bg white,1\nld c,\":c;q.bmp\",1\ntal c,128,1\n");
  const int light = blend_table()[255][127];  // white behind, 128 of blue
  EXPECT_EQ(px(r, 320, 300), (Bgr{255, light, light}));
  r = run("bg white,1\nld c,\":c;q.bmp\",1\ntal c,300,1\n");
  EXPECT_EQ(px(r, 320, 300), kBlue);
  r = run("bg white,1\nld c,\":c;q.bmp\",1\ntal c,-9,1\n");
  EXPECT_EQ(px(r, 320, 300), kWhite);
  r = run("bg white,1\nld c,\":c;q.bmp\",1\ntal c,0,1\nld c,\":c;q.bmp\",1\n");
  EXPECT_EQ(px(r, 320, 300), kBlue);
}

TEST_F(Scene, SpritesWaitForTheNextEffect) {
  // lsp and csp before an effect: both areas were marked, the sprite is gone.
  RunResult r = run("bg white,1\nlsp 5,\":c;s.bmp\",10,10\ncsp 5\nprint 1\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(px(r, 15, 15), kWhite);
  r = run("lsp 5,\":c;s.bmp\",10,10\n");
  EXPECT_EQ(px(r, 15, 15), kBlack);  // no effect yet
  r = run("lsp 5,\":c;s.bmp\",10,10\nprint 1\n");
  EXPECT_EQ(px(r, 15, 15), kRed);
  EXPECT_EQ(px(r, 30, 15), kBlack);
  // Without a mode letter the default leftup mode makes the one-colour
  // picture transparent; transmode copy makes it opaque.
  r = run("lsp 5,\"s.bmp\",10,10\nprint 1\n");
  EXPECT_EQ(px(r, 15, 15), kBlack);
  r = run("lsp 5,\"s.bmp\",10,10\nprint 1\n", "transmode copy\n");
  EXPECT_EQ(px(r, 15, 15), kRed);
  // csp -1 without sprites changes nothing; with sprites it removes them.
  r = run("bg white,1\ncsp -1\nprint 1\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(px(r, 0, 0), kWhite);
  r = run("lsp 1,\":c;s.bmp\",0,0\nlsp 2,\":c;s.bmp\",100,0\nprint 1\ncsp -1\nprint 1\n");
  EXPECT_EQ(px(r, 5, 5), kBlack);
  EXPECT_EQ(px(r, 105, 5), kBlack);
}

TEST_F(Scene, HiddenSpritesAndVsp) {
  RunResult r = run("lsph 7,\":c;s.bmp\",0,0\nprint 1\n");
  EXPECT_EQ(px(r, 5, 5), kBlack);
  r = run("lsph 7,\":c;s.bmp\",0,0\nprint 1\nvsp 7,1\nprint 1\n");
  EXPECT_EQ(px(r, 5, 5), kRed);
  r = run("lsp 7,\":c;s.bmp\",0,0\nprint 1\nvsp 7,0\nprint 1\n");
  EXPECT_EQ(px(r, 5, 5), kBlack);
}

TEST_F(Scene, MspMovesAndChangesOpacity) {
  RunResult r = run("lsp 0,\":c;s.bmp\",0,0\nmsp 0,100,50\nprint 1\n");
  EXPECT_EQ(px(r, 105, 55), kRed);
  EXPECT_EQ(px(r, 5, 5), kBlack);
  r = run("lsp 0,\":c;s.bmp\",0,0\nmsp 0,0,0,-55\nprint 1\n");
  EXPECT_EQ(px(r, 5, 5), (Bgr{0, 0, 200}));
  r = run("lsp 0,\":c;s.bmp\",0,0\nmsp 0,0,0,10\nprint 1\n");
  EXPECT_EQ(px(r, 5, 5), kRed);
  r = run("lsp 0,\":c;s.bmp\",0,0,100\nmsp 0,0,0,-300\nprint 1\n");
  EXPECT_EQ(px(r, 5, 5), kBlack);
  // lsp's own opacity is held to 0..255 as well.
  r = run("lsp 0,\":c;s.bmp\",0,0,300\nprint 1\n");
  EXPECT_EQ(px(r, 5, 5), kRed);
  r = run("lsp 0,\":c;s.bmp\",0,0,-5\nprint 1\n");
  EXPECT_EQ(px(r, 5, 5), kBlack);
  r = run("lsp 0,\":c;s.bmp\",0,0, 100\nprint 1\n");
  EXPECT_EQ(px(r, 5, 5), (Bgr{0, 0, 100}));
}

TEST_F(Scene, SpriteNumbersAreChecked) {
  const struct {
    const char* game;
    const char* message;
  } cases[] = {
      {"lsp 256,\"s.bmp\",0,0\n", "定義されていないスプライト256を使おうとしました。"},
      {"lsph -1,\"s.bmp\",0,0\n", "定義されていないスプライト-1を使おうとしました。"},
      {"csp 256\n", "定義されていないスプライト256を使おうとしました。"},
      {"csp -2\n", "定義されていないスプライト-2を使おうとしました。"},
      {"vsp 300,1\n", "定義されていないスプライト300を使おうとしました。"},
      {"msp -1,0,0\n", "定義されていないスプライト-1を使おうとしました。"},
      {"vsp 3,1\n", "定義されていないスプライト3を使おうとしました。"},
      {"lsp 3,\"s.bmp\",0,0\ncsp 3\nmsp 3,1,1\n",
       "定義されていないスプライト3を使おうとしました。"},
  };
  for (const auto& c : cases) {
    RunResult r = run(c.game);
    EXPECT_EQ(r.exit_code, 2) << c.game;
    EXPECT_EQ(box(r), std::string("エラー|") + c.message) << c.game;
  }
  // An undefined sprite in range is ignored by csp.
  EXPECT_EQ(run("csp 200\n").exit_code, 0);
}

TEST_F(Scene, SceneCommandErrors) {
  for (const char* define : {"humanz 256\n", "humanz -1\n"}) {
    RunResult r = run("", define);
    EXPECT_EQ(box(r), "エラー|humanz指定が範囲外です。") << define;
  }
  EXPECT_EQ(run("", "humanz 0\nhumanz 255\n").exit_code, 0);
  const std::string monocro =
      "構文エラー|monocro命令の次は#rrggbbで色指定、もしくは、offでモノクロ指定を解除、です。";
  for (const char* game : {"monocro on\n", "monocro 5\n", "monocro offx\n", "monocro\n"}) {
    EXPECT_EQ(box(run(game)), monocro) << game;
  }
  EXPECT_EQ(box(run("", "bgalia 1,2 3,4\n")),
            "構文エラー|コンマが必要なところにコンマが有りません。");
}

TEST_F(Scene, FiltersThroughTheCommands) {
  RunResult r = run("bg white,1\nnega 1\nmonocro #ff0000\nprint 1\n");
  EXPECT_EQ(px(r, 100, 100), kBlack);
  r = run("bg white,1\nnega 2\nmonocro #FF0000\nprint 1\n");
  EXPECT_EQ(px(r, 100, 100), (Bgr{255, 255, 0}));
  r = run("bg white,1\nnega 2\nmonocro #ff0000\nprint 1\nmonocro OFF\nnega 0\nprint 1\n");
  EXPECT_EQ(px(r, 100, 100), kWhite);
  // Without an effect the filter stays invisible.
  r = run("bg white,1\nnega 1\n");
  EXPECT_EQ(px(r, 100, 100), kWhite);
}

TEST_F(Scene, BgaliaAreaAndModeSaya) {
  RunResult r = run("bg #ff0000,1\n", "bgalia 100,50,320,240\nmode_saya\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(px(r, 100, 50), kRed);
  EXPECT_EQ(px(r, 419, 289), kRed);
  EXPECT_EQ(px(r, 99, 50), kBlack);
  EXPECT_EQ(px(r, 420, 289), kBlack);
  EXPECT_EQ(px(r, 100, 290), kBlack);
  EXPECT_EQ(px(r, 100, 49), kBlack);
}

TEST_F(Scene, ResetEmptiesTheSceneAndKeepsTheSettings) {
  // After a reset the second pass finds a black screen and no sprite 0; the
  // humanz of the define block still holds.
  RunResult r =
      run("inc %200\n"
          "if %200=1 bg white,1:lsp 0,\":c;s.bmp\",0,0:print 1:reset\n"
          "lsp 1,\":c;s.bmp\",50,50\nprint 1\n",
          "humanz 0\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(px(r, 5, 5), kBlack);
  EXPECT_EQ(px(r, 300, 300), kBlack);
  EXPECT_EQ(px(r, 55, 55), kRed);
}

}  // namespace
}  // namespace vellumite::testing
