// Shift-JIS as code page 932 has it: the single-byte range, every two-byte
// code of the lead-byte ranges (NEC row 13 and both copies of the IBM
// extensions included), broken input and the way back from UTF-8.
#include "base/sjis.h"

#include <gtest/gtest.h>

#include <string>

namespace vellumite {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

std::string bytes(std::initializer_list<int> list) {
  std::string s;
  for (int b : list) s.push_back(static_cast<char>(b));
  return s;
}

std::string pair(int code) { return bytes({code >> 8, code & 0xFF}); }

// The code points of a UTF-8 string.
std::u32string code_points(const std::string& utf8) {
  std::u32string out;
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const size_t n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    char32_t c = n == 1 ? lead : n == 2 ? lead & 0x1F : n == 3 ? lead & 0x0F : lead & 0x07;
    for (size_t k = 1; k < n && i + k < utf8.size(); ++k) {
      c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    out.push_back(c);
    i += n;
  }
  return out;
}

bool is_lead(int b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

TEST(Sjis, LeadByteTestCoversExactlyTheTwoRanges) {
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(is_sjis_lead(static_cast<unsigned char>(b)), is_lead(b)) << b;
  }
}

TEST(Sjis, SingleBytesAsCodePage932MapsThem) {
  for (int b = 0x00; b < 0x80; ++b) {
    EXPECT_EQ(code_points(to_utf8(bytes({b}))), std::u32string(1, static_cast<char32_t>(b))) << b;
  }
  // Yen sign and overline are the ASCII backslash and tilde here.
  EXPECT_EQ(to_utf8("\x5C"), "\\");
  EXPECT_EQ(to_utf8("\x7E"), "~");
  EXPECT_EQ(to_sjis("¥‾"), "\x5C\x7E");
  for (int b = 0xA1; b <= 0xDF; ++b) {
    EXPECT_EQ(code_points(to_utf8(bytes({b}))), std::u32string(1, 0xFF61 + (b - 0xA1))) << b;
    EXPECT_EQ(to_sjis(to_utf8(bytes({b}))), bytes({b}));
  }
  for (int b : {0x80, 0xA0, 0xFD, 0xFE, 0xFF}) EXPECT_EQ(to_utf8(bytes({b})), kReplacement) << b;
}

TEST(Sjis, KnownDoubleByteCharacters) {
  const std::pair<int, char32_t> table[] = {
      {0x8140, 0x3000}, {0x82A0, 0x3042}, {0x8341, 0x30A2}, {0x889F, 0x4E9C}, {0x8ABF, 0x6F22},
      {0xEAA4, 0x7199}, {0x815F, 0xFF3C}, {0x8160, 0xFF5E}, {0x8161, 0x2225}, {0x817C, 0xFF0D},
      {0x8191, 0xFFE0}, {0x81CA, 0xFFE2}, {0x8740, 0x2460}, {0x875F, 0x3349}, {0x879A, 0x2235},
      {0xED40, 0x7E8A}, {0xEEEF, 0x2170}, {0xFA40, 0x2170}, {0xFA4A, 0x2160}, {0xFC4B, 0x9ED1},
      {0xF040, 0xE000}, {0xF9FC, 0xE757},
  };
  for (auto [code, expected] : table) {
    EXPECT_EQ(code_points(to_utf8(pair(code))), std::u32string(1, expected)) << std::hex << code;
  }
}

TEST(Sjis, EveryCodeOfTheLeadRangesDecodesToOneCharacterAndBack) {
  int assigned = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!is_lead(lead)) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      const int code = lead << 8 | trail;
      SCOPED_TRACE(testing::Message() << std::hex << code);
      const std::string utf8 = to_utf8(pair(code));
      const std::u32string chars = code_points(utf8);
      ASSERT_EQ(chars.size(), 1u);
      if (utf8 == kReplacement) continue;
      ++assigned;
      ASSERT_GE(chars[0], 0x80u);
      // Duplicates (NEC row 13 and the two copies of the IBM extensions)
      // come back as one canonical code; everything comes back as itself.
      const std::string back = to_sjis(utf8);
      ASSERT_EQ(back.size(), 2u);
      EXPECT_EQ(to_utf8(back), utf8);
      const bool jis_x0208 = (lead <= 0x84) || (lead >= 0x88 && lead <= 0x9F) ||
                             (lead >= 0xE0 && lead <= 0xEA) || (lead >= 0xF0 && lead <= 0xF9);
      if (jis_x0208) {
        EXPECT_EQ(back, pair(code));
      }
    }
  }
  // JIS X 0208 (6879), NEC row 13 (83), the NEC-selected (374) and IBM (388)
  // extensions and the user-defined area (1880).
  EXPECT_EQ(assigned, 6879 + 83 + 374 + 388 + 1880);

  // ① ⅰ 纊 ∵ ￢ Ⅰ: which copy comes back.
  for (auto [code, back] : {std::pair{0x8740, 0x8740},
                            {0xEEEF, 0xFA40},
                            {0xED40, 0xFA5C},
                            {0x879A, 0x81E6},
                            {0xFA54, 0x81CA},
                            {0xFA4A, 0x8754}})
    EXPECT_EQ(to_sjis(to_utf8(pair(code))), pair(back)) << std::hex << code;
}

