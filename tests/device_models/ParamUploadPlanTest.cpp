// Item buffers and step lists of the DSP parameter, write-by-id and global-setting uploads.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "device_library/src/uploads/FixedPointEncoder.h"
#include "device_library/src/uploads/GlobalSettingBlock.h"
#include "device_library/src/uploads/ParamUploadPlan.h"
#include "tests/device_models/EngineProgress.h"

namespace QuarryDriver {
namespace {

using Image = std::array<std::uint8_t, param_image::kImageSize>;

void PutWord(Image& image, std::size_t at, std::uint32_t word) {
    for (int i = 0; i < 4; ++i) {
        image[at + i] = static_cast<std::uint8_t>(word >> (8 * i));
    }
}

void PutDouble(Image& image, std::size_t at, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i) {
        image[at + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
}

std::array<std::uint8_t, 4> Word(double x) {
    std::array<std::uint8_t, 4> out{};
    EncodeScalar(x, out);
    return out;
}

bool AllFF(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t to) {
    return std::all_of(bytes.begin() + from, bytes.begin() + to, [](std::uint8_t b) { return b == 0xFF; });
}

TEST(ParamUploadPlan, OnlyBit17WritesSpeakerEqOfChannel1ThenFourFlagBlocks) {
    Image image{};
    PutWord(image, 0, 1u << 17);
    const WritePlan plan = PlanDspParamUpload(image);
    ASSERT_EQ(plan.steps.size(), 5u);
    EXPECT_EQ(plan.steps[0].type, kStepFlashWrite);
    EXPECT_EQ(plan.steps[0].address, 0x22000u);
    EXPECT_EQ(plan.buffers[plan.steps[0].buffer].size(), 768u);
    EXPECT_EQ(plan.steps[0].lastSegment, 0u);
    const std::uint32_t flagAddresses[4] = {0x21000, 0x23000, 0x25000, 0x27000};
    for (unsigned c = 0; c < 4; ++c) {
        const PlannedWrite& step = plan.steps[1 + c];
        EXPECT_EQ(step.type, kStepFlashWrite);
        EXPECT_EQ(step.address, flagAddresses[c]);
        EXPECT_EQ(step.lastSegment, c == 3 ? 1u : 0u);
        const auto& flags = plan.buffers[step.buffer];
        ASSERT_EQ(flags.size(), 256u);
        EXPECT_EQ(flags[0], c == 1 ? 1 : 0xFF) << c;
        EXPECT_TRUE(AllFF(flags, 1, 256));
    }
}

TEST(ParamUploadPlan, EmptyMaskStillWritesFourBlankFlagBlocksAndNoWriteById) {
    Image image{};
    PutWord(image, 0, 0xF000000Fu);  // bits the image never uses select nothing
    PutWord(image, 4, 0xFFFFFFF0u);
    const WritePlan upload = PlanDspParamUpload(image);
    ASSERT_EQ(upload.steps.size(), 4u);
    for (const auto& step : upload.steps) {
        EXPECT_TRUE(AllFF(upload.buffers[step.buffer], 0, 256));
    }
    EXPECT_TRUE(PlanWriteByIdUpload(image).steps.empty());
}

TEST(ParamUploadPlan, ItemsGoInMaskOrderEachForItsChannels) {
    Image image{};
    PutWord(image, 0, 0x0FFFFFF0u);
    PutWord(image, 4, 0x0000000Fu);
    const WritePlan plan = PlanWriteByIdUpload(image);
    ASSERT_EQ(plan.steps.size(), 28u);
    const std::uint32_t itemOffsets[7] = {0x500, 0x900, 0x300, 0x000, 0xA00, 0x700, 0x800};
    const std::size_t sizes[7] = {512, 256, 512, 768, 256, 256, 256};
    for (std::size_t i = 0; i < 28; ++i) {
        const std::size_t order = i / 4;
        const std::uint32_t c = i % 4;
        EXPECT_EQ(plan.steps[i].type, kStepWriteById);
        EXPECT_EQ(plan.steps[i].address, 0x20000 + c * 0x2000 + itemOffsets[order]) << i;
        EXPECT_EQ(plan.steps[i].lastSegment, 0u);
        EXPECT_EQ(plan.buffers[plan.steps[i].buffer].size(), sizes[order]);
    }
}

TEST(ParamUploadPlan, SpeakerEqItemHoldsEncodedSectionsThenRawBytes) {
    Image image{};
    PutWord(image, 0, 1u << 18);  // item 0 of channel 2
    const std::size_t sections = 4784 + 2 * 360;
    for (int s = 0; s < 9; ++s) {
        for (int v = 0; v < 5; ++v) {
            PutDouble(image, sections + s * 40 + v * 8, 0.01 * (s * 5 + v + 1));
        }
    }
    for (int i = 0; i < 256; ++i) {
        image[6224 + 2 * 256 + i] = static_cast<std::uint8_t>(i ^ 0x5A);
    }
    const ParamUploadPlan plan = BuildParamUploadPlan(image);
    ASSERT_EQ(plan.items.size(), 1u);
    const auto& bytes = plan.items[0].bytes;
    ASSERT_EQ(bytes.size(), 768u);
    for (int s = 0; s < 9; ++s) {
        const auto x = [&](int v) { return 0.01 * (s * 5 + v + 1); };
        const double order[5] = {x(2), x(1), x(0), -x(4), -x(3)};
        for (int w = 0; w < 5; ++w) {
            const auto expected = Word(order[w]);
            EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bytes.begin() + s * 20 + w * 4)) << s << "," << w;
        }
    }
    EXPECT_TRUE(AllFF(bytes, 180, 512));
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(bytes[512 + i], static_cast<std::uint8_t>(i ^ 0x5A));
    }
}

