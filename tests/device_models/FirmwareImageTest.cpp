// Firmware image files: regions, short files, the version text check, the MCU program
// checksum word, and the step lists of both firmware upgrades.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "device_library/src/models/FirmwareImage.h"
#include "device_library/src/models/FirmwarePlans.h"
#include "device_library/src/models/MemoryBounds.h"
#include "tests/device_models/EngineProgress.h"
#include "tests/support/TempFolder.h"

namespace QuarryDriver {
namespace {

namespace fs = std::filesystem;

class FirmwareFile : public ::testing::Test {
protected:
    // A file of `size` bytes whose byte at offset i is (i * 13 + i / 256) & 0xFF, with a version
    // text at 0x52000 unless the file is too short.
    std::string Write(std::size_t size, const std::string& version = "V5.12") {
        std::vector<std::uint8_t> bytes(size);
        for (std::size_t i = 0; i < size; ++i) {
            bytes[i] = Pattern(i);
        }
        if (size >= 0x52000 + 16) {
            std::fill_n(bytes.begin() + 0x52000, 16, 0);
            std::copy(version.begin(), version.end(), bytes.begin() + 0x52000);
        }
        return WriteBytes(bytes);
    }
    std::string WriteBytes(const std::vector<std::uint8_t>& bytes) {
        const std::string path = (dir_.Path() / ("fw" + std::to_string(count_++) + ".bin")).string();
        std::FILE* f = std::fopen(path.c_str(), "wb");
        EXPECT_NE(f, nullptr);
        EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
        std::fclose(f);
        return path;
    }
    static std::uint8_t Pattern(std::size_t i) { return static_cast<std::uint8_t>(i * 13 + i / 256); }

    TempFolder dir_{"quarry-fw-"};
    int count_ = 0;
};

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

TEST_F(FirmwareFile, ShortFileReadsAsErasedFlashPastItsEnd) {
    FirmwareImage image;
    ASSERT_EQ(image.Load(Write(0x60010)), FirmwareImage::LoadResult::Loaded);
    EXPECT_EQ(image.FileBytes(), 0x60010u);
    const auto tail = image.Region(0x60000, 0x100);
    for (std::size_t i = 0; i < 0x10; ++i) {
        EXPECT_EQ(tail[i], Pattern(0x60000 + i));
    }
    EXPECT_TRUE(std::all_of(tail.begin() + 0x10, tail.end(), [](std::uint8_t b) { return b == 0xFF; }));
    const auto program = image.Region(0x80000, 0xD000);
    EXPECT_TRUE(std::all_of(program.begin(), program.end(), [](std::uint8_t b) { return b == 0xFF; }));
    // A region that starts past the whole span is all 0xFF too.
    const auto beyond = image.Region(0x100000, 16);
    EXPECT_TRUE(std::all_of(beyond.begin(), beyond.end(), [](std::uint8_t b) { return b == 0xFF; }));
}

TEST_F(FirmwareFile, McuProgramWordsSumToZeroAlsoForAShortFile) {
    for (std::size_t size : {std::size_t{0x8D000}, std::size_t{0x80010}, std::size_t{0x60000}}) {
        FirmwareImage image;
        ASSERT_EQ(image.Load(Write(size)), FirmwareImage::LoadResult::Loaded);
        const auto program = image.McuProgram();
        ASSERT_EQ(program.size(), 0xD000u);
        std::uint32_t sum = 0;
        for (std::size_t w = 0; w < 8; ++w) {
            sum += Le32(program, w * 4);
        }
        EXPECT_EQ(sum, 0u) << size;
        // Only word 7 differs from the file.
        const auto raw = image.Region(0x80000, 0xD000);
        EXPECT_TRUE(std::equal(raw.begin(), raw.begin() + 28, program.begin()));
        EXPECT_TRUE(std::equal(raw.begin() + 32, raw.end(), program.begin() + 32));
    }
}

TEST_F(FirmwareFile, FileWithoutVersionTextIsRefused) {
    FirmwareImage image;
    EXPECT_EQ(image.Load(Write(0x52008)), FirmwareImage::LoadResult::NoVersionText);  // cut inside the block
    std::vector<std::uint8_t> erased(0x8D000, 0x11);
    std::fill_n(erased.begin() + 0x52000, 16, 0xFF);
    EXPECT_EQ(image.Load(WriteBytes(erased)), FirmwareImage::LoadResult::NoVersionText);
    std::fill_n(erased.begin() + 0x52000, 16, 0x00);  // what the erase marker leaves
    EXPECT_EQ(image.Load(WriteBytes(erased)), FirmwareImage::LoadResult::NoVersionText);
    erased[0x5200F] = 'x';
    EXPECT_EQ(image.Load(WriteBytes(erased)), FirmwareImage::LoadResult::Loaded);
}

TEST_F(FirmwareFile, EmptyOrMissingPathIsRefused) {
    FirmwareImage image;
    EXPECT_EQ(image.Load(""), FirmwareImage::LoadResult::EmptyPath);
    EXPECT_EQ(image.Load((dir_.Path() / "absent.bin").string()), FirmwareImage::LoadResult::CannotOpen);
    EXPECT_NE(image.Load(dir_.Path().string()), FirmwareImage::LoadResult::Loaded);  // a folder
}

TEST_F(FirmwareFile, MarkerBlocks) {
    FirmwareImage image;
    ASSERT_EQ(image.Load(Write(0x8D000, "V6.1")), FirmwareImage::LoadResult::Loaded);
    const MarkerBlock erase = FirmwareImage::EraseMarker();
    EXPECT_TRUE(std::all_of(erase.begin(), erase.begin() + 16, [](std::uint8_t b) { return b == 0; }));
    EXPECT_TRUE(std::all_of(erase.begin() + 16, erase.end(), [](std::uint8_t b) { return b == 0xFF; }));
    const MarkerBlock restore = image.RestoreBlock(0x52000);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(restore.data())), "V6.1");
    EXPECT_TRUE(std::all_of(restore.begin() + 16, restore.end(), [](std::uint8_t b) { return b == 0xFF; }));
    const MarkerBlock other = image.RestoreBlock(0x53000);
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(other[i], Pattern(0x53000 + i));
    }
}

