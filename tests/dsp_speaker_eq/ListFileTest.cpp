// The list file: entry lines, aliases, the load directive, comments and refused lines.
#include <gtest/gtest.h>

#include <string>

#include "dsp_blocks/speaker_eq/SpeakerEqListFile.h"
#include "dsp_blocks/speaker_eq/TextConversion.h"

using speaker_eq::ParseSpeakerEqList;
using speaker_eq::SpeakerEqList;

namespace {

SpeakerEqList Parse(std::u16string_view text, bool expectOk = true)
{
    SpeakerEqList list;
    std::string error;
    EXPECT_EQ(ParseSpeakerEqList(text, list, error), expectOk) << error;
    return list;
}

}  // namespace

TEST(SpeakerEqListFile, EntryWithoutAliasUsesItsNameAsEqName)
{
    const SpeakerEqList list = Parse(u"\"Top 12\"\n");
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.entries[0].name, u"Top 12");
    EXPECT_EQ(list.entries[0].eqName, u"Top 12");
}

TEST(SpeakerEqListFile, AliasLineTakesTheSecondNameAsEqName)
{
    const SpeakerEqList list = Parse(u"\"Sub\" <- \"SUB-12\"\n\"Sub2\"<-\"SUB-15\"   \n");
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.entries[0].name, u"Sub");
    EXPECT_EQ(list.entries[0].eqName, u"SUB-12");
    EXPECT_EQ(list.entries[1].eqName, u"SUB-15");
}

TEST(SpeakerEqListFile, CommentAndBlankLinesLoadAsIfAbsent)
{
    const SpeakerEqList plain = Parse(u"\"A\"\n$load=\"x.xml\"\n\"B\"\n");
    const SpeakerEqList commented =
        Parse(u"# head\n\n \t# indented\n\"A\"\r\n   \n$load=\"x.xml\"\r\n#\"C\"\n\t\"B\"");
    ASSERT_EQ(commented.entries.size(), plain.entries.size());
    for (std::size_t i = 0; i < plain.entries.size(); ++i) {
        EXPECT_EQ(commented.entries[i].name, plain.entries[i].name);
    }
    EXPECT_EQ(commented.definitionFile, plain.definitionFile);
}

TEST(SpeakerEqListFile, LoadDirectiveAcceptsBlanksAndNoEqualsSign)
{
    EXPECT_EQ(Parse(u"$load \"a.xml\"\n").definitionFile, u"a.xml");
    EXPECT_EQ(Parse(u"$load\t=\t\"b.xml\"  \n").definitionFile, u"b.xml");
}

TEST(SpeakerEqListFile, LaterLoadDirectiveReplacesEarlierOne)
{
    EXPECT_EQ(Parse(u"$load=\"first.xml\"\n\"A\"\n$load=\"second.xml\"\n").definitionFile, u"second.xml");
}

TEST(SpeakerEqListFile, EntriesKeepListOrderAndDefaults)
{
    const SpeakerEqList list = Parse(u"\"C\"\n\"A\"\n\"B\"\n");
    ASSERT_EQ(list.entries.size(), 3u);
    EXPECT_EQ(list.entries[0].name, u"C");
    EXPECT_EQ(list.entries[2].name, u"B");
    EXPECT_EQ(list.entries[1].highPassFrequency, 20.0f);
    EXPECT_EQ(list.entries[1].limiterFlag, 0);
}

TEST(SpeakerEqListFile, LineThatIsNeitherEntryNorDirectiveFails)
{
    Parse(u"\"A\"\nplain text\n", false);
    Parse(u"\"A\" trailing\n", false);
    Parse(u"\"A\" <- B\n", false);
    Parse(u"\"unterminated\n", false);
    Parse(u"$load = x.xml\n", false);
}

TEST(SpeakerEqListFile, UnknownDirectiveFails)
{
    Parse(u"$include = \"x.xml\"\n", false);
}

TEST(SpeakerEqListFile, DefinitionFileWithFolderPartIsRefused)
{
    Parse(u"$load = \"../elsewhere.xml\"\n", false);
    Parse(u"$load = \"/etc/passwd\"\n", false);
    Parse(u"$load = \"sub\\\\x.xml\"\n", false);
}

TEST(SpeakerEqListFile, NameTheLimiterBlobCannotCarryIsRefused)
{
    const std::u16string fits(speaker_eq::kMaxPresetNameBytes, u'n');
    const std::u16string tooLong(speaker_eq::kMaxPresetNameBytes + 1, u'n');
    EXPECT_EQ(Parse(u"\"" + fits + u"\"\n").entries.size(), 1u);
    Parse(u"\"" + tooLong + u"\"\n", false);
}

TEST(SpeakerEqListFile, NameOutsideWindows1252IsRefused)
{
    EXPECT_EQ(Parse(u"\"Caf\u00E9 \u20AC\"\n").entries.size(), 1u);
    Parse(u"\"\u0416\"\n", false);
}

TEST(SpeakerEqListFile, EmptyNameIsRefused)
{
    Parse(u"\"\"\n", false);
}

TEST(SpeakerEqListFile, TextFilesDecodeFromUtf8Utf16AndWindows1252)
{
    EXPECT_EQ(speaker_eq::DecodeTextFile("\xEF\xBB\xBF\"Caf\xC3\xA9\""), u"\"Caf\u00E9\"");
    EXPECT_EQ(speaker_eq::DecodeTextFile(std::string("\xFF\xFE\"\0A\0\"\0", 8)), u"\"A\"");
    EXPECT_EQ(speaker_eq::DecodeTextFile("\"Caf\xE9 \x80\""), u"\"Caf\u00E9 \u20AC\"");
}

TEST(SpeakerEqListFile, StrictUtf8RefusesMalformedSequences)
{
    EXPECT_FALSE(speaker_eq::Utf8ToUtf16("\xC0\xAF").has_value());
    EXPECT_FALSE(speaker_eq::Utf8ToUtf16("\xED\xA0\x80").has_value());
    EXPECT_FALSE(speaker_eq::Utf8ToUtf16("\xE2\x82").has_value());
    EXPECT_EQ(speaker_eq::Utf8ToUtf16("\xF0\x9F\x8E\xB5").value(), u"\U0001F3B5");
}
