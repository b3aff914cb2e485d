// The matrix-mixer controller: default blobs, decoding, labels in the code page, edits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "dsp_blocks/blocks/CStdMixerController.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "tests/dsp_blocks/BlobBytes.h"
#include "tests/dsp_blocks/TestDoubles.h"

namespace {

Bytes Label(const std::string& bytes)
{
    return Cat({U32(static_cast<std::uint32_t>(bytes.size())), Bytes(bytes.begin(), bytes.end())});
}

Bytes DefaultLabels()
{
    return Cat({Label("In 1"), Label("In 2"), Label("In 3"), Label("In 4"), Label("Out 1"), Label("Out 2"),
                Label("Out 3"), Label("Out 4")});
}

// The 0xB8 payload of a grid whose on flags follow mask(column) and gains gain(row, column).
template <typename Mask, typename Gain>
Bytes CrossPointPayload(Mask mask, Gain gain)
{
    Bytes payload{4, 4};
    for (std::uint32_t column = 0; column < 4; ++column) {
        for (std::uint32_t row = 0; row < 4; ++row) {
            payload = Cat({payload, F32(gain(row, column))});
        }
        payload = Cat({payload, U32(mask(column))});
    }
    return payload;
}

Bytes DefaultParams()
{
    return List({Chunk(0xB8, CrossPointPayload([](std::uint32_t c) { return 1u << c; },
                                               [](std::uint32_t, std::uint32_t) { return 0.0f; })),
                 Chunk(0xB9, DefaultLabels())});
}

class MixerTest : public ::testing::Test {
protected:
    MixerTest()
    {
        block.type = BlockType::StdMixer;
        block.outputCount = 4;
    }
    Bytes Params() const { return Bytes(block.paramBlob.Data(), block.paramBlob.Data() + block.paramBlob.Size()); }
    double Coefficient(std::size_t row, std::size_t column) const
    {
        return DoubleAt(block.coefBlob.Data(), column * 4 + row);
    }

    DiagramBlock block;
};

}  // namespace

TEST_F(MixerTest, EmptyBlobGivesDiagonalRoutingAndTheDefaultBlobs)
{
    CStdMixerController mixer(block);
    ASSERT_TRUE(mixer.Load());
    ASSERT_EQ(block.paramBlob.Size(), 158u);
    EXPECT_EQ(Params(), DefaultParams());
    ASSERT_EQ(block.coefBlob.Size(), 128u);
    for (std::size_t row = 0; row < 4; ++row) {
        for (std::size_t column = 0; column < 4; ++column) {
            EXPECT_EQ(Coefficient(row, column), row == column ? 0.0 : -200.0) << row << "," << column;
            EXPECT_EQ(mixer.GetCrossPoint(row, column).on, row == column ? 1 : 0);
        }
    }
    EXPECT_EQ(mixer.GetLabel(false, 0), u"In 1");
    EXPECT_EQ(mixer.GetLabel(true, 3), u"Out 4");
}

TEST_F(MixerTest, ActiveChannelCountIsTheBlocksOutputCount)
{
    block.outputCount = 2;
    CStdMixerController mixer(block);
    EXPECT_EQ(mixer.GetActiveChannelCount(), 2u);
}

TEST_F(MixerTest, StoredCrossPointsAndLabelsLoad)
{
    const Bytes blob = List({Chunk(0xB8, CrossPointPayload([](std::uint32_t c) { return c == 1 ? 0x9u : 0u; },
                                                           [](std::uint32_t r, std::uint32_t c) {
                                                               return static_cast<float>(r) - static_cast<float>(c);
                                                           })),
                             Chunk(0xB9, Cat({Label("Mic"), Label("Line"), Label(""), Label("D"), Label("Left"),
                                              Label("Right"), Label("Sub"), Label("Fill")}))});
    block.SetParamBlob(blob.data(), static_cast<std::uint32_t>(blob.size()));
    CStdMixerController mixer(block);
    ASSERT_TRUE(mixer.Load());
    EXPECT_EQ(mixer.GetCrossPoint(0, 1), (CrossPoint{1, -1.0f}));
    EXPECT_EQ(mixer.GetCrossPoint(3, 1), (CrossPoint{1, 2.0f}));
    EXPECT_EQ(mixer.GetCrossPoint(0, 0), (CrossPoint{0, 0.0f}));
    EXPECT_EQ(Coefficient(3, 1), 2.0);
    EXPECT_EQ(Coefficient(1, 1), -200.0);
    EXPECT_EQ(mixer.GetLabel(false, 2), u"");
    EXPECT_EQ(mixer.GetLabel(true, 2), u"Sub");
    EXPECT_EQ(Params(), blob);
}

