// Random damage to valid encodings of every width must decode or fail, never read out of
// bounds (the suite also runs under AddressSanitizer/UndefinedBehaviorSanitizer).
#include <gtest/gtest.h>

#include <random>

#include "dsp_blocks/chunks/InplaceMemoryStream.h"
#include "platform/base/ByteStreamMemory.h"
#include "tests/dsp_chunks/ChunkSchemas.h"

namespace {

using chunk_test::Bytes;

Bytes Mutate(const Bytes& valid, std::mt19937& random)
{
    Bytes bytes = valid;
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < edits; ++i) {
        const std::size_t size = bytes.size();
        const std::size_t at = size == 0 ? 0 : random() % size;
        switch (random() % 6) {
        case 0:
            if (size != 0) {
                bytes[at] = static_cast<std::uint8_t>(bytes[at] ^ (1u << (random() % 8)));
            }
            break;
        case 1:
            if (size != 0) {
                bytes[at] = static_cast<std::uint8_t>(random());
            }
            break;
        case 2:
            if (size != 0) {
                // Length fields are where damage hurts most: extremes and near misses.
                static constexpr std::uint8_t kInteresting[] = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF};
                bytes[at] = kInteresting[random() % std::size(kInteresting)];
            }
            break;
        case 3:
            bytes.resize(size == 0 ? 0 : random() % size);
            break;
        case 4:
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), static_cast<std::uint8_t>(random()));
            break;
        default:
            if (size > 1) {
                bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at));
            }
            break;
        }
    }
    return bytes;
}

platform::ByteStreamRef Memory(const Bytes& bytes)
{
    return platform::ByteStreamRef::Adopt(platform::MemoryStream::Create(bytes.data(), bytes.size()));
}

TEST(ChunkMutation, TenThousandDamagedBlobsDecodeOrFailCleanly)
{
    chunk_test::Crossover crossover;
    crossover.filters[0] = {3, 80.0f, false};
    crossover.filters[1] = {5, 12000.0f, false};
    const Bytes blockBlob = chunk_test::EncodeCrossover(crossover);

    platform::ByteStreamRef settingsOut = Memory({});
    chunk_test::Settings settings;
    settings.style = 0x10CF0000;
    settings.rect[2] = 1024;
    ASSERT_TRUE(chunk_test::EncodeSettings(settingsOut.Get(), settings));
    const Bytes settingsFile = static_cast<platform::MemoryStream*>(settingsOut.Get())->Bytes();

    chunk_test::Project project;
    project.model = 3;
    project.blocks.push_back({4, 0, 0, blockBlob});
    project.blocks.push_back({7, 1, 0, Bytes{}});
    platform::ByteStreamRef projectOut = Memory({});
    ASSERT_TRUE(chunk_test::EncodeProject(projectOut.Get(), project));
    const Bytes projectFile = static_cast<platform::MemoryStream*>(projectOut.Get())->Bytes();

    std::mt19937 random(20261208u);
    int decoded[3] = {};
    int inconsistent = 0;
    constexpr int kRounds = 10000;
    for (int round = 0; round < kRounds; ++round) {
        switch (round % 3) {
        case 0: {
            const Bytes damaged = Mutate(blockBlob, random);
            chunk_test::Crossover out;
            decoded[0] += chunk_test::DecodeCrossover(damaged, out) ? 1 : 0;
            bool consistent = true;
            chunk_test::WalkBlockBlob(damaged, consistent);
            inconsistent += consistent ? 0 : 1;
            break;
        }
        case 1: {
            const Bytes damaged = Mutate(settingsFile, random);
            platform::ByteStreamRef in = Memory(damaged);
            chunk_test::Settings out;
            decoded[1] += chunk_test::DecodeSettings(in.Get(), out) ? 1 : 0;
            break;
        }
        default: {
            const Bytes damaged = Mutate(projectFile, random);
            // Also through the in-place stream, which refuses seeks past its end instead
            // of reporting its size.
            dsp::InplaceReadStream inplace(damaged.data(), static_cast<std::uint32_t>(damaged.size()));
            chunk_test::Project viaInplace;
            const bool inplaceOk = chunk_test::DecodeProject(&inplace, viaInplace);
            platform::ByteStreamRef in = Memory(damaged);
            chunk_test::Project viaMemory;
            const bool memoryOk = chunk_test::DecodeProject(in.Get(), viaMemory);
            EXPECT_EQ(inplaceOk, memoryOk) << "round " << round;
            decoded[2] += memoryOk ? 1 : 0;
            break;
        }
        }
    }
    EXPECT_EQ(inconsistent, 0);
    // Some damage is harmless (a flipped payload bit), most is not: both outcomes occur.
    for (int kind = 0; kind < 3; ++kind) {
        EXPECT_GT(decoded[kind], 0) << "kind " << kind;
        EXPECT_LT(decoded[kind], kRounds / 3) << "kind " << kind;
    }
}

}  // namespace