struct Expected {
    std::uint32_t type;
    std::uint32_t address;
    std::uint32_t fileOffset;  // ~0 for marker blocks
    std::uint32_t length;
    std::uint32_t last;
};
constexpr std::uint32_t kMarker = ~0u;

void ExpectSteps(const WritePlan& plan, const FirmwareImage& image, const std::vector<Expected>& expected) {
    ASSERT_EQ(plan.steps.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const PlannedWrite& step = plan.steps[i];
        const Expected& e = expected[i];
        EXPECT_EQ(step.type, e.type) << "step " << i + 1;
        EXPECT_EQ(step.address, e.address) << "step " << i + 1;
        EXPECT_EQ(step.lastSegment, e.last) << "step " << i + 1;
        const auto& data = plan.buffers[step.buffer];
        EXPECT_EQ(data.size(), e.length) << "step " << i + 1;
        if (e.fileOffset != kMarker && e.type == kStepFlashWrite) {
            EXPECT_TRUE(data == image.Region(e.fileOffset, e.length)) << "step " << i + 1;
        }
    }
}

TEST_F(FirmwareFile, A210UpgradeStepsInOrder) {
    FirmwareImage image;
    ASSERT_EQ(image.Load(Write(0x8D000)), FirmwareImage::LoadResult::Loaded);
    const WritePlan plan = PlanFirmwareA210(image);
    std::vector<Expected> expected = {
        {kStepFlashWrite, 0x52000, kMarker, 256, 0}, {kStepFlashWrite, 0x53000, kMarker, 256, 0},
        {kStepFlashWrite, 0, 0, 0x20000, 0},         {kStepFlashWrite, 0x53000, kMarker, 256, 0},
        {kStepFlashWrite, 0x55000, kMarker, 256, 0}, {kStepFlashWrite, 0x28000, 0x28000, 0x14000, 0},
        {kStepFlashWrite, 0x55000, kMarker, 256, 0}, {kStepFlashWrite, 0x54000, kMarker, 256, 0},
        {kStepMcuWrite, 0x3000, kMarker, 0xD000, 0}, {kStepFlashWrite, 0x3E000, 0x3E000, 256, 1},
        {kStepFlashWrite, 0x54000, kMarker, 256, 0}, {kStepFlashWrite, 0x52000, kMarker, 256, 1},
        {kStepFlashWrite, 0x3C000, 0x3C000, 4096, 0}, {kStepFlashWrite, 0x3D000, 0x3C000, 4096, 0},
        {kStepFlashWrite, 0x61000, 0x20000, 0x8000, 0},
    };
    const std::uint32_t banks[4] = {0x59000, 0x69000, 0x40000, 0x47000};
    const std::uint32_t itemOffsets[7] = {0, 0x300, 0x500, 0x700, 0x800, 0x900, 0xA00};
    const std::uint32_t itemSizes[7] = {768, 512, 512, 256, 256, 256, 256};
    for (unsigned c = 0; c < 4; ++c) {
        for (unsigned k = 0; k < 7; ++k) {
            const std::uint32_t from = 0x20000 + itemOffsets[k] + (k == 5 ? c * 0x2000 : 0);
            expected.push_back({kStepFlashWrite, banks[c] + k * 0x1000, from, itemSizes[k], 0});
        }
    }
    ExpectSteps(plan, image, expected);
    // Erase markers go out first and the version text comes back last of the marker writes.
    const MarkerBlock erase = FirmwareImage::EraseMarker();
    EXPECT_TRUE(plan.buffers[plan.steps[0].buffer] == std::vector<std::uint8_t>(erase.begin(), erase.end()));
    const MarkerBlock version = image.RestoreBlock(0x52000);
    EXPECT_TRUE(plan.buffers[plan.steps[11].buffer] == std::vector<std::uint8_t>(version.begin(), version.end()));
    EXPECT_TRUE(plan.buffers[plan.steps[8].buffer] == image.McuProgram());
}

