// The interpreter loop, the scenario files and the error report, observed
// through the headless runner.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "script/labels.h"
#include "support/game_runner.h"
#include "text/sjis.h"

namespace vellumite::testing {
namespace {

using Texts = std::vector<std::string>;

std::string game(const std::string& body) { return "*define\ngame\n*start\n" + body; }

// The whole report of the only message box, without title and answer.
std::string report(const RunResult& r) {
  std::vector<std::string> boxes = r.boxes();
  if (boxes.size() != 1) return "";
  const std::string& box = boxes[0];
  size_t start = box.find('|') + 1;
  return box.substr(start, box.rfind('|') - start);
}

// Shift-JIS scenario bytes stored the way the single-file formats keep them.
std::string scrambled(std::string bytes, bool secret) {
  for (size_t i = 0; i < bytes.size(); ++i) {
    unsigned char key = secret ? kSecretKey[i % 5] : kPlainKey;
    bytes[i] = static_cast<char>(static_cast<unsigned char>(bytes[i]) ^ key);
  }
  return bytes;
}

constexpr size_t kBufferBytes = 5242880;

// A runnable scenario in Shift-JIS, padded with a comment line to exactly
// `size` bytes.
std::string padded_scenario(size_t size) {
  std::string s = to_sjis("*define\ngame\n*start\n入った\nend\n;");
  s.resize(size, 'x');
  return s;
}

TEST(Interp, StatementsAreSeparatedByColonsBlanksAndLines) {
  RunResult r =
      run_scenario(game("mov %0,1:mov %1,2\n"
                        "mov %2,3 mov %3,4\n"
                        "mov %4,5\n"
                        "\tMOV %5,6\t:  Mov %6,7;mov %7,8\n"
                        "mov %8,9;\n"
                        "end\n"));
  EXPECT_EQ(r.exit_code, 0);
  for (int i = 0; i <= 6; ++i) EXPECT_EQ(r.num(i), i + 1) << i;
  EXPECT_EQ(r.num(7), 0);  // in a comment
  EXPECT_EQ(r.num(8), 9);
}

TEST(Interp, LabelAndCommentLinesAreSkipped) {
  RunResult r =
      run_scenario(game("一\n"
                        "*middle\n"
                        "*another 壊\n"
                        "; 壊\n"
                        "  ;goto *nowhere\n"
                        "二：三;四\n"
                        "end\n"));
  EXPECT_EQ(r.exit_code, 0);
  // A text line keeps colons and semicolons.
  EXPECT_EQ(r.texts(), (Texts{"一", "二：三;四"}));
}

TEST(Interp, DefineBlockTakesNoText) {
  const std::string wrong = "定義ブロックエラー|*defineブロックには、表示文はおけません。";
  EXPECT_EQ(only_error(run_scenario("*define\nこんにちは\ngame\n*start\nend\n")), wrong);
  EXPECT_EQ(only_error(run_scenario("*define\n　　\ngame\n*start\nend\n")), wrong);
  EXPECT_EQ(only_error(run_scenario("*define\n%0\ngame\n*start\nend\n")), wrong);
}

TEST(Interp, CommandsOfTheOtherPhaseAreUnknown) {
  EXPECT_EQ(only_error(run_scenario(game("numalias five,5\nend\n"))),
            "構文エラー|不正な命令\"numalias\"です。");
  EXPECT_EQ(only_error(run_scenario("*define\nselect \"a\",*a\ngame\n*start\nend\n")),
            "構文エラー|不正な命令\"select\"です。");
  EXPECT_EQ(only_error(run_scenario(game("Frobnicate 1\nend\n"))),
            "構文エラー|不正な命令\"frobnicate\"です。");
}

TEST(Interp, TextLinesSubstituteVariables) {
  RunResult r =
      run_scenario(game("%5円\n"
                        "mov %5,-12\n"
                        "%5円\n"
                        "%5 円\n"
                        "mov %6,2147483647:mov %7,-2147483648\n"
                        "%6・%7\n"
                        "mov $0,\"名前\"\n"
                        "$0さん\n"
                        "!w%5と!s%5\n"
                        "end\n"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.texts(),
            (Texts{"０円", "－１２円", "－１２円", "２１４７４８３６４７・－２１４７４８３６４８",
                   "名前さん", "!w%5と!s%5"}));
}

TEST(Interp, EndOfScenarioIsFatal) {
  RunResult r = run_scenario(game("最後"));
  EXPECT_EQ(only_error(r), "スクリプトエラー|ファイルの終端に達しました。");
  EXPECT_EQ(r.texts(), Texts{"最後"});
}

TEST(Interp, ResetClearsLocalVariablesOnly) {
  RunResult r =
      run_scenario(game("if %200==1 goto *after\n"
                        "mov %0,5:mov %199,6:mov %200,1:mov %201,7\n"
                        "mov $0,\"a\":mov $199,\"b\":mov $200,\"c\"\n"
                        "reset\n"
                        "*after\n"
                        "%0・%199・%200・%201・$0・$199・$200\n"
                        "end\n"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.texts(), Texts{"０・０・１・７・・・c"});
}

TEST(Interp, DefineresetRunsTheDefineBlockAgain) {
  // Each round shows the value the define block gave %300 and then clears
  // it; the click of the third millisecond ends the second round.
  RunResult r = run_scenario(
      "*define\n"
      "mov %300,7\n"
      "game\n"
      "*start\n"
      "textspeed 0\n"
      "回%300\n"
      "mov %300,0\n"
      "trap *stop\n" +
          std::string(1000 / HeadlessPlatform::kYieldMicros * 2, '\n') +
          "definereset\n"
          "*stop\n"
          "止\n"
          "end\n",
      RunOptions{"@3 click 10 10\n"});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.texts(), (Texts{"回７", "回７", "止"}));
}

TEST(Interp, ErrorReportShowsThePlaceAndItsLines) {
  RunResult third = run_scenario("*define\ncaption \"x\"\nfoo 1\ngame\n*start\nend\n");
  EXPECT_EQ(report(third),
            "不正な命令\"foo\"です。\n\n0.txt line:3\n*define\n|caption \"x\"\n>foo ");

  RunResult fourth = run_scenario("*define\ncaption \"x\"\ncaption \"y\"\nfoo\ngame\n");
  EXPECT_EQ(report(fourth),
            "不正な命令\"foo\"です。\n\n0.txt line:4\n\n|caption \"x\"\n|caption \"y\"\n>foo");
}

TEST(Interp, ErrorsNameTheNumberedFileByItsPlace) {
  // A missing number stops the count: 2.txt after 0.txt is reported as 1.
  GameDir gap;
  gap.write_text("0.txt", "*define\ngame\n*start\ngoto *two\n");
  gap.write_text("2.txt", "*two\n二\nfoo\n");
  RunResult r = run_game(gap);
  EXPECT_EQ(only_error(r), "構文エラー|不正な命令\"foo\"です。");
  EXPECT_EQ(error_place(r), "1.txt line:3");
  EXPECT_EQ(r.texts(), Texts{"二"});

  GameDir alone;
  alone.write_text("1.txt", "*define\ngame\n*start\nfoo\n");
  EXPECT_EQ(error_place(run_game(alone)), "0.txt line:4");
}

TEST(Interp, ScenarioSources) {
  const char* plain = "*define\ngame\n*start\n平文\nend\n";
  const char* secret = "*define\ngame\n*start\n秘密\nend\n";

  GameDir both;
  both.write_text("0.txt", "*define\ngame\n*start\n番号\nend\n");
  both.write_bytes("velmtxt.dat", scrambled(to_sjis(plain), false));
  both.write_bytes("velm_sec.dat", scrambled(to_sjis(secret), true));
  EXPECT_EQ(run_game(both).texts(), Texts{"番号"});

  GameDir single;
  single.write_bytes("velmtxt.dat", scrambled(to_sjis(plain), false));
  RunResult r = run_game(single);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.texts(), Texts{"平文"});

  single.write_bytes("velm_sec.dat", scrambled(to_sjis(secret), true));
  r = run_game(single);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.texts(), Texts{"秘密"});
}

TEST(Interp, LabelNames) {
  RunResult r = run_scenario(
      "*define\ngame\n*Start\n"
      "goto *LATER\n"
      "*Later\n"
      "後\n"
      "goto *\n"
      "*1abc\n"
      "end\n");
  EXPECT_EQ(r.exit_code, 0);
  // A name that begins with a digit is the empty name; the label points at
  // the digits, which are text.
  EXPECT_EQ(r.texts(), (Texts{"後", "1abc"}));

  EXPECT_EQ(only_error(run_scenario(game("end\n*1\n*2x\n"))), "エラー|ラベル*の多重定義です。");
  EXPECT_EQ(only_error(run_scenario(game("end\n*Twice\n*twice\n"))),
            "エラー|ラベル*twiceの多重定義です。");
}

TEST(Interp, AtMostFiveThousandLabels) {
  // *define and *start are two of them.
  auto with_labels = [](int extra) {
    std::string s = game("end\n");
    for (int i = 0; i < extra; ++i) s += "*l" + std::to_string(i) + "\n";
    return s;
  };
  EXPECT_EQ(run_scenario(with_labels(4998)).exit_code, 0);
  EXPECT_EQ(only_error(run_scenario(with_labels(4999))), "エラー|ラベルが5000を超えました。");
}

TEST(Interp, ScenarioMustLeaveRoomInTheBuffer) {
  const std::string too_long = "エラー|シナリオが長すぎます。";
  GameDir fits;
  fits.write_bytes("0.txt", padded_scenario(kBufferBytes - 2));
  RunResult r = run_game(fits);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.texts(), Texts{"入った"});

  GameDir full;
  full.write_bytes("0.txt", padded_scenario(kBufferBytes - 1));
  EXPECT_EQ(only_error(run_game(full)), too_long);

  GameDir single_fits;
  single_fits.write_bytes("velmtxt.dat", scrambled(padded_scenario(kBufferBytes - 2), false));
  EXPECT_EQ(run_game(single_fits).texts(), Texts{"入った"});

  GameDir single_full;
  single_full.write_bytes("velmtxt.dat", scrambled(padded_scenario(kBufferBytes - 1), false));
  EXPECT_EQ(only_error(run_game(single_full)), too_long);

  GameDir single_larger;
  single_larger.write_bytes("velm_sec.dat", scrambled(padded_scenario(kBufferBytes + 4096), true));
  EXPECT_EQ(only_error(run_game(single_larger)), too_long);
}

}  // namespace
}  // namespace vellumite::testing
