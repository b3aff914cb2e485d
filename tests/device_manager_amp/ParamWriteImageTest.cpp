// The write image: area offsets, size and channel rules, and the dirty-mask bits.
#include "device_manager/amplifier/ParamWriteImage.h"

#include <gtest/gtest.h>

#include <vector>

namespace CobaltDeviceManager {
namespace {

std::vector<std::uint8_t> Filled(std::size_t size, std::uint8_t value)
{
    return std::vector<std::uint8_t>(size, value);
}

struct AreaCase {
    std::int32_t type;
    std::int32_t channel;
    std::uint32_t coefficientOffset;
    std::uint32_t coefficientSize;
    std::uint32_t parameterOffset;
    std::uint32_t parameterSize;
    std::uint64_t bits;
};

class BlockAreas : public ::testing::TestWithParam<AreaCase> {};

TEST_P(BlockAreas, StoreBlockCopiesIntoTheTypesAreasAndSetsItsBits)
{
    const AreaCase& c = GetParam();
    ParamWriteImage image;
    const auto coefficients = Filled(c.coefficientSize, 0xA5);
    const auto parameters = Filled(c.parameterSize, 0x5A);
    const std::uint64_t bits = DirtyBitsOfBlock(c.type, c.channel, 4);
    EXPECT_EQ(bits, c.bits);
    ASSERT_TRUE(image.StoreBlock(c.type, c.channel, coefficients.data(), c.coefficientSize, parameters.data(),
                                 c.parameterSize, bits));
    EXPECT_EQ(image.DirtyMask(), c.bits);
    for (std::uint32_t i = 8; i < kParamWriteImageSize; ++i) {
        std::uint8_t expected = 0;
        if (i >= c.coefficientOffset && i < c.coefficientOffset + c.coefficientSize) {
            expected = 0xA5;
        } else if (i >= c.parameterOffset && i < c.parameterOffset + c.parameterSize) {
            expected = 0x5A;
        }
        ASSERT_EQ(image.Bytes()[i], expected) << "offset " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryType, BlockAreas,
    ::testing::Values(AreaCase{1, 2, 10, 1, 14, 1, 0}, AreaCase{2, 0, 16, 360, 1456, 256, 0x10},
                      AreaCase{2, 3, 16 + 3 * 360, 360, 1456 + 3 * 256, 256, 0x80},
                      AreaCase{11, 7, 2480, 128, 2608, 512, 0xF00},
                      AreaCase{4, 1, 3120 + 160, 160, 3760 + 256, 256, 0x2000},
                      AreaCase{5, 2, 4784 + 720, 360, 6224 + 512, 256, 0x40000},
                      AreaCase{12, 3, 7248 + 144, 48, 7440 + 384, 128, 0x800000},
                      AreaCase{7, 1, 7956, 4, 7968 + 128, 128, 0x2000000},
                      AreaCase{8, 3, 8483, 1, 8484 + 384, 128, 0x8ull << 32}));

TEST(ParamWriteImage, MaskIsLittleEndianLowWordThenHighWord)
{
    ParamWriteImage image;
    image.SetDirtyMask(0x0000000300F01230ull);
    const std::uint8_t expected[8] = {0x30, 0x12, 0xF0, 0x00, 0x03, 0x00, 0x00, 0x00};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(image.Bytes()[i], expected[i]);
    }
    EXPECT_EQ(image.DirtyMask(), 0x0000000300F01230ull);
}

TEST(ParamWriteImage, RejectsTypesWithoutData)
{
    ParamWriteImage image;
    const auto data = Filled(512, 1);
    for (std::int32_t type : {0, 3, 6, 9, 10, 13, -1}) {
        EXPECT_FALSE(image.StoreBlock(type, 0, data.data(), 1, data.data(), 1, 0)) << type;
    }
    EXPECT_EQ(image.DirtyMask(), 0u);
}

TEST(ParamWriteImage, RejectsChannelOutsideZeroToThreeExceptForTheMixer)
{
    ParamWriteImage image;
    const auto data = Filled(512, 1);
    EXPECT_FALSE(image.StoreBlock(2, 4, data.data(), 360, data.data(), 256, 0x10));
    EXPECT_FALSE(image.StoreBlock(2, -1, data.data(), 360, data.data(), 256, 0x10));
    EXPECT_TRUE(image.StoreBlock(11, 7, data.data(), 128, data.data(), 512, 0xF00));
}

TEST(ParamWriteImage, CoefficientSizeMustMatchAndParametersMayBeShorter)
{
    ParamWriteImage image;
    const auto data = Filled(600, 7);
    EXPECT_FALSE(image.StoreBlock(4, 0, data.data(), 159, data.data(), 10, 0));
    EXPECT_FALSE(image.StoreBlock(4, 0, data.data(), 161, data.data(), 10, 0));
    EXPECT_FALSE(image.StoreBlock(4, 0, data.data(), 160, data.data(), 257, 0));
    EXPECT_FALSE(image.StoreBlock(4, 0, nullptr, 160, data.data(), 10, 0));
    // Shorter parameter data leave the rest of the area as it was.
    const auto first = Filled(256, 1);
    ASSERT_TRUE(image.StoreBlock(4, 0, data.data(), 160, first.data(), 256, 0x1000));
    const auto second = Filled(10, 2);
    ASSERT_TRUE(image.StoreBlock(4, 0, data.data(), 160, second.data(), 10, 0x1000));
    EXPECT_EQ(image.Bytes()[3760 + 9], 2);
    EXPECT_EQ(image.Bytes()[3760 + 10], 1);
    EXPECT_TRUE(image.StoreBlock(4, 0, data.data(), 160, nullptr, 0, 0x1000));
}

TEST(ParamWriteImage, MixerBitsFollowTheChannelClass)
{
    EXPECT_EQ(DirtyBitsOfBlock(11, 0, 4), 0xF00u);
    EXPECT_EQ(DirtyBitsOfBlock(11, 0, 3), 0x700u);
    EXPECT_EQ(DirtyBitsOfBlock(11, 0, 2), 0x300u);
    EXPECT_EQ(DirtyBitsOfBlock(11, 0, 1), 0x100u);
    EXPECT_EQ(DirtyBitsOfBlock(11, 0, 5), 0u);
    EXPECT_EQ(ChannelClassOfModel(0), 2);
    EXPECT_EQ(ChannelClassOfModel(1), 2);
    EXPECT_EQ(ChannelClassOfModel(2), 4);
    EXPECT_EQ(ChannelClassOfModel(4), 4);
}

TEST(ParamWriteImage, NoBitIsEverSetOutsideTheBlockBits)
{
    std::uint64_t all = 0;
    for (std::int32_t type = -2; type <= 14; ++type) {
        for (std::int32_t channel = -1; channel <= 8; ++channel) {
            all |= DirtyBitsOfBlock(type, channel, 4);
        }
    }
    EXPECT_EQ(all, 0x0000000F0FFFFFF0ull);
}

TEST(ParamWriteImage, EachDirtyBitSelectsTheQuarterTheLibraryReads)
{
    EXPECT_FALSE(AreasOfDirtyBit(3));
    EXPECT_FALSE(AreasOfDirtyBit(28));
    EXPECT_FALSE(AreasOfDirtyBit(36));
    const auto mixer = AreasOfDirtyBit(10);
    ASSERT_TRUE(mixer);
    EXPECT_EQ(mixer->coefficients.offset, 2480u + 64);
    EXPECT_EQ(mixer->coefficients.size, 32u);
    EXPECT_EQ(mixer->parameters.offset, 2608u + 256);
    EXPECT_EQ(mixer->parameters.size, 128u);
    const auto polarity = AreasOfDirtyBit(33);
    ASSERT_TRUE(polarity);
    EXPECT_EQ(polarity->coefficients.offset, 8481u);
    EXPECT_EQ(polarity->parameters.offset, 8484u + 128);
    const auto delay = AreasOfDirtyBit(27);
    ASSERT_TRUE(delay);
    EXPECT_EQ(delay->coefficients.offset, 7952u + 12);
    EXPECT_EQ(delay->parameters.offset, 7968u + 384);
}

TEST(ParamWriteImage, CopyDirtyBlockCopiesOnlyThatBlocksAreas)
{
    ParamWriteImage source;
    const auto data = Filled(360, 9);
    ASSERT_TRUE(source.StoreBlock(5, 1, data.data(), 360, data.data(), 256, 0x20000));
    ASSERT_TRUE(source.StoreBlock(5, 2, data.data(), 360, data.data(), 256, 0x40000));
    ParamWriteImage target;
    target.CopyDirtyBlock(source, 17);
    EXPECT_EQ(target.DirtyMask(), 0x20000u);
    EXPECT_EQ(target.Bytes()[4784 + 360], 9);
    EXPECT_EQ(target.Bytes()[6224 + 256 + 255], 9);
    EXPECT_EQ(target.Bytes()[4784 + 720], 0);
}

}  // namespace
}  // namespace CobaltDeviceManager
