// Windows-1252 conversion to and from UTF-8 and UTF-16.
#include "platform/base/Cp1252.h"

#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

std::string AllBytes()
{
    std::string bytes;
    for (int b = 0; b < 256; ++b) {
        bytes.push_back(static_cast<char>(b));
    }
    return bytes;
}

TEST(Cp1252, EveryByteRoundTripsThroughUtf8)
{
    const std::string bytes = AllBytes();
    bool lossless = false;
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(bytes), '?', &lossless), bytes);
    EXPECT_TRUE(lossless);
}

TEST(Cp1252, EveryByteRoundTripsThroughUtf16)
{
    const std::string bytes = AllBytes();
    const std::u16string wide = Cp1252ToUtf16(bytes);
    ASSERT_EQ(wide.size(), 256u);
    bool lossless = false;
    EXPECT_EQ(Utf16ToCp1252(wide, '?', &lossless), bytes);
    EXPECT_TRUE(lossless);
}

TEST(Cp1252, EveryByteMapsToADistinctCodePoint)
{
    for (int b = 0; b < 256; ++b) {
        const char16_t cp = Cp1252ToUnicode(static_cast<unsigned char>(b));
        const auto back = UnicodeToCp1252(cp);
        ASSERT_TRUE(back.has_value()) << b;
        EXPECT_EQ(*back, b);
    }
}

TEST(Cp1252, UndefinedBytesBecomeTheC1ControlsOfTheSameValue)
{
    for (const unsigned char b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        EXPECT_EQ(Cp1252ToUnicode(b), static_cast<char16_t>(b));
        const std::string utf8 = Cp1252ToUtf8(std::string(1, static_cast<char>(b)));
        EXPECT_EQ(utf8, std::string({'\xC2', static_cast<char>(b)}));
    }
}

TEST(Cp1252, RowEightyHoldsTheWindowsCharacters)
{
    EXPECT_EQ(Cp1252ToUnicode(0x80), u'\u20AC');
    EXPECT_EQ(Cp1252ToUnicode(0x8A), u'\u0160');
    EXPECT_EQ(Cp1252ToUnicode(0x99), u'\u2122');
    EXPECT_EQ(Cp1252ToUnicode(0x9F), u'\u0178');
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(Utf8ToCp1252("\xE2\x80\x9C" "a" "\xE2\x80\x9D"), "\x93" "a" "\x94");
}

TEST(Cp1252, LatinOneRangeMapsToItself)
{
    EXPECT_EQ(Cp1252ToUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(Utf8ToCp1252("\xC3\xBF"), "\xFF");
    EXPECT_EQ(Cp1252ToUtf16("\xA0\xFF"), u"\u00A0\u00FF");
}

TEST(Cp1252, CharacterOutsideTheCodePageBecomesTheReplacement)
{
    bool lossless = true;
    EXPECT_EQ(Utf8ToCp1252("a\xE6\x97\xA5" "b", '?', &lossless), "a?b");  // U+65E5
    EXPECT_FALSE(lossless);
    EXPECT_EQ(Utf16ToCp1252(u"x\u65E5", '_'), "x_");
}

TEST(Cp1252, C1ControlsTheCodePageDefinesOtherwiseAreNotMapped)
{
    // 0x80 is the euro sign, so U+0080 has no byte; likewise U+009F.
    EXPECT_FALSE(UnicodeToCp1252(0x80).has_value());
    EXPECT_FALSE(UnicodeToCp1252(0x9F).has_value());
    EXPECT_EQ(Utf8ToCp1252("\xC2\x80"), "?");
}

TEST(Cp1252, MalformedUtf8IsReplacedBytewiseAndDecodingResumes)
{
    bool lossless = true;
    EXPECT_EQ(Utf8ToCp1252("\x80" "A", '?', &lossless), "?A");  // lone continuation
    EXPECT_FALSE(lossless);
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAF" "A"), "??A");          // overlong '/'
    EXPECT_EQ(Utf8ToCp1252("\xE2\x82" "A"), "??A");           // truncated euro sign
    EXPECT_EQ(Utf8ToCp1252("\xE2\x82"), "??");                // truncated at the end
    EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80" "A"), "???A");      // encoded surrogate
    EXPECT_EQ(Utf8ToCp1252("\xF4\x90\x80\x80" "A"), "????A"); // above U+10FFFF
    EXPECT_EQ(Utf8ToCp1252("\xFF" "A"), "?A");                // never a lead byte
}

TEST(Cp1252, FourByteUtf8CharacterIsOneReplacement)
{
    EXPECT_EQ(Utf8ToCp1252("a\xF0\x9F\x98\x80" "b"), "a?b");  // U+1F600
}

TEST(Cp1252, SurrogatePairIsOneCharacterAndUnpairedHalvesAreReplaced)
{
    EXPECT_EQ(Utf16ToCp1252(u"a\U0001F600b"), "a?b");
    std::u16string lonelyHigh = u"a";
    lonelyHigh.push_back(static_cast<char16_t>(0xD83D));
    lonelyHigh.push_back(u'b');
    EXPECT_EQ(Utf16ToCp1252(lonelyHigh), "a?b");
    std::u16string lonelyLow;
    lonelyLow.push_back(static_cast<char16_t>(0xDE00));
    EXPECT_EQ(Utf16ToCp1252(lonelyLow), "?");
    std::u16string highAtEnd = u"z";
    highAtEnd.push_back(static_cast<char16_t>(0xD800));
    EXPECT_EQ(Utf16ToCp1252(highAtEnd), "z?");
}

TEST(Utf16ToUtf8, EncodesEveryPlaneAndReplacesUnpairedSurrogates)
{
    EXPECT_EQ(Utf16ToUtf8(u"MV440 v5.20"), "MV440 v5.20");
    EXPECT_EQ(Utf16ToUtf8(u"\u00E9\u20AC\U0001F600"), "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    std::u16string lonely = u"a";
    lonely.push_back(static_cast<char16_t>(0xD83D));
    EXPECT_EQ(Utf16ToUtf8(lonely), "a\xEF\xBF\xBD");
    EXPECT_EQ(Utf16ToUtf8(u""), "");
}

TEST(Cp1252, EmptyTextStaysEmpty)
{
    bool lossless = false;
    EXPECT_EQ(Utf8ToCp1252("", '?', &lossless), "");
    EXPECT_TRUE(lossless);
    EXPECT_EQ(Cp1252ToUtf8(""), "");
    EXPECT_EQ(Cp1252ToUtf16(""), u"");
}

}  // namespace
}  // namespace platform
