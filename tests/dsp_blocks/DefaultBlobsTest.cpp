// The default blobs of every controller of this library: their sizes, and that each one
// read back by Load gives the same parameters and the same bytes again.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "BlobBytes.h"
#include "dsp_blocks/blocks/CCrossoverController.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/LDelayDialogController.h"
#include "dsp_blocks/blocks/LInputEQController.h"
#include "dsp_blocks/blocks/LInputGainDialogController.h"
#include "dsp_blocks/blocks/LOutputGainDialogController.h"

namespace {

Bytes Of(const ByteBlob& blob)
{
    return Bytes(blob.Data(), blob.Data() + blob.Size());
}

struct DefaultCase {
    const char* name;
    std::uint32_t paramSize;
    std::uint32_t coefficientSize;
    std::function<std::unique_ptr<CController>(DiagramBlock&)> make;
};

std::vector<DefaultCase> Cases()
{
    return {
        {"crossover", 26, 160, [](DiagramBlock& b) { return std::make_unique<CCrossoverController>(b); }},
        {"input EQ", 220, 360, [](DiagramBlock& b) { return std::make_unique<LInputEQController>(b); }},
        {"delay", 13, 4,
         [](DiagramBlock& b) { return std::make_unique<LDelayDialogController>(std::vector<DiagramBlock*>{&b}); }},
        {"input gain", 1, 1,
         [](DiagramBlock& b) { return std::make_unique<LInputGainDialogController>(std::vector<DiagramBlock*>{&b}); }},
        {"output polarity", 6, 1,
         [](DiagramBlock& b) { return std::make_unique<LOutputGainDialogController>(std::vector<DiagramBlock*>{&b}); }},
    };
}

}  // namespace

TEST(DefaultBlobs, HaveTheDesignedSizes)
{
    for (const DefaultCase& c : Cases()) {
        DiagramBlock block;
        auto controller = c.make(block);
        ASSERT_TRUE(controller->Load()) << c.name;
        EXPECT_EQ(block.paramBlob.Size(), c.paramSize) << c.name;
        EXPECT_EQ(block.coefBlob.Size(), c.coefficientSize) << c.name;
    }
}

TEST(DefaultBlobs, RoundTripThroughEncodeAndLoad)
{
    for (const DefaultCase& c : Cases()) {
        DiagramBlock first;
        auto encoder = c.make(first);
        ASSERT_TRUE(encoder->Load()) << c.name;

        DiagramBlock second;
        second.SetParamBlob(first.paramBlob.Data(), first.paramBlob.Size());
        auto decoder = c.make(second);
        ASSERT_TRUE(decoder->Load()) << c.name;
        EXPECT_EQ(Of(second.paramBlob), Of(first.paramBlob)) << c.name;
        EXPECT_EQ(Of(second.coefBlob), Of(first.coefBlob)) << c.name;

        // And once more through a paste of the same bytes.
        const Bytes blob = Of(first.paramBlob);
        EXPECT_TRUE(decoder->ApplyBlob(0, blob.data(), static_cast<std::uint32_t>(blob.size()))) << c.name;
        EXPECT_EQ(Of(second.paramBlob), blob) << c.name;
    }
}
