// The input-EQ controller: blob layout, defaults, band design, clamping, paste.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "BlobBytes.h"
#include "TestDoubles.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/LInputEQController.h"
#include "dsp_blocks/filters/Biquad.h"

namespace {

Bytes BandChunk(std::uint8_t index, float frequency, float gain, float q, std::uint8_t type)
{
    return Chunk(0xF0, Cat({Bytes{index}, Chunk(0xE1, Cat({F32(frequency), F32(gain), F32(q)})),
                            Chunk(0xE2, Bytes{type})}));
}

Bytes DefaultBlob()
{
    const float frequencies[9] = {63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
    Bytes out = Cat({Chunk(0xF1, U32(1)), Chunk(0xF2, Bytes{1})});
    for (std::uint8_t i = 0; i < 9; ++i) {
        out = Cat({out, BandChunk(i, frequencies[i], 0.0f, 1.4142135f, 0)});
    }
    return List({out});
}

class InputEqTest : public ::testing::Test {
protected:
    InputEqTest()
    {
        block.type = BlockType::InputEQ;
        block.channel = 2;
        block.name = u"Input EQ 3";
    }

    void SetBlob(const Bytes& bytes) { block.SetParamBlob(bytes.data(), static_cast<std::uint32_t>(bytes.size())); }
    Bytes ParamBytes() const { return Bytes(block.paramBlob.Data(), block.paramBlob.Data() + block.paramBlob.Size()); }
    const EqBand& Band(std::size_t i) const
    {
        const EqBand* bands = nullptr;
        controller.GetBands(bands);
        return bands[i];
    }

    RecordingAmplifier amp;  // declared before the block, which may hold a reference
    DiagramBlock block;
    LInputEQController controller{block};
};

}  // namespace

TEST_F(InputEqTest, EmptyBlobGivesOctaveBandsAndTheTwoHundredTwentyByteBlob)
{
    ASSERT_TRUE(controller.Load());
    EXPECT_EQ(controller.GetEqMode(), 1u);
    EXPECT_EQ(controller.GetWidthIsQ(), 1u);
    EXPECT_EQ(Band(0), (EqBand{0, 63.0f, 1.4142135f, 0.0f}));
    EXPECT_EQ(Band(8), (EqBand{0, 16000.0f, 1.4142135f, 0.0f}));
    EXPECT_EQ(block.paramBlob.Size(), 220u);
    EXPECT_EQ(ParamBytes(), DefaultBlob());
    ASSERT_EQ(block.coefBlob.Size(), 360u);
    for (std::size_t band = 0; band < 9; ++band) {
        EXPECT_EQ(DoubleAt(block.coefBlob.Data(), band * 5), 1.0);
        for (std::size_t k = 1; k < 5; ++k) {
            EXPECT_EQ(DoubleAt(block.coefBlob.Data(), band * 5 + k), 0.0);
        }
    }
}

TEST_F(InputEqTest, ValuesChunkListsFrequencyGainThenQ)
{
    ASSERT_TRUE(controller.Load());
    ASSERT_TRUE(controller.SetBand(4, EqBand{0, 1000.0f, 2.0f, 6.0f}, false));
    const Bytes blob = ParamBytes();
    const Bytes expected = BandChunk(4, 1000.0f, 6.0f, 2.0f, 0);
    EXPECT_NE(std::search(blob.begin(), blob.end(), expected.begin(), expected.end()), blob.end());

    BiquadCoefficients section;
    DesignBiquad(BiquadType::kPeaking, 1000.0f, 2.0f, 6.0f, 0.0f, section);
    const BiquadCoefficients* sections = nullptr;
    EXPECT_EQ(controller.GetSections(sections), 9u);
    EXPECT_EQ(sections[4], section);
    EXPECT_EQ(DoubleAt(block.coefBlob.Data(), 20), section.b0);
    EXPECT_EQ(DoubleAt(block.coefBlob.Data(), 23), -section.a1);
}

TEST_F(InputEqTest, BandTypesMapToShelvesAndNotch)
{
    ASSERT_TRUE(controller.SetBand(0, EqBand{1, 5000.0f, 1.0f, 3.0f}, true));
    ASSERT_TRUE(controller.SetBand(1, EqBand{2, 100.0f, 1.0f, -3.0f}, true));
    ASSERT_TRUE(controller.SetBand(2, EqBand{3, 1000.0f, 1.0f, 0.0f}, true));
    const BiquadCoefficients* sections = nullptr;
    controller.GetSections(sections);
    BiquadCoefficients expected;
    DesignBiquad(BiquadType::kHighShelf, 5000.0f, 1.0f, 3.0f, 0.0f, expected);
    EXPECT_EQ(sections[0], expected);
    DesignBiquad(BiquadType::kLowShelf, 100.0f, 1.0f, -3.0f, 0.0f, expected);
    EXPECT_EQ(sections[1], expected);
    DesignBiquad(BiquadType::kNotch, 1000.0f, 1.0f, 0.0f, 0.0f, expected);
    EXPECT_EQ(sections[2], expected);
}

TEST_F(InputEqTest, StoredBlobRoundTrips)
{
    ASSERT_TRUE(controller.SetEqMode(0));
    ASSERT_TRUE(controller.SetWidthIsQ(0));
    ASSERT_TRUE(controller.SetBand(7, EqBand{3, 7000.0f, 10.0f, -4.5f}, false));
    DiagramBlock copy;
    copy.SetParamBlob(block.paramBlob.Data(), block.paramBlob.Size());
    LInputEQController reloaded(copy);
    ASSERT_TRUE(reloaded.Load());
    EXPECT_EQ(reloaded.GetEqMode(), 0u);
    EXPECT_EQ(reloaded.GetWidthIsQ(), 0u);
    const EqBand* bands = nullptr;
    reloaded.GetBands(bands);
    EXPECT_EQ(bands[7], (EqBand{3, 7000.0f, 10.0f, -4.5f}));
    EXPECT_EQ(Bytes(copy.paramBlob.Data(), copy.paramBlob.Data() + copy.paramBlob.Size()), ParamBytes());
}

TEST_F(InputEqTest, BandIndexNineIsIgnoredAndOtherTagsSkipped)
{
    SetBlob(List({BandChunk(9, 500.0f, 5.0f, 1.0f, 0), Chunk(0x77, Bytes{1}), BandChunk(0, 70.0f, 2.0f, 1.0f, 2)}));
    ASSERT_TRUE(controller.Load());
    EXPECT_EQ(Band(0), (EqBand{2, 70.0f, 1.0f, 2.0f}));
    EXPECT_EQ(Band(8).frequency, 16000.0f);
}

TEST_F(InputEqTest, OlderLayoutLoadsDefaults)
{
    Bytes older(256, 0xAB);
    older[0] = 1;
    older[1] = 0;
    SetBlob(older);
    ASSERT_TRUE(controller.Load());
    EXPECT_EQ(ParamBytes(), DefaultBlob());
}

TEST_F(InputEqTest, DecodedValuesAreClampedAndNanTakesTheDefault)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    SetBlob(List({Chunk(0xF1, U32(7)), Chunk(0xF2, Bytes{5}), BandChunk(0, 5.0f, 40.0f, 0.0f, 9),
                  BandChunk(1, nan, nan, nan, 1), BandChunk(2, 1e9f, -1e9f, 1e9f, 3)}));
    ASSERT_TRUE(controller.Load());
    EXPECT_EQ(controller.GetEqMode(), 1u);
    EXPECT_EQ(controller.GetWidthIsQ(), 1u);
    EXPECT_EQ(Band(0), (EqBand{0, 20.0f, 0.1f, 18.0f}));
    EXPECT_EQ(Band(1), (EqBand{1, 125.0f, 1.4142135f, 0.0f}));
    EXPECT_EQ(Band(2), (EqBand{3, 20000.0f, 144.2705f, -18.0f}));
}

