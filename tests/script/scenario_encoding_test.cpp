#include "script/scenario_encoding.h"

#include <gtest/gtest.h>

namespace vellumite {
namespace {

TEST(ScenarioEncoding, ConfigLineNamesUtf8) {
  const struct {
    const char* config;
    bool utf8;
  } cases[] = {
      {"encoding utf-8\n", true},
      {"cdfadeoff\r\n  Encoding\tUTF-8 \r\n", true},
      {"encoding utf8", true},
      {"encodingutf-8\n", false},
      {"encoding utf-16\n", false},
      {"# encoding utf-8\n", false},
      {"encoding utf-8 please\n", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(config_says_utf8(c.config), c.utf8) << c.config;
}

TEST(ScenarioEncoding, RejectsMalformedUtf8) {
  for (const char* bad : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE3\x81", "\x80"}) {
    EXPECT_FALSE(valid_utf8(bad)) << bad;
  }
  EXPECT_TRUE(valid_utf8("a\xC2\xA9\xE3\x81\x82\xF0\x9F\x98\x80"));
}

TEST(ScenarioEncoding, NamesTheFirstCharacterWithoutShiftJis) {
  ScenarioDecoding d =
      decode_utf8_scenario("\xEF\xBB\xBF?\n\xE3\x81\x82\nx\xE2\x98\x83\xF0\x9F\x98\x80\n");
  EXPECT_FALSE(d.ok);
  EXPECT_EQ(describe_decoding_failure("2.txt", d),
            "2.txt line 3: U+2603 (\xE2\x98\x83) has no Shift-JIS form");
  d = decode_utf8_scenario("a\nb\n\xFF\n");
  EXPECT_EQ(describe_decoding_failure("velmtxt.dat", d), "velmtxt.dat line 3: not UTF-8");
  d = decode_utf8_scenario("\xEF\xBB\xBF?\xE3\x81\x82\r\n");
  EXPECT_TRUE(d.ok);
  EXPECT_EQ(d.sjis, "?\x82\xA0\r\n");
}

}  // namespace
}  // namespace vellumite