TEST_F(MixerTest, FifthRowGainIsReadAndDropped)
{
    Bytes payload{5, 4};
    for (std::uint32_t column = 0; column < 4; ++column) {
        for (std::uint32_t row = 0; row < 5; ++row) {
            payload = Cat({payload, F32(row == 4 ? 9.0f : -1.0f)});
        }
        payload = Cat({payload, U32(0x1F)});
    }
    const Bytes blob = List({Chunk(0xB8, payload)});
    block.SetParamBlob(blob.data(), static_cast<std::uint32_t>(blob.size()));
    CStdMixerController mixer(block);
    ASSERT_TRUE(mixer.Load());
    for (std::size_t column = 0; column < 4; ++column) {
        EXPECT_EQ(mixer.GetCrossPoint(3, column), (CrossPoint{1, -1.0f}));
    }
}

TEST_F(MixerTest, OlderLayoutBlobLoadsTheDefaults)
{
    Bytes blob(128, 0x55);
    blob[0] = 1;
    blob[1] = 0;
    block.SetParamBlob(blob.data(), static_cast<std::uint32_t>(blob.size()));
    CStdMixerController mixer(block);
    EXPECT_TRUE(mixer.Load());
    EXPECT_EQ(Params(), DefaultParams());
}

TEST_F(MixerTest, OlderColumnChunkSetsOnFlagsAndZeroGains)
{
    const Bytes blob = List({Chunk(0xB8, CrossPointPayload([](std::uint32_t) { return 0xFu; },
                                                           [](std::uint32_t, std::uint32_t) { return 5.0f; })),
                             Chunk(0xB0, Cat({Bytes{2}, U32(0x2)})), Chunk(0xB0, Cat({Bytes{7}, U32(0xF)}))});
    block.SetParamBlob(blob.data(), static_cast<std::uint32_t>(blob.size()));
    CStdMixerController mixer(block);
    ASSERT_TRUE(mixer.Load());
    EXPECT_EQ(mixer.GetCrossPoint(1, 2), (CrossPoint{1, 0.0f}));
    EXPECT_EQ(mixer.GetCrossPoint(0, 2), (CrossPoint{0, 0.0f}));
    EXPECT_EQ(mixer.GetCrossPoint(0, 3), (CrossPoint{1, 5.0f}));
}

TEST_F(MixerTest, ShortReadFailsTheLoadAndSendsNothing)
{
    RecordingAmplifier amplifier;
    block.SetAmplifier(&amplifier);
    Bytes payload{4, 4};
    payload = Cat({payload, F32(1.0f)});
    const Bytes blob = List({Chunk(0xB8, payload)});
    block.SetParamBlob(blob.data(), static_cast<std::uint32_t>(blob.size()));
    CStdMixerController mixer(block);
    EXPECT_FALSE(mixer.Load());
    EXPECT_TRUE(amplifier.queued.empty());
    EXPECT_EQ(block.coefBlob.Size(), 0u);
    block.SetAmplifier(nullptr);
}

TEST_F(MixerTest, LabelCountOfAMegabyteFailsTheDecode)
{
    const Bytes blob = List({Chunk(0xB9, Cat({U32(0x100000), Bytes(8, 'x')}))});
    block.SetParamBlob(blob.data(), static_cast<std::uint32_t>(blob.size()));
    CStdMixerController mixer(block);
    EXPECT_FALSE(mixer.Load());
}

TEST_F(MixerTest, LabelOfEightCharactersStoresCountAndBytes)
{
    CStdMixerController mixer(block);
    ASSERT_TRUE(mixer.Load());
    ASSERT_TRUE(mixer.SetLabel(false, 0, u"ABCDEFGH"));
    const Bytes expected = List({Chunk(0xB8, CrossPointPayload([](std::uint32_t c) { return 1u << c; },
                                                               [](std::uint32_t, std::uint32_t) { return 0.0f; })),
                                 Chunk(0xB9, Cat({Label("ABCDEFGH"), Label("In 2"), Label("In 3"), Label("In 4"),
                                                  Label("Out 1"), Label("Out 2"), Label("Out 3"), Label("Out 4")}))});
    EXPECT_EQ(Params(), expected);
}

TEST_F(MixerTest, LabelsRoundTripThroughTheCodePage)
{
    CStdMixerController mixer(block);
    ASSERT_TRUE(mixer.Load());
    ASSERT_TRUE(mixer.SetLabel(true, 1, u"Caf\u00E9 \u20AC5"));
    const Bytes params = Params();
    const std::string encoded = "Caf\xE9 \x80"
                                "5";
    const Bytes needle = Label(encoded);
    EXPECT_NE(std::search(params.begin(), params.end(), needle.begin(), needle.end()), params.end());

    DiagramBlock other;
    other.SetParamBlob(params.data(), static_cast<std::uint32_t>(params.size()));
    CStdMixerController reloaded(other);
    ASSERT_TRUE(reloaded.Load());
    EXPECT_EQ(reloaded.GetLabel(true, 1), u"Caf\u00E9 \u20AC5");
}