TEST(Sjis, BrokenInputBecomesReplacementWithoutEatingItsNeighbours) {
  // A lead byte at the end, an unassigned code, a lead byte whose follower is
  // not a trail byte (that follower survives), bytes that lead nothing.
  const std::pair<const char*, const char*> broken[] = {
      {"\x82", "\uFFFD"},      {"A\x82", "A\uFFFD"},
      {"\x85@A", "\uFFFDA"},   {"\x82 A", "\uFFFD A"},
      {"\x82\n", "\uFFFD\n"},  {"\x81\x7F", "\uFFFD\x7F"},
      {"\xFF\x41", "\uFFFDA"}, {"", ""}};
  for (auto [sjis, utf8] : broken) EXPECT_EQ(to_utf8(sjis), utf8) << sjis;
  EXPECT_EQ(to_utf8(bytes({0x82, 0})), kReplacement + '\0');

  // No Shift-JIS form (in or outside the BMP), a stray continuation byte, a
  // sequence cut short at the end or by another character.
  const std::pair<const char*, const char*> unmapped[] = {
      {"é", "?"},        {"x\xF0\x9F\x98\x80y", "x?y"}, {"\x80\x41", "?A"},
      {"\xE3\x81", "?"}, {"\xE3\x81\x41", "?A"},        {"\xF0\x9F\xE3\x81\x82", "?\x82\xA0"},
      {"", ""}};
  for (auto [utf8, sjis] : unmapped) EXPECT_EQ(to_sjis(utf8), sjis) << utf8;
}

TEST(Sjis, MixedTextRoundTrips) {
  const std::string utf8 = "Vellumite ｱｲｳ「あいう」漢字①ⅰ㈱～＼ 12:34 <tag>\n";
  const std::string sjis = to_sjis(utf8);
  EXPECT_EQ(to_utf8(sjis), utf8);
  EXPECT_EQ(to_sjis(to_utf8(sjis)), sjis);
  EXPECT_EQ(to_sjis("①ⅰ"), "\x87\x40\xFA\x40");
  EXPECT_EQ(to_sjis("あ漢"), "\x82\xA0\x8A\xBF");
  // Long text crosses the converter's internal buffer.
  std::string long_utf8;
  for (int i = 0; i < 2000; ++i) long_utf8 += "文字A";
  EXPECT_EQ(to_utf8(to_sjis(long_utf8)), long_utf8);
  EXPECT_EQ(to_sjis(long_utf8).size(), 2000u * 5);
}

}  // namespace
}  // namespace vellumite