TEST_F(FirmwareFile, A200UpgradeQueuesTheApplicationImageTwice) {
    FirmwareImage image;
    ASSERT_EQ(image.Load(Write(0x8D000)), FirmwareImage::LoadResult::Loaded);
    const WritePlan plan = PlanFirmwareA200(image);
    ExpectSteps(plan, image,
                {{kStepFlashWrite, 0x52000, kMarker, 256, 0},
                 {kStepFlashWrite, 0x53000, kMarker, 256, 0},
                 {kStepFlashWrite, 0, 0, 0x20000, 0},
                 {kStepFlashWrite, 0, 0, 0x20000, 0},
                 {kStepFlashWrite, 0x53000, kMarker, 256, 0},
                 {kStepFlashWrite, 0x54000, kMarker, 256, 0},
                 {kStepMcuWrite, 0x3000, kMarker, 0xD000, 0},
                 {kStepFlashWrite, 0x54000, kMarker, 256, 0},
                 {kStepFlashWrite, 0x52000, kMarker, 256, 1}});
    // Eight marker blocks, the image's 512 blocks twice and the program's 208 blocks (none erased
    // in this file) make the progress total.
    EXPECT_EQ(testing::EngineProgressTotal(plan), (6u + 2u * 512u + 208u) * 256u);
}

TEST(MemoryBounds, LastValidAddressAcceptedOneBeyondRefused) {
    EXPECT_TRUE(RangeWithin(0x7FF00, 0x100, 0x80000));
    EXPECT_FALSE(RangeWithin(0x7FF00, 0x101, 0x80000));
    EXPECT_TRUE(RangeWithin(0xFFFF, 1, 0x10000));
    EXPECT_FALSE(RangeWithin(0x10000, 1, 0x10000));
    EXPECT_TRUE(RangeWithin(0x80000, 0, 0x80000));
    // A 32-bit sum would wrap to 0xFF and pass.
    EXPECT_FALSE(RangeWithin(0x100, 0xFFFFFFFFu, 0x80000));
    EXPECT_FALSE(RangeWithin(0xFFFFFFFFu, 1, 0x10000));
}

}  // namespace
}  // namespace QuarryDriver