TEST_F(InputEqTest, DesignOnlySendsNothingAndKeepsTheBlob)
{
    ASSERT_TRUE(controller.Load());
    block.SetAmplifier(&amp);
    const Bytes before = ParamBytes();
    EXPECT_TRUE(controller.SetBand(3, EqBand{0, 500.0f, 1.0f, 9.0f}, true));
    EXPECT_TRUE(amp.queued.empty());
    EXPECT_EQ(ParamBytes(), before);
    EXPECT_EQ(Band(3).gain, 9.0f);
    EXPECT_FALSE(controller.SetBand(9, EqBand{}, false));
    EXPECT_TRUE(controller.SetBand(3, Band(3), false));
    ASSERT_EQ(amp.queued.size(), 1u);
    EXPECT_EQ(amp.queued[0].type, 2);
    EXPECT_EQ(amp.queued[0].channel, 2);
    EXPECT_EQ(amp.queued[0].parameters, ParamBytes());
    EXPECT_EQ(amp.queued[0].coefficients.size(), 360u);
    block.SetAmplifier(nullptr);
}

TEST_F(InputEqTest, ResetBandsRefreshesThePanelAndCommits)
{
    RecordingPanelHost host;
    ASSERT_TRUE(controller.SetBand(0, EqBand{0, 80.0f, 1.0f, 3.0f}, false));
    ASSERT_NE(controller.OpenDialog(host), nullptr);
    EXPECT_EQ(host.kinds.at(0), PanelKind::InputEQ);
    ASSERT_TRUE(controller.ResetBands());
    EXPECT_EQ(host.log, (std::vector<std::string>{"title:Input EQ 3", "refresh"}));
    EXPECT_EQ(ParamBytes(), DefaultBlob());
}

TEST_F(InputEqTest, PasteDecodesOverCurrentValuesAndRefreshes)
{
    RecordingPanelHost host;
    ASSERT_TRUE(controller.Load());
    controller.OpenDialog(host);
    const Bytes pasted = List({Chunk(0xF1, U32(0)), BandChunk(5, 3000.0f, -6.0f, 4.0f, 0)});
    ASSERT_TRUE(controller.ApplyBlob(0, pasted.data(), static_cast<std::uint32_t>(pasted.size())));
    EXPECT_EQ(controller.GetEqMode(), 0u);
    EXPECT_EQ(controller.GetWidthIsQ(), 1u);
    EXPECT_EQ(Band(5), (EqBand{0, 3000.0f, 4.0f, -6.0f}));
    EXPECT_EQ(host.log.back(), "refresh");
}

TEST_F(InputEqTest, PasteThatFailsHalfWayChangesNothing)
{
    ASSERT_TRUE(controller.Load());
    const Bytes before = ParamBytes();
    const Bytes pasted = List({BandChunk(0, 90.0f, 3.0f, 1.0f, 0), Chunk(0xF1, Bytes{1, 0})});
    EXPECT_FALSE(controller.ApplyBlob(0, pasted.data(), static_cast<std::uint32_t>(pasted.size())));
    EXPECT_EQ(Band(0).frequency, 63.0f);
    EXPECT_EQ(ParamBytes(), before);
}

TEST_F(InputEqTest, ModelAndChannelConfigDoNotMatter)
{
    EXPECT_FALSE(controller.SetModel(ModelType::MV220));
    EXPECT_FALSE(controller.ApplyChannelConfig(ChannelConfig{}));
}
