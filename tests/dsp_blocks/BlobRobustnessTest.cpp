// Truncated, mutated and random parameter blobs: every controller refuses what does not
// decode without changing anything, and whatever it accepts stays inside the panels'
// ranges and yields coefficients the amplifier can take.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>

#include "BlobBytes.h"
#include "dsp_blocks/blocks/CCrossoverController.h"
#include "dsp_blocks/blocks/CoefficientBlob.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/LDelayDialogController.h"
#include "dsp_blocks/blocks/LInputEQController.h"
#include "dsp_blocks/blocks/LOutputGainDialogController.h"

namespace {

Bytes Of(const ByteBlob& blob)
{
    return Bytes(blob.Data(), blob.Data() + blob.Size());
}

void ExpectSendable(const ByteBlob& coefficients)
{
    ASSERT_EQ(coefficients.Size() % 8, 0u);
    for (std::size_t i = 0; i < coefficients.Size() / 8; ++i) {
        const double value = DoubleAt(coefficients.Data(), i);
        EXPECT_TRUE(std::isfinite(value) && std::fabs(value) < 128.0) << "value " << i << " = " << value;
    }
}

void ExpectInRange(const CCrossoverController& controller)
{
    for (const CrossoverFilter& filter : {controller.GetHighPass(), controller.GetLowPass()}) {
        EXPECT_GE(filter.frequency, controller.GetMinimumFrequency());
        EXPECT_LE(filter.frequency, 20000.0f);
    }
}

void ExpectInRange(const LInputEQController& controller)
{
    const EqBand* bands = nullptr;
    controller.GetBands(bands);
    for (std::size_t i = 0; i < LInputEQController::kBandCount; ++i) {
        EXPECT_LE(bands[i].type, 3u);
        EXPECT_GE(bands[i].frequency, 20.0f);
        EXPECT_LE(bands[i].frequency, 20000.0f);
        EXPECT_GE(bands[i].q, 0.1f);
        EXPECT_LE(bands[i].q, 144.2705f);
        EXPECT_GE(bands[i].gain, -18.0f);
        EXPECT_LE(bands[i].gain, 18.0f);
    }
    EXPECT_LE(controller.GetEqMode(), 1u);
    EXPECT_LE(controller.GetWidthIsQ(), 1u);
}

// Every way of mutating one blob: truncation at each length, each byte set to a few
// telling values, and random rewrites with a fixed seed.
std::vector<Bytes> Mutations(const Bytes& blob)
{
    std::vector<Bytes> out;
    for (std::size_t n = 0; n < blob.size(); ++n) {
        out.emplace_back(blob.begin(), blob.begin() + static_cast<std::ptrdiff_t>(n));
    }
    for (std::size_t i = 0; i < blob.size(); ++i) {
        const std::uint8_t flipped = static_cast<std::uint8_t>(blob[i] ^ 0x40);
        for (std::uint8_t value : {std::uint8_t{0x00}, std::uint8_t{0x01}, std::uint8_t{0x7F}, std::uint8_t{0x80},
                                   std::uint8_t{0xFF}, flipped}) {
            Bytes mutated = blob;
            mutated[i] = value;
            out.push_back(mutated);
        }
    }
    std::mt19937 random(20261208);
    for (int round = 0; round < 400; ++round) {
        Bytes mutated = blob;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits && !mutated.empty(); ++e) {
            mutated[random() % mutated.size()] = static_cast<std::uint8_t>(random());
        }
        if (random() % 3 == 0) {
            mutated.resize(random() % (mutated.size() + 8), 0xEE);
        }
        out.push_back(mutated);
    }
    return out;
}

}  // namespace

