// The printf-style formatter: conversions, flags, and what happens where printf would misbehave.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <limits>

#include "resources/strings/StringFormat.h"
#include "tests/app_text/GermanLocale.h"

namespace {

TEST(FormatString, IntegerConversions) {
  EXPECT_EQ(FormatString("%d", 42), "42");
  EXPECT_EQ(FormatString("%i", -42), "-42");
  EXPECT_EQ(FormatString("%u", 42u), "42");
  EXPECT_EQ(FormatString("%02u", 5u), "05");
  EXPECT_EQ(FormatString("%02u", 123u), "123");
  EXPECT_EQ(FormatString("%x %X %#x %o", 255, 255u, 255, 8), "ff FF 0xff 10");
  EXPECT_EQ(FormatString("%5d|%-5d|%05d|%+d|% d", 42, 42, -42, 42, 42), "   42|42   |-0042|+42| 42");
  EXPECT_EQ(FormatString("%.3d|%.0d|%8.3d", 7, 0, -7), "007||    -007");
  EXPECT_EQ(FormatString("%lld %ld %hd %I64d", std::numeric_limits<long long>::min(), 1L, 2, 3),
            "-9223372036854775808 1 2 3");
  EXPECT_EQ(FormatString("%u", std::numeric_limits<std::uint64_t>::max()), "18446744073709551615");
}

TEST(FormatString, MatchesPrintfForTheCommonCases) {
  const char* const formats[] = {"%d", "%5d", "%-5d|", "%05d", "%+d", "% d", "%.3d", "%x", "%#X", "%o"};
  for (const char* format : formats) {
    for (int value : {0, 1, -1, 42, -42, 100000, std::numeric_limits<int>::min()}) {
      char expected[64];
      std::snprintf(expected, sizeof expected, format, value);
      EXPECT_EQ(FormatString(format, value), expected) << format << " with " << value;
    }
  }
  const char* const realFormats[] = {"%f", "%.1f", "%.2f", "%8.3f", "%-8.1f|", "%+.0f", "%e", "%.3E", "%g", "%G", "%010.2f"};
  for (const char* format : realFormats) {
    for (double value : {0.0, 2.5, -2.5, 0.05, 1234.5678, -88.8, 1e-7, 123456789.0}) {
      char expected[128];
      std::snprintf(expected, sizeof expected, format, value);
      EXPECT_EQ(FormatString(format, value), expected) << format << " with " << value;
    }
  }
}

TEST(FormatString, RealConversions) {
  EXPECT_EQ(FormatString("%.1f", 2.5), "2.5");
  EXPECT_EQ(FormatString("%.1f", 2.45f), "2.5"); // 2.45f is slightly above 2.45
  EXPECT_EQ(FormatString("%.0f", -88.8), "-89");
  EXPECT_EQ(FormatString("%.2f", 17.15), "17.15");
  EXPECT_EQ(FormatString("%f", std::numeric_limits<double>::infinity()), "inf");
  EXPECT_EQ(FormatString("%05.1f", -std::numeric_limits<double>::infinity()), " -inf");
  EXPECT_EQ(FormatString("%.1f", 1e308).size(), 311u);
}

TEST(FormatString, TextAndCharacters) {
  EXPECT_EQ(FormatString("In %s!", "Out"), "In Out!");
  EXPECT_EQ(FormatString("[%5s|%-5s|%.2s]", "ab", "ab", "abcd"), "[   ab|ab   |ab]");
  EXPECT_EQ(FormatString("%s", std::string("x y")), "x y");
  EXPECT_EQ(FormatString("%s", static_cast<const char*>(nullptr)), "");
  EXPECT_EQ(FormatString("%c%c", 'o', 107), "ok");
}

TEST(FormatString, PercentSignsAndMalformedConversions) {
  EXPECT_EQ(FormatString(" Writing parameters... (%d%%)", 25), " Writing parameters... (25%)");
  EXPECT_EQ(FormatString("100%"), "100%");
  EXPECT_EQ(FormatString("%q and %d", 3), "%q and 3");
  EXPECT_EQ(FormatString("%5", 3), "%5");
  EXPECT_EQ(FormatString("%.", 3), "%.");
  EXPECT_EQ(FormatString(""), "");
}

TEST(FormatString, MissingArgumentsWriteNothing) {
  EXPECT_EQ(FormatString("a%db%sc"), "abc");
  EXPECT_EQ(FormatString("%d and %d", 1), "1 and ");
}

TEST(FormatString, ExtraArgumentsAreIgnored) { EXPECT_EQ(FormatString("%d", 1, 2, "x"), "1"); }

TEST(FormatString, KindMismatchNeverReadsTheWrongThing) {
  EXPECT_EQ(FormatString("[%d]", "text"), "[]");
  EXPECT_EQ(FormatString("[%s]", 12), "[]");
  EXPECT_EQ(FormatString("[%f]", "text"), "[]");
  EXPECT_EQ(FormatString("[%c]", 1.5), "[]");
  // Numbers convert between kinds instead of being reinterpreted.
  EXPECT_EQ(FormatString("%d", 12.9), "12");
  EXPECT_EQ(FormatString("%d", -12.9), "-12");
  EXPECT_EQ(FormatString("%d", 1e300), "0");
  EXPECT_EQ(FormatString("%d", std::numeric_limits<double>::quiet_NaN()), "0");
  EXPECT_EQ(FormatString("%.1f", 3), "3.0");
  EXPECT_EQ(FormatString("%.1f", 3u), "3.0");
}

TEST(FormatString, NegativeValueForUnsignedConversionWraps) {
  EXPECT_EQ(FormatString("%u", -1), "4294967295");
  EXPECT_EQ(FormatString("%x", -1), "ffffffff");
  EXPECT_EQ(FormatString("%llu", -1), "18446744073709551615");
}

TEST(FormatString, HugeWidthIsCapped) {
  EXPECT_EQ(FormatString("%99999999999d", 1).size(), 1024u);
  EXPECT_EQ(FormatString("%.99999999999f", 1.0).size(), 1026u);
}

TEST(FormatString, ConversionKinds) {
  EXPECT_EQ(FormatConversionKinds("plain"), "");
  EXPECT_EQ(FormatConversionKinds("%d%% %u %02u %.1f %s %c %lld %x"), "iuufsciu");
  EXPECT_EQ(FormatConversionKinds("%q"), "?");
}

TEST(FormatString, IndependentOfTheGermanLocale) {
  std::string problem = testing_support::UseGermanLocale();
  ASSERT_EQ(problem, "");
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 2.5);
  EXPECT_STREQ(probe, "2,5") << "the German locale should use a decimal comma";
  EXPECT_EQ(FormatString("%.1f|%.3e|%g", 2.5, 1234.0, 0.25), "2.5|1.234e+03|0.25");
  EXPECT_EQ(FormatString("%d", 1234567), "1234567");
  testing_support::RestoreClassicLocale();
}

} // namespace
