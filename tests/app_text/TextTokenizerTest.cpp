// The field tokenizer of the text data files, on narrow and UTF-16 lines.
#include <gtest/gtest.h>

#include "platform/base/TextTokenizer.h"
#include "tests/app_text/GermanLocale.h"

namespace {

TEST(NextToken, ConsecutiveDelimitersGiveEmptyTokens) {
  TextCursor cursor("a\t\tb");
  EXPECT_EQ(NextToken(cursor, "\t"), "a");
  EXPECT_EQ(NextToken(cursor, "\t"), "");
  EXPECT_EQ(NextToken(cursor, "\t"), "b");
  EXPECT_TRUE(cursor.AtEnd());
  EXPECT_EQ(NextToken(cursor, "\t"), "");
  EXPECT_EQ(cursor.Position(), 4u);
}

TEST(NextToken, NothingIsTrimmed) {
  TextCursor cursor(" x ,y");
  EXPECT_EQ(NextToken(cursor, ","), " x ");
  EXPECT_EQ(NextToken(cursor, ","), "y");
}

TEST(NextToken, AnyCharacterOfTheSetEndsTheToken) {
  TextCursor cursor("1,2\"3\t4\n5");
  EXPECT_EQ(NextToken(cursor, kLastComponentDelimiters), "1");
  EXPECT_EQ(NextToken(cursor, kLastComponentDelimiters), "2");
  EXPECT_EQ(NextToken(cursor, kLastComponentDelimiters), "3");
  EXPECT_EQ(NextToken(cursor, kLastComponentDelimiters), "4");
  EXPECT_EQ(NextToken(cursor, kLastComponentDelimiters), "5");
}

TEST(NextToken, TrailingDelimiterLeavesTheCursorAtTheEnd) {
  TextCursor cursor("a\t");
  EXPECT_EQ(NextToken(cursor, "\t"), "a");
  EXPECT_TRUE(cursor.AtEnd());
  EXPECT_EQ(NextToken(cursor, "\t"), "");
}

TEST(NextToken, EmptyText) {
  TextCursor cursor("");
  EXPECT_EQ(NextToken(cursor, "\t"), "");
  EXPECT_EQ(NextInt(cursor, "\t"), 0);
  EXPECT_EQ(NextHex(cursor, "\t"), 0u);
  EXPECT_EQ(NextColor(cursor), 0u);
  EXPECT_EQ(NextIntPair(cursor), (std::pair<std::int32_t, std::int32_t>(0, 0)));
}

TEST(NextToken, Utf16Lines) {
  TextCursor16 cursor(u"Eingang\u00e4\t\t12\t0x1F");
  EXPECT_EQ(NextToken(cursor, "\t"), u"Eingang\u00e4");
  EXPECT_EQ(NextToken(cursor, "\t"), u"");
  EXPECT_EQ(NextInt(cursor, "\t"), 12);
  EXPECT_EQ(NextHex(cursor, "\t"), 0x1Fu);
}

TEST(NextToken, NonAsciiCodeUnitsNeverMatchAsciiDelimiters) {
  // U+0109 has the low byte 0x09 (TAB); it must not end a field.
  TextCursor16 cursor(u"a\u0109b\tc");
  EXPECT_EQ(NextToken(cursor, "\t"), u"a\u0109b");
}

TEST(NextInt, DecimalWithSignAndLeadingWhiteSpace) {
  TextCursor cursor("42\t-7\t +15\t\t12abc\tabc\t  \t\v-0");
  EXPECT_EQ(NextInt(cursor, "\t"), 42);
  EXPECT_EQ(NextInt(cursor, "\t"), -7);
  EXPECT_EQ(NextInt(cursor, "\t"), 15);
  EXPECT_EQ(NextInt(cursor, "\t"), 0);
  EXPECT_EQ(NextInt(cursor, "\t"), 12);
  EXPECT_EQ(NextInt(cursor, "\t"), 0);
  EXPECT_EQ(NextInt(cursor, "\t"), 0);
  EXPECT_EQ(NextInt(cursor, "\t"), 0);
}

TEST(NextInt, OverflowIsRejectedNotWrapped) {
  TextCursor cursor("2147483647,-2147483648,2147483648,-2147483649,99999999999999999999");
  EXPECT_EQ(NextInt(cursor, ","), 2147483647);
  EXPECT_EQ(NextInt(cursor, ","), -2147483647 - 1);
  EXPECT_EQ(NextInt(cursor, ","), 0);
  EXPECT_EQ(NextInt(cursor, ","), 0);
  EXPECT_EQ(NextInt(cursor, ","), 0);
}

TEST(NextHex, AcceptsOptionalPrefixAndSurroundingSpaces) {
  TextCursor cursor("0x20000\t 20000 \t0X1aF\tffffffff\t  0x7  ");
  EXPECT_EQ(NextHex(cursor, "\t"), 0x20000u);
  EXPECT_EQ(NextHex(cursor, "\t"), 0x20000u);
  EXPECT_EQ(NextHex(cursor, "\t"), 0x1AFu);
  EXPECT_EQ(NextHex(cursor, "\t"), 0xFFFFFFFFu);
  EXPECT_EQ(NextHex(cursor, "\t"), 7u);
}

TEST(NextHex, AnythingElseGivesZero) {
  TextCursor cursor("20000x\t0x\t\t1 2\t-1\tg\t100000000\t0x 1\t\t1\t");
  EXPECT_EQ(NextHex(cursor, "\t"), 0u);  // 20000x
  EXPECT_EQ(NextHex(cursor, "\t"), 0u);  // 0x without digits
  EXPECT_EQ(NextHex(cursor, "\t"), 0u);  // empty
  EXPECT_EQ(NextHex(cursor, "\t"), 0u);  // 1 2
  EXPECT_EQ(NextHex(cursor, "\t"), 0u);  // -1
  EXPECT_EQ(NextHex(cursor, "\t"), 0u);  // g
  EXPECT_EQ(NextHex(cursor, "\t"), 0u);  // more than 32 bits
  EXPECT_EQ(NextHex(cursor, "\t"), 0u);  // space after the prefix
  EXPECT_EQ(NextHex(cursor, "\t"), 0u);  // tab inside is a delimiter: empty token
  EXPECT_EQ(NextHex(cursor, "\t"), 1u);
}

TEST(NextColor, RedIsTheLowByte) {
  TextCursor cursor("180,145,160\tnext");
  EXPECT_EQ(NextColor(cursor), 180u + 256u * 145u + 65536u * 160u);
  EXPECT_EQ(NextToken(cursor, "\t"), "next");
}

TEST(NextColor, QuotedComponentsAndLowEightBits) {
  TextCursor cursor("\"1,2,3\"");
  // The opening quote gives an empty red; then 1 and 2 follow.
  EXPECT_EQ(NextColor(cursor), 0u + 256u * 1u + 65536u * 2u);

  TextCursor wide("256,-1,511\n");
  EXPECT_EQ(NextColor(wide), 0u + 256u * 255u + 65536u * 255u);
  EXPECT_TRUE(wide.AtEnd());
}

TEST(NextColor, MissingComponentsAreBlack) {
  TextCursor cursor("255");
  EXPECT_EQ(NextColor(cursor), 255u);
  TextCursor16 wide(u"0,255");
  EXPECT_EQ(NextColor(wide), 0xFF00u);
}

TEST(NextIntPair, TwoFieldsEndedByTabOrLineFeed) {
  TextCursor cursor("12,-34\t5,6\n7");
  EXPECT_EQ(NextIntPair(cursor), (std::pair<std::int32_t, std::int32_t>(12, -34)));
  EXPECT_EQ(NextIntPair(cursor), (std::pair<std::int32_t, std::int32_t>(5, 6)));
  EXPECT_EQ(NextIntPair(cursor), (std::pair<std::int32_t, std::int32_t>(7, 0)));
}

TEST(Tokenizer, SameResultsUnderAGermanLocale) {
  std::string problem = testing_support::UseGermanLocale();
  ASSERT_EQ(problem, "") << problem;
  TextCursor cursor("1.234,5\t-12\t0x1F\t180,145,160\t3,4");
  EXPECT_EQ(NextInt(cursor, "\t"), 1);
  EXPECT_EQ(NextInt(cursor, "\t"), -12);
  EXPECT_EQ(NextHex(cursor, "\t"), 0x1Fu);
  EXPECT_EQ(NextColor(cursor), 180u + 256u * 145u + 65536u * 160u);
  EXPECT_EQ(NextIntPair(cursor), (std::pair<std::int32_t, std::int32_t>(3, 4)));
  testing_support::RestoreClassicLocale();
}

} // namespace
