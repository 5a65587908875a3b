// Variables, aliases, limits, arithmetic and the registry and profile
// commands, observed through small games run headless.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/game_runner.h"
#include "text/sjis.h"

namespace vellumite::testing {
namespace {

std::string game(std::string_view define, std::string_view body) {
  return "*define\n" + std::string(define) + "game\n*start\n" + std::string(body) + "end\n";
}

// "title|message" of the only message box, or a note when there is none.
std::string error_of(const RunResult& r) {
  std::vector<std::string> boxes = r.boxes();
  if (boxes.size() != 1) return "(" + std::to_string(boxes.size()) + " boxes)";
  return boxes[0].substr(0, boxes[0].find('\n'));
}

std::string repeat(std::string_view text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

TEST(Var, AssignmentAndStringAppend) {
  RunResult r = run_scenario(game("",
                                  "mov %0,5:mov $1,\"abc\"\n"
                                  "add %0,3:add $1,\"def\"\n"
                                  "add $2,\"新\"\n"  // an empty variable simply becomes the text
                                  "mov5 %10,1,-2,3,%0,5\n" +
                                      repeat("add $3,\"x\"\n", 300) + "len %4,$3\n"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.num(0), 8);
  EXPECT_EQ(r.str(1), "abcdef");
  EXPECT_EQ(r.str(2), "新");
  EXPECT_EQ(std::vector<int>({r.num(10), r.num(11), r.num(12), r.num(13), r.num(14)}),
            std::vector<int>({1, -2, 3, 8, 5}));
  // Strings grow past the 255 bytes a literal may have.
  EXPECT_EQ(r.str(3), std::string(300, 'x'));
  EXPECT_EQ(r.num(4), 300);
}

TEST(Var, IndirectionAndAliasesAsVariableNumbers) {
  RunResult r = run_scenario(game("numalias slot,20\n",
                                  "mov %1,7\n"
                                  "mov %%1,3:mov $%1,\"q\"\n"
                                  "mov %slot,4:mov $slot,\"w\"\n"
                                  "mov %2,%%1:mov %3,slot:add %%1,%slot\n"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.num(7), 7);  // 3, then add 4
  EXPECT_EQ(r.str(7), "q");
  EXPECT_EQ(r.num(20), 4);
  EXPECT_EQ(r.str(20), "w");
  EXPECT_EQ(r.num(2), 3);
  EXPECT_EQ(r.num(3), 20);
}

TEST(Arith, WrapsAroundInThirtyTwoBits) {
  RunResult r = run_scenario(game("",
                                  "mov %0,2147483647:add %0,1\n"
                                  "mov %1,-2147483648:sub %1,1\n"
                                  "mov %2,-2147483648:dec %2\n"
                                  "mov %3,2147483647:inc %3\n"
                                  "mov %4,65536:mul %4,65536\n"
                                  "mov %5,2147483647:mul %5,2\n"
                                  "mov %6,-12:mul %6,-12\n"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.num(0), INT32_MIN);
  EXPECT_EQ(r.num(1), INT32_MAX);
  EXPECT_EQ(r.num(2), INT32_MAX);
  EXPECT_EQ(r.num(3), INT32_MIN);
  EXPECT_EQ(r.num(4), 0);
  EXPECT_EQ(r.num(5), -2);
  EXPECT_EQ(r.num(6), 144);
}

TEST(Arith, DivisionRoundsTowardZeroAndRemainderFollowsTheDividend) {
  RunResult r = run_scenario(game("",
                                  "mov %0,7:div %0,2\n"
                                  "mov %1,-7:div %1,2\n"
                                  "mov %2,7:div %2,-2\n"
                                  "mov %3,7:mod %3,2\n"
                                  "mov %4,-7:mod %4,2\n"
                                  "mov %5,7:mod %5,-2\n"
                                  "mov %6,-2147483648:div %6,-1\n"
                                  "mov %7,-2147483648:mod %7,-1\n"
                                  "mov %8,-2147483648:div %8,2\n"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.num(0), 3);
  EXPECT_EQ(r.num(1), -3);
  EXPECT_EQ(r.num(2), -3);
  EXPECT_EQ(r.num(3), 1);
  EXPECT_EQ(r.num(4), -1);
  EXPECT_EQ(r.num(5), 1);
  EXPECT_EQ(r.num(6), INT32_MIN);  // the one quotient that does not fit wraps
  EXPECT_EQ(r.num(7), 0);
  EXPECT_EQ(r.num(8), -1073741824);
}

TEST(Arith, DivisionByZeroStops) {
  RunResult div = run_scenario(game("", "mov %0,5\ndiv %0,0\nmov %0,9\n"));
  EXPECT_EQ(div.exit_code, 2);
  EXPECT_EQ(error_of(div), "０除算エラー|０で除算しました。");
  EXPECT_NE(div.boxes()[0].find("0.txt line:5"), std::string::npos);
  EXPECT_EQ(div.num(0), 5);

  RunResult mod = run_scenario(game("", "mov %1,0\nmod %0,%1\n"));
  EXPECT_EQ(mod.exit_code, 2);
  EXPECT_EQ(error_of(mod), "０除算エラー|０で剰余演算しました。");
}

TEST(Var, LimitsClampAtTheNextArithmeticCommand) {
  RunResult r = run_scenario(
      game("intlimit 1,0,10\n"
           "intlimit 2,5,-1\n"  // an upper limit of -1: no limits at all
           "intlimit 3,0,10:intlimit 3,0,10:intlimit 3,0,-1\n"  // set twice, then removed
           "intlimit 4,0,3\n"
           "intlimit 5,-5,5\n",
           "mov %1,50:mov %20,%1\n"
           "sub %1,100\n"
           "mov %2,-50:add %2,1000000:mov %23,%2\n"
           "mov %3,50\n"
           "len %4,\"abcdef\":mov %21,%4\n"  // len itself does not clamp
           "mov %5,-100:mov %22,%5:mov %5,100\n"
           "mov5 %0,99,99,99,99,99\n"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.num(20), 10);
  EXPECT_EQ(r.num(23), 999950);
  EXPECT_EQ(r.num(21), 6);
  EXPECT_EQ(r.num(22), -5);
  EXPECT_EQ(r.num(5), 5);
  // mov5 clamps its five variables too: %1 by the limit, %3 no longer limited.
  EXPECT_EQ(r.num(1), 10);
  EXPECT_EQ(r.num(2), 99);
  EXPECT_EQ(r.num(3), 99);
  EXPECT_EQ(r.num(4), 3);

  RunResult sub = run_scenario(game("intlimit 1,0,10\n", "mov %1,50:sub %1,100\n"));
  EXPECT_EQ(sub.num(1), 0);

  RunResult in_game = run_scenario(game("", "intlimit 1,0,10\n"));
  EXPECT_EQ(error_of(in_game), "構文エラー|不正な命令\"intlimit\"です。");
}

TEST(Alias, NamesIgnoreCaseAndAreDefinedOnce) {
  RunResult r = run_scenario(
      game("numalias Score,5\nnumalias twice,score\nstralias Hero,\"太郎\"\nstralias copy,hero\n",
           "mov %SCORE,1:mov %0,sCoRe:mov %1,TWICE\n"
           "mov $0,HERO:mov $1,copy\n"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.num(5), 1);
  EXPECT_EQ(r.num(0), 5);
  EXPECT_EQ(r.num(1), 5);
  EXPECT_EQ(r.str(0), "太郎");
  EXPECT_EQ(r.str(1), "太郎");

  RunResult num_twice = run_scenario(game("numalias a,1\nnumalias A,2\n", ""));
  EXPECT_EQ(num_twice.exit_code, 2);
  EXPECT_EQ(error_of(num_twice), "エラー|数字エイリアスaが二重定義されています。");

  RunResult str_twice = run_scenario(game("stralias Name,\"x\"\nstralias name,\"y\"\n", ""));
  EXPECT_EQ(error_of(str_twice), "エラー|文字列エイリアスnameが二重定義されています。");

  // A number alias and a string alias may share a name.
  RunResult shared = run_scenario(game("numalias k,3\nstralias k,\"s\"\n", "mov %0,k:mov $0,k\n"));
  EXPECT_EQ(shared.num(0), 3);
  EXPECT_EQ(shared.str(0), "s");

  RunResult in_game = run_scenario(game("", "numalias b,1\n"));
  EXPECT_EQ(error_of(in_game), "構文エラー|不正な命令\"numalias\"です。");
  RunResult str_in_game = run_scenario(game("", "stralias b,\"1\"\n"));
  EXPECT_EQ(error_of(str_in_game), "構文エラー|不正な命令\"stralias\"です。");
}

TEST(Alias, TablesHoldAtMost4096Entries) {
  std::string nums, strs;
  for (int i = 0; i < 4096; ++i) {
    nums += "numalias n" + std::to_string(i) + "," + std::to_string(i) + "\n";
    strs += "stralias s" + std::to_string(i) + ",\"t\"\n";
  }
  RunResult full = run_scenario(game(nums + strs, "mov %0,n4095:mov $0,s4095\n"));
  EXPECT_EQ(full.exit_code, 0);
  EXPECT_EQ(full.num(0), 4095);
  EXPECT_EQ(full.str(0), "t");

  RunResult num_over = run_scenario(game(nums + "numalias extra,1\n", ""));
  EXPECT_EQ(error_of(num_over), "エラー|数字エイリアスが多すぎます。");
  RunResult str_over = run_scenario(game(strs + "stralias extra,\"1\"\n", ""));
  EXPECT_EQ(error_of(str_over), "エラー|文字列エイリアスが多すぎます。");
}

TEST(Var, RandomDrawsStayInTheirRange) {
  std::string body;
  for (int i = 0; i < 100; ++i) {
    body += "rnd %" + std::to_string(i) + ",6\n";
    body += "rnd2 %" + std::to_string(100 + i) + ",-3,4\n";
    body += "rnd2 %" + std::to_string(200 + i) + ",3,3\n";
    body += "rnd2 %" + std::to_string(300 + i) + ",-2000000000,2000000000\n";
  }
  RunResult r = run_scenario(game("", body));
  ASSERT_EQ(r.exit_code, 0);
  std::vector<bool> seen_rnd(6), seen_rnd2(8);
  for (int i = 0; i < 100; ++i) {
    int a = r.num(i), b = r.num(100 + i);
    ASSERT_TRUE(a >= 0 && a <= 5) << a;
    ASSERT_TRUE(b >= -3 && b <= 4) << b;
    seen_rnd[static_cast<size_t>(a)] = true;
    seen_rnd2[static_cast<size_t>(b + 3)] = true;
    EXPECT_EQ(r.num(200 + i), 3);
    EXPECT_GE(r.num(300 + i), -2000000000);
  }
  // A hundred draws reach every value of such small ranges.
  EXPECT_EQ(seen_rnd, std::vector<bool>(6, true));
  EXPECT_EQ(seen_rnd2, std::vector<bool>(8, true));

  RunResult zero = run_scenario(game("", "rnd %0,0\n"));
  EXPECT_EQ(zero.exit_code, 2);
  EXPECT_EQ(error_of(zero), "実行時エラー|rndの除数が0以下です。");
  RunResult negative = run_scenario(game("", "rnd %0,-4\n"));
  EXPECT_EQ(error_of(negative), "実行時エラー|rndの除数が0以下です。");
  RunResult reversed = run_scenario(game("", "rnd2 %0,5,4\n"));
  EXPECT_EQ(error_of(reversed), "実行時エラー|rnd2の上限が下限より小さいです。");
}

TEST(Var, LenCountsBytes) {
  RunResult r = run_scenario(game("", "mov %1,9:len %0,\"あいう\":len %1,\"\":len %2,\"aあ\"\n"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.num(0), 6);
  EXPECT_EQ(r.num(1), 0);
  EXPECT_EQ(r.num(2), 3);
}

TEST(Var, WrongKindOfFirstArgument) {
  struct Case {
    const char* statement;
    const char* error;
  };
  const Case cases[] = {
      {"mov 1,2", "構文エラー|movの第一引数は数字／文字変数です。"},
      {"mov5 $0,1,2,3,4,5", "構文エラー|mov5の第一引数は数字変数です。"},
      {"add 1,2", "構文エラー|addの第一引数は数字／文字変数です。"},
      {"sub $0,1", "構文エラー|subの第一引数は数字変数です。"},
      {"inc $0", "構文エラー|incの引数は数字変数です。"},
      {"dec x", "構文エラー|decの引数は数字変数です。"},
      {"mul $0,1", "構文エラー|mulの第一引数は数字変数です。"},
      {"div $0,1", "構文エラー|divの第一引数は数字変数です。"},
      {"mod $0,1", "構文エラー|modの第一引数は数字変数です。"},
      {"rnd $0,1", "構文エラー|rndの第一引数は数字変数です。"},
      {"rnd2 $0,1,2", "構文エラー|rnd2の第一引数は数字変数です。"},
      {"len $0,\"a\"", "構文エラー|lenの第一引数は数字変数です。"},
      {"getreg %0,\"a\",\"b\"", "構文エラー|getregの第一引数は文字変数です。"},
      {"getini %0,\"a\",\"b\",\"c\"", "構文エラー|getiniの第一引数は文字変数です。"},
      // The value's kind follows the variable's.
      {"mov %0,\"abc\"", "構文エラー|数字がくるべきところに数字がありません。"},
      {"mov $0,5", "構文エラー|文字列が来るべきところに文字列がありません。"},
      {"add $0,%1", "構文エラー|文字列が来るべきところに文字列がありません。"},
  };
  for (const Case& c : cases) {
    RunResult r = run_scenario(game("", std::string(c.statement) + "\n"));
    EXPECT_EQ(r.exit_code, 2) << c.statement;
    EXPECT_EQ(error_of(r), c.error) << c.statement;
  }
}

TEST(Var, VariableNumbersOutsideTheTablesStop) {
  struct Case {
    const char* statement;
    const char* error;
  };
  const Case cases[] = {
      {"mov %4096,1", "実行時エラー|movの変数番号4096は範囲外です。"},
      {"mov %-1,1", "実行時エラー|movの変数番号-1は範囲外です。"},
      {"add $5000,\"x\"", "実行時エラー|addの変数番号5000は範囲外です。"},
      {"mov5 %4093,1,2,3,4,5", "実行時エラー|mov5の変数番号4097は範囲外です。"},
      {"inc %99999", "実行時エラー|incの変数番号99999は範囲外です。"},
      {"getreg $4096,\"a\",\"b\"", "実行時エラー|getregの変数番号4096は範囲外です。"},
  };
  for (const Case& c : cases) {
    RunResult r = run_scenario(game("", std::string(c.statement) + "\n"));
    EXPECT_EQ(r.exit_code, 2) << c.statement;
    EXPECT_EQ(error_of(r), c.error) << c.statement;
  }
  RunResult limit = run_scenario(game("intlimit 4096,0,1\n", ""));
  EXPECT_EQ(error_of(limit), "実行時エラー|intlimitの変数番号4096は範囲外です。");

  // Nothing of mov5 is written when its last variable is out of range; the
  // last five variables themselves are fine.
  RunResult partial = run_scenario(game("", "mov5 %4093,1,2,3,4,5\n"));
  EXPECT_EQ(partial.num(4093), 0);
  RunResult last = run_scenario(game("", "mov5 %4091,1,2,3,4,5\n"));
  EXPECT_EQ(last.num(4095), 5);
}

TEST(Registry, GetregReadsTheGameFoldersRegistryFile) {
  GameDir dir;
  dir.write_text("registry.reg",
                 "REGEDIT4\r\n\r\n"
                 "[HKEY_CURRENT_USER\\Software\\Vellumite Test\\Game]\r\n"
                 "\"Name\"=\"太郎\"\r\n"
                 "\"Count\"=dword:0000001e\r\n"
                 "@=\"既定\"\r\n"
                 "\"Long\"=\"" +
                     repeat("x", 256) + "\"\r\n");
  dir.write_text("0.txt", game("",
                               "mov $5,\"old\":mov $6,\"old\"\n"
                               "getreg $0,\"Software\\Vellumite Test\\Game\",\"Name\"\n"
                               "getreg $1,\"software\\vellumite test\\GAME\",\"COUNT\"\n"
                               "getreg $2,\"Software\\Vellumite Test\\Game\",\"\"\n"
                               "getreg $5,\"Software\\Vellumite Test\\Game\",\"Missing\"\n"
                               "getreg $6,\"Software\\Vellumite Test\\Other\",\"Name\"\n"
                               "mov $7,\"old\"\n"
                               "getreg $7,\"Software\\Vellumite Test\\Game\",\"Long\"\n"));
  RunResult r = run_game(dir);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.str(0), "太郎");
  EXPECT_EQ(r.str(1), "30");
  EXPECT_EQ(r.str(2), "既定");
  EXPECT_EQ(r.str(5), "");
  EXPECT_EQ(r.str(6), "");
  // A value that does not fit 255 bytes cannot be read.
  EXPECT_EQ(r.str(7), "");
}

TEST(Profile, GetiniReadsIniFilesInTheGameFolder) {
  GameDir dir;
  dir.write_text("config.ini",
                 "; settings\r\n"
                 "[Player]\r\n"
                 "  Name =  \"花子\"  \r\n"
                 "Level=7\r\n"
                 "Long=ab" +
                     repeat("あ", 150) +
                     "\r\n"
                     "[player]\r\n"
                     "Level=99\r\n"
                     "Extra=1\r\n");
  dir.write_text("data/Sub.ini", "[s]\nk='v'\n");
  dir.write_text("0.txt", game("",
                               "mov $3,\"old\"\n"
                               "getini $0,\"config.ini\",\"PLAYER\",\"name\"\n"
                               "getini $1,\"Config.INI\",\"player\",\"level\"\n"
                               "getini $2,\"config.ini\",\"player\",\"long\":len %2,$2\n"
                               "getini $3,\"config.ini\",\"player\",\"extra\"\n"
                               "getini $4,\"data\\sub.ini\",\"s\",\"k\"\n"
                               "getini $5,\"missing.ini\",\"s\",\"k\"\n"));
  RunResult r = run_game(dir);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.str(0), "花子");
  EXPECT_EQ(r.str(1), "7");  // the first section of that name
  // Cut to 255 bytes without splitting a character: "ab" and 126 of "あ".
  EXPECT_EQ(r.num(2), 254);
  EXPECT_EQ(r.str(2), "ab" + repeat("あ", 126));
  EXPECT_EQ(r.str(3), "");
  EXPECT_EQ(r.str(4), "v");
  EXPECT_EQ(r.str(5), "");
}

}  // namespace
}  // namespace vellumite::testing