TEST(ParamUploadPlan, MixerDelayPolarityAndLimiterItems) {
    Image image{};
    PutWord(image, 0, (1u << 11) | (1u << 27) | (1u << 23));
    PutWord(image, 4, 0x3u);
    PutDouble(image, 2480 + 3 * 32, 0.0);
    PutDouble(image, 2480 + 3 * 32 + 8, 6.0);
    PutDouble(image, 2480 + 3 * 32 + 16, -6.0206);
    PutDouble(image, 2480 + 3 * 32 + 24, 0.0);
    PutWord(image, 7952 + 3 * 4, 0x11223344u);
    for (int i = 0; i < 6; ++i) {
        PutDouble(image, 7248 + 3 * 48 + i * 8, 0.5 * i);
    }
    image[8480 + 0] = 1;
    image[8480 + 1] = 2;  // only the value 1 means inverted
    std::fill_n(image.begin() + 8484 + 128, 128, 0x77);

    const ParamUploadPlan plan = BuildParamUploadPlan(image);
    ASSERT_EQ(plan.items.size(), 5u);
    const auto& mixer = plan.items[0];
    EXPECT_EQ(mixer.item, 5u);
    EXPECT_EQ(mixer.channel, 3u);
    EXPECT_EQ(mixer.stagingAddress, 0x26900u);
    EXPECT_EQ(std::vector<std::uint8_t>(mixer.bytes.begin(), mixer.bytes.begin() + 16),
              (std::vector<std::uint8_t>{0x01, 0, 0, 0, 0x01, 0xFE, 0xC9, 0x83, 0x00, 0x80, 0x00, 0x00, 0x01, 0, 0, 0}));
    EXPECT_TRUE(AllFF(mixer.bytes, 16, 128));

    const auto& limiter = plan.items[1];
    EXPECT_EQ(limiter.item, 6u);
    EXPECT_EQ(limiter.stagingAddress, 0x26A00u);
    for (int i = 0; i < 6; ++i) {
        const auto expected = Word(0.5 * i);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), limiter.bytes.begin() + i * 4));
    }

    const auto& delay = plan.items[2];
    EXPECT_EQ(delay.item, 3u);
    EXPECT_EQ(std::vector<std::uint8_t>(delay.bytes.begin(), delay.bytes.begin() + 4),
              (std::vector<std::uint8_t>{0x11, 0x22, 0x33, 0x44}));

    EXPECT_EQ(plan.items[3].item, 4u);
    EXPECT_EQ(plan.items[3].channel, 0u);
    EXPECT_EQ(std::vector<std::uint8_t>(plan.items[3].bytes.begin(), plan.items[3].bytes.begin() + 4),
              (std::vector<std::uint8_t>{0, 0, 0, 1}));
    EXPECT_EQ(plan.items[4].channel, 1u);
    EXPECT_EQ(std::vector<std::uint8_t>(plan.items[4].bytes.begin(), plan.items[4].bytes.begin() + 4),
              (std::vector<std::uint8_t>{0, 0, 0, 0}));
    EXPECT_TRUE(AllFF(plan.items[4].bytes, 4, 128));
    EXPECT_EQ(plan.items[4].bytes[128], 0x77);

    EXPECT_EQ(plan.changeFlags[3][5], 1);
    EXPECT_EQ(plan.changeFlags[3][6], 1);
    EXPECT_EQ(plan.changeFlags[3][3], 1);
    EXPECT_EQ(plan.changeFlags[3][0], 0xFF);
    EXPECT_EQ(plan.changeFlags[0][4], 1);
    EXPECT_EQ(plan.changeFlags[1][4], 1);
}

TEST(GlobalSettingUpload, HeaderAtStartRecordInSecondHalfOneWriteByIdEndedWithEnd) {
    std::array<std::uint8_t, kGlobalSettingInputSize> input{};
    for (std::size_t i = 0; i < input.size(); ++i) {
        input[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    const WritePlan plan = PlanGlobalSettingUpload(input);
    ASSERT_EQ(plan.steps.size(), 1u);
    EXPECT_EQ(plan.steps[0].type, kStepWriteById);
    EXPECT_EQ(plan.steps[0].address, 0x3C000u);
    EXPECT_EQ(plan.steps[0].lastSegment, 1u);
    const auto& block = plan.buffers[0];
    ASSERT_EQ(block.size(), 4096u);
    EXPECT_EQ(block[0], input[0]);
    EXPECT_EQ(block[1], input[1]);
    EXPECT_TRUE(AllFF(block, 2, 2048));
    EXPECT_TRUE(std::equal(input.begin() + 2, input.end(), block.begin() + 2048));
    EXPECT_EQ(testing::EngineProgressTotal(plan), 4096u);
}

}  // namespace
}  // namespace QuarryDriver