TEST_F(MixerTest, NullLabelStoresAnEmptyLabel)
{
    CStdMixerController mixer(block);
    ASSERT_TRUE(mixer.Load());
    ASSERT_TRUE(mixer.SetLabel(false, 3, nullptr));
    EXPECT_EQ(mixer.GetLabel(false, 3), u"");
}

TEST_F(MixerTest, LabelTooLongForTheBufferFailsAndKeepsThePreviousLabelAndBlobs)
{
    CStdMixerController mixer(block);
    ASSERT_TRUE(mixer.Load());
    const Bytes before = Params();
    const std::u16string tooLong(500, u'x');
    EXPECT_FALSE(mixer.SetLabel(true, 0, tooLong.c_str()));
    EXPECT_EQ(mixer.GetLabel(true, 0), u"Out 1");
    EXPECT_EQ(Params(), before);
}

TEST_F(MixerTest, CrossPointEditCommitsTheEffectiveGain)
{
    RecordingAmplifier amplifier;
    block.SetAmplifier(&amplifier);
    CStdMixerController mixer(block);
    ASSERT_TRUE(mixer.Load());
    ASSERT_TRUE(mixer.SetCrossPoint(2, 0, CrossPoint{1, -6.5f}));
    EXPECT_EQ(Coefficient(2, 0), -6.5);
    ASSERT_TRUE(mixer.SetCrossPoint(0, 0, CrossPoint{0, 3.0f}));
    EXPECT_EQ(Coefficient(0, 0), -200.0);
    EXPECT_EQ(mixer.GetCrossPoint(0, 0), (CrossPoint{0, 3.0f}));
    ASSERT_FALSE(amplifier.queued.empty());
    EXPECT_EQ(amplifier.queued.back().type, 11);
    EXPECT_EQ(amplifier.queued.back().coefficients.size(), 128u);
    EXPECT_FALSE(mixer.SetCrossPoint(4, 0, CrossPoint{1, 0.0f}));
    block.SetAmplifier(nullptr);
}

TEST_F(MixerTest, GainsAreKeptInThePanelsRange)
{
    CStdMixerController mixer(block);
    ASSERT_TRUE(mixer.Load());
    mixer.SetCrossPoint(1, 1, CrossPoint{1, 40.0f});
    EXPECT_EQ(mixer.GetCrossPoint(1, 1).gain, 12.0f);
    mixer.SetCrossPoint(1, 1, CrossPoint{1, -1e30f});
    EXPECT_EQ(mixer.GetCrossPoint(1, 1).gain, -12.0f);
    mixer.SetCrossPoint(1, 1, CrossPoint{1, std::numeric_limits<float>::quiet_NaN()});
    EXPECT_EQ(mixer.GetCrossPoint(1, 1).gain, 0.0f);
}

TEST_F(MixerTest, PastingChangesNothingAndSucceeds)
{
    CStdMixerController mixer(block);
    ASSERT_TRUE(mixer.Load());
    const Bytes before = Params();
    const Bytes pasted = List({Chunk(0xB9, Bytes{1})});
    EXPECT_TRUE(mixer.ApplyBlob(0, pasted.data(), static_cast<std::uint32_t>(pasted.size())));
    EXPECT_TRUE(mixer.ApplyBlob(0, nullptr, 0));
    EXPECT_EQ(Params(), before);
}

TEST_F(MixerTest, ModelAndChannelConfigAreStoredButChangeNothing)
{
    CStdMixerController mixer(block);
    EXPECT_FALSE(mixer.SetModel(ModelType::MV340A));
    EXPECT_EQ(mixer.GetModel(), ModelType::MV340A);
    ChannelConfig config;
    config.bit16 = 1;
    EXPECT_FALSE(mixer.ApplyChannelConfig(config));
    EXPECT_EQ(mixer.GetStatusFlag(), 1);
}

TEST_F(MixerTest, PanelOpensWithTheBlocksNameAndCloses)
{
    block.name = u"Matrix Mixer";
    CStdMixerController mixer(block);
    RecordingPanelHost host;
    ASSERT_NE(mixer.OpenDialog(host), nullptr);
    EXPECT_EQ(host.kinds.back(), PanelKind::StdMixer);
    EXPECT_EQ(host.log.front(), "title:Matrix Mixer");
    EXPECT_TRUE(mixer.CloseDialog());
    EXPECT_FALSE(mixer.CloseDialog());
    host.refuse = true;
    EXPECT_EQ(mixer.OpenDialog(host), nullptr);
}