TEST(CoefficientRange, OnlyFiniteValuesBelowOneHundredTwentyEightAreSendable)
{
    EXPECT_TRUE(IsSendableCoefficient(0.0));
    EXPECT_TRUE(IsSendableCoefficient(-127.99));
    EXPECT_FALSE(IsSendableCoefficient(128.0));
    EXPECT_FALSE(IsSendableCoefficient(-128.0));
    EXPECT_FALSE(IsSendableCoefficient(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(IsSendableCoefficient(std::numeric_limits<double>::infinity()));

    CoefficientBlob blob;
    EXPECT_TRUE(blob.AppendSection(BiquadCoefficients{0.5, -0.25, 2.0, -2.0, 1.0}));
    EXPECT_EQ(blob.Bytes().size(), 40u);
    EXPECT_EQ(DoubleAt(blob.Bytes().data(), 1), -4.0);
    EXPECT_EQ(DoubleAt(blob.Bytes().data(), 3), -0.5);
    EXPECT_FALSE(blob.AppendSection(BiquadCoefficients{0.0, 0.0, 100.0, 2.0, 1.0}));  // b0 c1 = 200
    EXPECT_FALSE(blob.Ok());
    CoefficientBlob nan;
    EXPECT_FALSE(nan.AppendDouble(std::numeric_limits<double>::quiet_NaN()));
}

TEST(BlobRobustness, CrossoverRefusesOrClampsEveryMutation)
{
    DiagramBlock block;
    block.type = BlockType::Crossover;
    CCrossoverController controller(block);
    const CrossoverFilterPair pair{{4, 120.0f}, {13, 3000.0f}};
    ASSERT_TRUE(controller.SetFilters(&pair));
    const Bytes original = Of(block.paramBlob);
    for (const Bytes& mutated : Mutations(original)) {
        const Bytes before = Of(block.paramBlob);
        const CrossoverFilter highPass = controller.GetHighPass();
        if (!controller.ApplyBlob(0, mutated.data(), static_cast<std::uint32_t>(mutated.size()))) {
            EXPECT_EQ(Of(block.paramBlob), before);
            EXPECT_EQ(controller.GetHighPass(), highPass);
        }
        ExpectInRange(controller);
        ExpectSendable(block.coefBlob);

        DiagramBlock loaded;
        loaded.SetParamBlob(mutated.data(), static_cast<std::uint32_t>(mutated.size()));
        CCrossoverController fresh(loaded);
        if (fresh.Load()) {
            ExpectInRange(fresh);
            ExpectSendable(loaded.coefBlob);
        } else {
            EXPECT_TRUE(loaded.coefBlob.Empty());
        }
    }
}

TEST(BlobRobustness, TruncatedDefaultBlobsAreRefusedByEveryController)
{
    DiagramBlock crossoverBlock;
    CCrossoverController crossover(crossoverBlock);
    ASSERT_TRUE(crossover.Load());
    DiagramBlock eqBlock;
    LInputEQController eq(eqBlock);
    ASSERT_TRUE(eq.Load());
    DiagramBlock delayBlock;
    LDelayDialogController delay({&delayBlock});
    ASSERT_TRUE(delay.Load());
    DiagramBlock polarityBlock;
    LOutputGainDialogController polarity({&polarityBlock});
    ASSERT_TRUE(polarity.Load());

    struct Case {
        CController* controller;
        DiagramBlock* block;
    };
    for (const Case& c : {Case{&crossover, &crossoverBlock}, Case{&eq, &eqBlock}, Case{&delay, &delayBlock},
                          Case{&polarity, &polarityBlock}}) {
        const Bytes original = Of(c.block->paramBlob);
        for (std::size_t n = 0; n < original.size(); ++n) {
            EXPECT_FALSE(c.controller->ApplyBlob(0, original.data(), static_cast<std::uint32_t>(n))) << n;
            EXPECT_EQ(Of(c.block->paramBlob), original);
        }
        EXPECT_TRUE(c.controller->ApplyBlob(0, original.data(), static_cast<std::uint32_t>(original.size())));
    }
}

TEST(BlobRobustness, InputEqRefusesOrClampsEveryMutation)
{
    DiagramBlock block;
    LInputEQController controller(block);
    ASSERT_TRUE(controller.SetBand(2, EqBand{1, 900.0f, 3.0f, 12.0f}, false));
    const Bytes original = Of(block.paramBlob);
    for (const Bytes& mutated : Mutations(original)) {
        const Bytes before = Of(block.paramBlob);
        if (!controller.ApplyBlob(0, mutated.data(), static_cast<std::uint32_t>(mutated.size()))) {
            EXPECT_EQ(Of(block.paramBlob), before);
        }
        ExpectInRange(controller);
        ExpectSendable(block.coefBlob);

        DiagramBlock loaded;
        loaded.SetParamBlob(mutated.data(), static_cast<std::uint32_t>(mutated.size()));
        LInputEQController fresh(loaded);
        if (fresh.Load()) {
            ExpectInRange(fresh);
            ExpectSendable(loaded.coefBlob);
        }
    }
}

TEST(BlobRobustness, DelayAndPolarityRefuseOrClampEveryMutation)
{
    DiagramBlock delayBlock;
    LDelayDialogController delay({&delayBlock});
    ASSERT_TRUE(delay.SetDelay(0, 12.5f, false));
    DiagramBlock polarityBlock;
    LOutputGainDialogController polarity({&polarityBlock});
    ASSERT_TRUE(polarity.SetPolarity(0, 1));

    for (const Bytes& mutated : Mutations(Of(delayBlock.paramBlob))) {
        const Bytes before = Of(delayBlock.paramBlob);
        if (!delay.ApplyBlob(0, mutated.data(), static_cast<std::uint32_t>(mutated.size()))) {
            EXPECT_EQ(Of(delayBlock.paramBlob), before);
        }
        EXPECT_GE(delay.GetDelay(0), 0.0f);
        EXPECT_LE(delay.GetDelay(0), 50.0f);
        EXPECT_LE(delay.GetUnit(), 2u);
    }
    for (const Bytes& mutated : Mutations(Of(polarityBlock.paramBlob))) {
        const Bytes before = Of(polarityBlock.paramBlob);
        if (!polarity.ApplyBlob(0, mutated.data(), static_cast<std::uint32_t>(mutated.size()))) {
            EXPECT_EQ(Of(polarityBlock.paramBlob), before);
        }
        std::uint8_t value = 0;
        ASSERT_TRUE(polarity.GetPolarity(0, value));
        EXPECT_EQ(Of(polarityBlock.coefBlob), Bytes{static_cast<std::uint8_t>(value != 0 ? 1 : 0)});
    }
}

TEST(BlobRobustness, NullOrEmptyPasteIsRefused)
{
    DiagramBlock block;
    CCrossoverController controller(block);
    ASSERT_TRUE(controller.Load());
    EXPECT_FALSE(controller.ApplyBlob(0, nullptr, 0));
    EXPECT_FALSE(controller.ApplyBlob(0, nullptr, 26));
}
