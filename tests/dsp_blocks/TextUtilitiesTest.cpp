// Model names, channel classes and the locale-independent text parsers.
#include <gtest/gtest.h>

#include <vector>

#include "dsp_blocks/blocks/ModelUtilities.h"
#include "dsp_blocks/blocks/TextUtilities.h"

TEST(ModelUtilities, NamesTheFiveModelsAndAnythingElseIsUnknown)
{
    EXPECT_EQ(GetModelName(ModelType::MV220), u"MV220");
    EXPECT_EQ(GetModelName(ModelType::MV220P), u"MV220P");
    EXPECT_EQ(GetModelName(ModelType::MV440), u"MV440");
    EXPECT_EQ(GetModelName(ModelType::MV440A), u"MV440A");
    EXPECT_EQ(GetModelName(ModelType::MV340A), u"MV340A");
    EXPECT_EQ(GetModelName(ModelType::Unknown), u"Unknown model");
    EXPECT_EQ(GetModelName(static_cast<ModelType>(-1)), u"Unknown model");
}

TEST(ModelUtilities, TwoChannelClassOnlyForTheMV220Family)
{
    EXPECT_EQ(GetModelChannelClass(ModelType::MV220), 2);
    EXPECT_EQ(GetModelChannelClass(ModelType::MV220P), 2);
    EXPECT_EQ(GetModelChannelClass(ModelType::MV440), 4);
    EXPECT_EQ(GetModelChannelClass(ModelType::MV340A), 4);
    EXPECT_EQ(GetModelChannelClass(ModelType::Unknown), 4);
}

TEST(ParseHex, AcceptsPrefixAndSurroundingSpaces)
{
    EXPECT_EQ(ParseHex(u"0x1A"), 26u);
    EXPECT_EQ(ParseHex(u"  1a  "), 26u);
    EXPECT_EQ(ParseHex(u"0X20000"), 0x20000u);
    EXPECT_EQ(ParseHex(u"20000"), 0x20000u);
}

TEST(ParseHex, InvalidTextGivesZero)
{
    EXPECT_EQ(ParseHex(u"0x"), 0u);
    EXPECT_EQ(ParseHex(u"1G"), 0u);
    EXPECT_EQ(ParseHex(u""), 0u);
    EXPECT_EQ(ParseHex(u"20000x"), 0u);
    EXPECT_EQ(ParseHex(u"1 2"), 0u);
}

TEST(ParseFloat, ReadsSignedDecimals)
{
    float value = 0.0f;
    ASSERT_TRUE(ParseFloat(u"-.5", value));
    EXPECT_FLOAT_EQ(value, -0.5f);
    ASSERT_TRUE(ParseFloat(u" +12.25 ", value));
    EXPECT_FLOAT_EQ(value, 12.25f);
    ASSERT_TRUE(ParseFloat(u"7.", value));
    EXPECT_FLOAT_EQ(value, 7.0f);
}

TEST(ParseFloat, RefusesMalformedTextAndKeepsOut)
{
    float value = 3.0f;
    EXPECT_FALSE(ParseFloat(u".", value));
    EXPECT_FALSE(ParseFloat(u"1.2a", value));
    EXPECT_FALSE(ParseFloat(u"", value));
    EXPECT_FALSE(ParseFloat(u"--1", value));
    EXPECT_FLOAT_EQ(value, 3.0f);
}

TEST(ParseFloat, RefusesValuesBeyondSinglePrecisionButReadsLongFractions)
{
    float value = 0.0f;
    EXPECT_FALSE(ParseFloat(std::u16string(60, u'9'), value));
    ASSERT_TRUE(ParseFloat(u"0." + std::u16string(60, u'3'), value));
    EXPECT_NEAR(value, 1.0f / 3.0f, 1e-6f);
}

TEST(SplitString, DropsEmptyFields)
{
    std::vector<std::u16string> fields{u"old"};
    EXPECT_EQ(SplitString(u",,a,b,,c,", fields, u","), 3u);
    EXPECT_EQ(fields, (std::vector<std::u16string>{u"a", u"b", u"c"}));
    EXPECT_EQ(SplitString(u" \t ", fields, u" \t"), 0u);
    EXPECT_TRUE(fields.empty());
}
