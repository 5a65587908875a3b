// Conditions, jumps, subroutines and the click trap, observed through the
// headless runner: the text lines shown mark which path a scenario took.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "support/game_runner.h"

namespace vellumite::testing {
namespace {

using Texts = std::vector<std::string>;

// A scenario whose game part is `body`.
std::string game(const std::string& body) { return "*define\ngame\n*start\n" + body; }

// Blank lines that keep the interpreter busy for about `ms` of game time
// (every separator byte is one pass of the loop, and every pass yields).
std::string idle(uint32_t ms) {
  return std::string(ms * 1000 / HeadlessPlatform::kYieldMicros, '\n');
}

TEST(Cond, OperatorsCompareSignedNumbers) {
  struct Case {
    const char* condition;
    bool holds;
  };
  const Case cases[] = {
      {"3=3", true},
      {"3=4", false},
      {"3==3", true},
      {"4==3", false},
      {"3!=4", true},
      {"3!=3", false},
      {"3<>4", true},
      {"3<>3", false},
      {"3>=3", true},
      {"2>=3", false},
      {"3<=3", true},
      {"4<=3", false},
      {"4>3", true},
      {"3>3", false},
      {"2<3", true},
      {"3<3", false},
      {"-1<0", true},
      {"-5 > -4", false},
      {"-2147483648<2147483647", true},
      {"+7 = 7", true},
  };
  std::string body;
  Texts expected;
  for (size_t i = 0; i < std::size(cases); ++i) {
    std::string n = std::to_string(i);
    body += "if " + std::string(cases[i].condition) + " 真" + n + "\n";
    body += "notif " + std::string(cases[i].condition) + " 偽" + n + "\n";
    expected.push_back((cases[i].holds ? "真" : "偽") + n);
  }
  RunResult r = run_scenario(game(body + "end\n"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.texts(), expected);
}

TEST(Cond, ChainedConditionsMustAllHold) {
  RunResult r =
      run_scenario(game("mov %0,1:mov %1,2\n"
                        "if %0==1 && %1>=2 goto *a\n"
                        "不通過a\n"
                        "*a\n"
                        "if %0=1 & %1>=2 いち\n"
                        "if %0=1&%1>=2&&%1<3 に\n"
                        "mov %1,1\n"
                        "if %0==1 && %1>=2 ×さん\n"
                        "if %1>=2 && %0==1 ×よん\n"
                        "notif %0==1 && %1==1 ×ご\n"
                        "notif %0==2 && %1==1 ×ろく\n"
                        "notif %0==2 && %1==2 なな\n"
                        "notif %0==2 & %1==2 & %1==3 はち\n"
                        "end\n"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.texts(), (Texts{"いち", "に", "なな", "はち"}));
}

TEST(Cond, UnmetConditionDropsTheRestOfTheLine) {
  RunResult r =
      run_scenario(game("mov %0,1\n"
                        "if %0<>1 mov %1,5:mov %2,6\n"
                        "if %0==1 mov %3,7:mov %4,8\n"
                        "notif %0==1 mov %5,9 : mov %6,10\n"
                        // Conditions after the first unmet one are not even read.
                        "if %0==2 && no_such_alias==1 壊\n"
                        "notif %0==1 & \"\" 壊\n"
                        "ここまで\n"
                        "end\n"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.texts(), Texts{"ここまで"});
  EXPECT_EQ(r.num(1), 0);
  EXPECT_EQ(r.num(2), 0);
  EXPECT_EQ(r.num(3), 7);
  EXPECT_EQ(r.num(4), 8);
  EXPECT_EQ(r.num(5), 0);
  EXPECT_EQ(r.num(6), 0);
}

TEST(Cond, LoneBangKeepsThePreviousValue) {
  // No operator is read at a '!' without '=': the condition has the value of
  // the one before it (false for the first) and the line goes on at the '!'.
  RunResult r =
      run_scenario(game("if 2 !あ\n"
                        "notif 2 !い\n"
                        "if 1==1 && 2 !う\n"
                        "notif 1==2 & 5 !え\n"
                        "if 3 != 4 お\n"
                        "end\n"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.texts(), (Texts{"!い", "!う", "!え", "お"}));
}

TEST(Cond, FchkIsFalseWhileNoFileIsLogged) {
  RunResult r =
      run_scenario(game("if fchk \"a.bmp\" 既読\n"
                        "notif fchk \"a.bmp\" 未読\n"
                        "if 1==1 && fchk \"b.wav\" 既読2\n"
                        "end\n"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.texts(), Texts{"未読"});

  RunResult in_define = run_scenario("*define\nif fchk \"a.bmp\" goto *seen\ngame\n*start\nend\n");
  EXPECT_EQ(only_error(in_define), "エラー|fchk条件式は、定義ブロックでは使えません。");
}

TEST(Cond, MalformedConditionsAreFatal) {
  const std::string wrong = "エラー|if条件式が間違っています。";
  EXPECT_EQ(only_error(run_scenario(game("if fchx \"a.bmp\" 壊\nend\n"))), wrong);
  EXPECT_EQ(only_error(run_scenario(game("if 1 ? 2 壊\nend\n"))), wrong);
  EXPECT_EQ(only_error(run_scenario(game("notif 1 2 壊\nend\n"))), wrong);
  EXPECT_EQ(only_error(run_scenario(game("if 1==1 & 1\nend\n"))), wrong);
  EXPECT_EQ(only_error(run_scenario(game("if 1==\nend\n"))),
            "構文エラー|数字がくるべきところに数字がありません。");
}

TEST(Flow, CmpOrdersStringsByUnsignedBytes) {
  RunResult r =
      run_scenario(game("cmp %0,\"abc\",\"abd\"\n"
                        "cmp %1,\"a\",\"b\"\n"
                        "cmp %1,\"ab\",\"ab\"\n"
                        "cmp %2,\"b\",\"abc\"\n"
                        "cmp %3,\"ab\",\"abc\"\n"
                        "cmp %4,\"abc\",\"ab\"\n"
                        "cmp %5,\"\",\"a\"\n"
                        "cmp %6,\"あ\",\"z\"\n"
                        "cmp %7 , \"x\" , \"x\"\n"
                        "end\n"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.num(0), -1);
  EXPECT_EQ(r.num(1), 0);
  EXPECT_EQ(r.num(2), 1);
  EXPECT_EQ(r.num(3), -1);
  EXPECT_EQ(r.num(4), 1);
  EXPECT_EQ(r.num(5), -1);
  EXPECT_EQ(r.num(6), 1);  // 0x82 sorts after 'z'
  EXPECT_EQ(r.num(7), 0);

  EXPECT_EQ(only_error(run_scenario(game("cmp $0,\"a\",\"b\"\nend\n"))),
            "構文エラー|cmpの第一引数は数字変数です。");
  EXPECT_EQ(only_error(run_scenario(game("cmp %0,\"a\" \"b\"\nend\n"))),
            "構文エラー|コンマが必要なところにコンマが有りません。");
}

TEST(Flow, GotoFindsLabelsWrittenInAnyForm) {
  RunResult r =
      run_scenario(game("goto *Later\n"
                        "飛ばされる\n"
                        "*LATER\n"
                        "一\n"
                        "goto \"*third\"\n"
                        "飛ばされる\n"
                        "*third\n"
                        "二\n"
                        "end\n"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.texts(), (Texts{"一", "二"}));

  RunResult missing = run_scenario(game("goto *Nowhere\nend\n"));
  EXPECT_EQ(only_error(missing), "ラベルエラー|ラベル*nowhereは存在しません");
}

TEST(Flow, SkipForwardCountsPhysicalLines) {
  RunResult r =
      run_scenario(game("skip 0 ゼロ\n"
                        "skip 2:一\n"
                        "二\n"
                        "三\n"
                        "skip 1 四\n"
                        "五\n"
                        "skip 3\n"
                        "\n"
                        "*label_line\n"
                        "六\n"
                        "end\n"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.texts(), (Texts{"ゼロ", "三", "五", "六"}));
}

TEST(Flow, SkipPastTheLastLineStops) {
  // `skip 1` on the last line reaches the end of the scenario itself.
  EXPECT_EQ(only_error(run_scenario(game("skip 1"))),
            "スクリプトエラー|ファイルの終端に達しました。");
  RunResult past = run_scenario(game("skip 2"));
  EXPECT_EQ(only_error(past), "構文エラー|SKIPがスクリプトの範囲を飛び出しました。");
  EXPECT_EQ(error_place(past), "0.txt line:4");
  EXPECT_EQ(only_error(run_scenario(game("skip 2147483647\nend\n"))),
            "構文エラー|SKIPがスクリプトの範囲を飛び出しました。");
}

TEST(Flow, SkipBackwardRerunsEarlierLines) {
  // From the line of the skip: -1 is まえ, -2 *first, -3 end, -4 あと.
  RunResult r =
      run_scenario(game("goto *first\n"
                        "あと\n"
                        "end\n"
                        "*first\n"
                        "まえ\n"
                        "skip -4\n"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.texts(), (Texts{"まえ", "あと"}));

  // The same when the skip is not the last statement of its line, and across
  // an empty line.
  RunResult mid_line =
      run_scenario(game("goto *first\n"
                        "あと\n"
                        "end\n"
                        "*first\n"
                        "\n"
                        "skip -4 : 壊\n"));
  EXPECT_EQ(mid_line.exit_code, 0);
  EXPECT_EQ(mid_line.texts(), Texts{"あと"});
}

TEST(Flow, SkipBackwardStopsAtTheFirstLine) {
  // `skip -1` on the second line runs the first line again, then goes on
  // behind the second (a label line, skipped by normal flow).
  RunResult r = run_scenario(
      "いち\n"
      "*two skip -1\n"
      "end\n"
      "*define\ngame\n*start\ngoto *two\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.texts(), Texts{"いち"});

  // The same with an empty first line.
  RunResult empty_first = run_scenario(
      "\n"
      "いち\n"
      "*three skip -2\n"
      "end\n"
      "*define\ngame\n*start\ngoto *three\n");
  EXPECT_EQ(empty_first.exit_code, 0);
  EXPECT_EQ(empty_first.texts(), Texts{"いち"});

  RunResult too_far = run_scenario(
      "いち\n"
      "*two skip -2\n"
      "end\n"
      "*define\ngame\n*start\ngoto *two\n");
  EXPECT_EQ(only_error(too_far), "構文エラー|SKIPがスクリプトの範囲を飛び出しました。");
  EXPECT_EQ(error_place(too_far), "0.txt line:2");
  EXPECT_EQ(only_error(run_scenario(game("skip -2147483648\nend\n"))),
            "構文エラー|SKIPがスクリプトの範囲を飛び出しました。");
}

TEST(Flow, SkipCrossesScenarioFiles) {
  GameDir forward;
  forward.write_text("0.txt", "*define\ngame\n*start\nskip 2");
  forward.write_text("1.txt", "とばす\nいち\nend\n");
  RunResult r = run_game(forward);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.texts(), Texts{"いち"});

  GameDir backward;
  backward.write_text("0.txt", "*define\ngame\n*start\ngoto *one\nまえ\nend");
  backward.write_text("1.txt", "*one\nskip -3\n");
  RunResult back = run_game(backward);
  EXPECT_EQ(back.exit_code, 0);
  EXPECT_EQ(back.texts(), Texts{"まえ"});
}

TEST(Flow, ReturnContinuesBehindTheGosub) {
  RunResult r =
      run_scenario(game("gosub *one:gosub *two\n"
                        "さん\n"
                        "gosub *outer ご\n"
                        "end\n"
                        "*one\n"
                        "いち\n"
                        "return\n"
                        "*two\n"
                        "に\n"
                        "return\n"
                        "*outer\n"
                        "gosub *one\n"
                        "よん\n"
                        "return\n"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.texts(), (Texts{"いち", "に", "さん", "いち", "よん", "ご"}));

  RunResult unmatched = run_scenario(game("gosub *sub\nreturn\n*sub\nreturn\n"));
  EXPECT_EQ(only_error(unmatched), "スタックエラー|returnとgosub文が正しく対応していません。");
  EXPECT_EQ(error_place(unmatched), "0.txt line:5");
}

// A chain of `depth` nested subroutine calls; the deepest shows a text line.
std::string nested_calls(int depth) {
  std::string s = game("gosub *s1\n戻った\nend\n");
  for (int i = 1; i < depth; ++i) {
    s += "*s" + std::to_string(i) + "\ngosub *s" + std::to_string(i + 1) + "\nreturn\n";
  }
  s += "*s" + std::to_string(depth) + "\n最深\nreturn\n";
  return s;
}

TEST(Flow, GosubStackHoldsAThousandCalls) {
  RunResult r = run_scenario(nested_calls(1000));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.texts(), (Texts{"最深", "戻った"}));

  RunResult overflow = run_scenario(nested_calls(1001));
  EXPECT_EQ(only_error(overflow), "スタックエラー|gosub文のせいでスタックが溢れました。");
  EXPECT_TRUE(overflow.texts().empty());
}

TEST(Flow, TrapTurnsTheNextClickIntoAJump) {
  RunResult r = run_scenario(
      game("trap *t\n" + idle(10) + "通過\nend\n*t\n罠\n" + idle(10) + "二度目なし\nend\n"),
      RunOptions{"@5 click 10 10\n@15 click 10 10\n"});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.texts(), (Texts{"罠", "二度目なし"}));

  // The loop never reaches a wait: only the trap ends it.
  RunResult loop = run_scenario(game("trap *T\n*loop\ngoto *loop\n*t\n罠\nend\n"),
                                RunOptions{"@5 click 10 10\n"});
  EXPECT_EQ(loop.exit_code, 0);
  EXPECT_EQ(loop.texts(), Texts{"罠"});
}

TEST(Flow, TrapIgnoresClicksBeforeItAndAfterOff) {
  RunResult before =
      run_scenario(game(idle(5) + "trap *t\n" + idle(10) + "通過\nend\n*t\n罠\nend\n"),
                   RunOptions{"@2 click 10 10\n@3 key space\n"});
  EXPECT_EQ(before.exit_code, 0);
  EXPECT_EQ(before.texts(), Texts{"通過"});

  RunResult off = run_scenario(game("trap *t\ntrap OFF\n" + idle(10) + "通過\nend\n*t\n罠\nend\n"),
                               RunOptions{"@5 click 10 10\n"});
  EXPECT_EQ(off.exit_code, 0);
  EXPECT_EQ(off.texts(), Texts{"通過"});
}

TEST(Flow, TrapToAMissingLabelFailsOnlyWhenItFires) {
  RunResult quiet = run_scenario(game("trap *nowhere\n構えた\nend\n"));
  EXPECT_EQ(quiet.exit_code, 0);
  EXPECT_EQ(quiet.texts(), Texts{"構えた"});

  RunResult fired = run_scenario(game("trap *nowhere\n構えた\n" + idle(10) + "通過\nend\n"),
                                 RunOptions{"@5 click 10 10\n"});
  EXPECT_EQ(only_error(fired), "ラベルエラー|ラベル*nowhereは存在しません");
  EXPECT_EQ(fired.texts(), Texts{"構えた"});
}

TEST(Flow, TrapTakesOnlyOffOrALabel) {
  const std::string wrong = "エラー|trap命令のパラメータは、offもしくは*ラベル名です。";
  EXPECT_EQ(only_error(run_scenario(game("trap on\nend\n*on\n"))), wrong);
  EXPECT_EQ(only_error(run_scenario(game("trap \"*t\"\nend\n*t\n"))), wrong);
  EXPECT_EQ(only_error(run_scenario(game("trap\nend\n"))), wrong);
  EXPECT_EQ(only_error(run_scenario("*define\ntrap *t\ngame\n*start\nend\n*t\n")),
            "構文エラー|不正な命令\"trap\"です。");
}

}  // namespace
}  // namespace vellumite::testing
