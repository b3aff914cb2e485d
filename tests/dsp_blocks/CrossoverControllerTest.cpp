// The crossover controller: blob layouts, defaults, design, channel-mode floor, paste.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "BlobBytes.h"
#include "TestDoubles.h"
#include "dsp_blocks/blocks/CCrossoverController.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/filters/FilterDesign.h"
#include "dsp_blocks/filters/FilterTypeTable.h"

namespace {

Bytes FilterChunk(std::uint8_t index, std::uint8_t type, float frequency)
{
    return Chunk(0xF0, Cat({Bytes{index}, Chunk(0xE1, Cat({Bytes{type}, F32(frequency)}))}));
}

ChannelConfig ConfigWithMode(std::int32_t channel, std::uint32_t mode)
{
    ChannelConfig config;
    config.channelCount = 4;
    config.channels[static_cast<std::size_t>(channel)].mode = mode;
    return config;
}

class CrossoverTest : public ::testing::Test {
protected:
    CrossoverTest()
    {
        block.type = BlockType::Crossover;
        block.channel = 1;
        block.name = u"Crossover 2";
    }

    void SetBlob(const Bytes& bytes) { block.SetParamBlob(bytes.data(), static_cast<std::uint32_t>(bytes.size())); }
    Bytes ParamBytes() const { return Bytes(block.paramBlob.Data(), block.paramBlob.Data() + block.paramBlob.Size()); }

    RecordingAmplifier amp;  // declared before the block, which may hold a reference
    DiagramBlock block;
    CCrossoverController controller{block};
};

}  // namespace

TEST_F(CrossoverTest, EmptyBlobLoadsFlatDefaultsAndWritesTheTwentySixByteBlob)
{
    ASSERT_TRUE(controller.Load());
    EXPECT_EQ(controller.GetHighPass(), (CrossoverFilter{0, 20.0f}));
    EXPECT_EQ(controller.GetLowPass(), (CrossoverFilter{0, 20000.0f}));
    const Bytes expected = List({FilterChunk(0, 0, 20.0f), FilterChunk(1, 0, 20000.0f)});
    ASSERT_EQ(expected.size(), 26u);
    EXPECT_EQ(ParamBytes(), expected);
    ASSERT_EQ(block.coefBlob.Size(), 160u);
    for (std::size_t section = 0; section < 4; ++section) {
        EXPECT_EQ(DoubleAt(block.coefBlob.Data(), section * 5), 1.0);
        for (std::size_t k = 1; k < 5; ++k) {
            EXPECT_EQ(DoubleAt(block.coefBlob.Data(), section * 5 + k), 0.0);
        }
    }
}

TEST_F(CrossoverTest, OlderLayoutStartingWithFlatLoadsDefaults)
{
    Bytes older(128, 0x55);
    std::memcpy(older.data(), "Flat", 4);
    SetBlob(older);
    EXPECT_TRUE(controller.Load());
    EXPECT_EQ(controller.GetHighPass(), CCrossoverController::kDefaultHighPass);
    EXPECT_EQ(block.paramBlob.Size(), 26u);
}

TEST_F(CrossoverTest, StoredFiltersRoundTripAndDesignTwoSectionsEach)
{
    SetBlob(List({FilterChunk(0, FilterTypeCode::kButterworth24, 80.0f),
                  FilterChunk(1, FilterTypeCode::kLinkwitzRiley24, 2500.0f)}));
    ASSERT_TRUE(controller.Load());
    EXPECT_EQ(controller.GetHighPass(), (CrossoverFilter{4, 80.0f}));
    EXPECT_EQ(controller.GetLowPass(), (CrossoverFilter{13, 2500.0f}));

    const FilterDesign& hp = FindFilterTable(true, FilterTypeCode::kButterworth24);
    const BiquadCoefficients hp2 = DesignSection(hp.rows[1], 80.0f, 1.0);
    EXPECT_EQ(controller.GetSections()[1], hp2);
    // Second high-pass section is values 5 to 9: b0, b0 c1, b0 c2, -a1, -a2.
    const std::uint8_t* coef = block.coefBlob.Data();
    EXPECT_EQ(DoubleAt(coef, 5), hp2.b0);
    EXPECT_EQ(DoubleAt(coef, 6), hp2.b0 * hp2.c1);
    EXPECT_EQ(DoubleAt(coef, 7), hp2.b0 * hp2.c2);
    EXPECT_EQ(DoubleAt(coef, 8), -hp2.a1);
    EXPECT_EQ(DoubleAt(coef, 9), -hp2.a2);

    DiagramBlock copy;
    copy.SetParamBlob(block.paramBlob.Data(), block.paramBlob.Size());
    CCrossoverController reloaded(copy);
    ASSERT_TRUE(reloaded.Load());
    EXPECT_EQ(reloaded.GetHighPass(), controller.GetHighPass());
    EXPECT_EQ(reloaded.GetLowPass(), controller.GetLowPass());
    EXPECT_EQ(ParamBytes(), Bytes(copy.paramBlob.Data(), copy.paramBlob.Data() + copy.paramBlob.Size()));
}

TEST_F(CrossoverTest, FilterIndexTwoAndUnknownTagsAreIgnored)
{
    SetBlob(List({FilterChunk(2, 4, 300.0f), Chunk(0x33, Bytes{1, 2, 3}), FilterChunk(0, 2, 90.0f)}));
    ASSERT_TRUE(controller.Load());
    EXPECT_EQ(controller.GetHighPass(), (CrossoverFilter{2, 90.0f}));
    EXPECT_EQ(controller.GetLowPass(), CCrossoverController::kDefaultLowPass);
}

TEST_F(CrossoverTest, DecodedValuesAreBroughtIntoPanelRanges)
{
    SetBlob(List({FilterChunk(0, 5, std::numeric_limits<float>::quiet_NaN()), FilterChunk(1, 200, 99999.0f)}));
    ASSERT_TRUE(controller.Load());
    EXPECT_EQ(controller.GetHighPass(), (CrossoverFilter{0, 20.0f}));  // type 5 is not offered
    EXPECT_EQ(controller.GetLowPass(), (CrossoverFilter{0, 20000.0f}));
    SetBlob(List({FilterChunk(0, 2, 3.0f), FilterChunk(1, 2, -std::numeric_limits<float>::infinity())}));
    ASSERT_TRUE(controller.Load());
    EXPECT_EQ(controller.GetHighPass().frequency, 20.0f);
    EXPECT_EQ(controller.GetLowPass().frequency, 20.0f);
}

TEST_F(CrossoverTest, HighImpedanceModesRaiseTheHighPassToFiftyHertz)
{
    for (std::uint32_t mode : {3u, 4u}) {
        block.SetAmplifier(&amp);
        ASSERT_TRUE(controller.SetFilter(0, CrossoverFilter{2, 30.0f}, false));
        amp.queued.clear();
        EXPECT_TRUE(controller.ApplyChannelConfig(ConfigWithMode(1, mode)));
        EXPECT_EQ(controller.GetHighPass().frequency, 50.0f);
        EXPECT_EQ(controller.GetChannelMode(), mode);
        ASSERT_EQ(amp.queued.size(), 1u);  // committed
        EXPECT_EQ(amp.queued[0].parameters, ParamBytes());
        block.SetAmplifier(nullptr);
        controller.ApplyChannelConfig(ConfigWithMode(1, 2));
    }
}

TEST_F(CrossoverTest, FloorLeavesHigherFrequenciesAndOtherModesAlone)
{
    ASSERT_TRUE(controller.SetFilter(0, CrossoverFilter{2, 60.0f}, false));
    EXPECT_FALSE(controller.ApplyChannelConfig(ConfigWithMode(1, 3)));
    EXPECT_EQ(controller.GetHighPass().frequency, 60.0f);
    ASSERT_TRUE(controller.ApplyChannelConfig(ConfigWithMode(1, 2)) == false);
    ASSERT_TRUE(controller.SetFilter(0, CrossoverFilter{2, 30.0f}, false));
    EXPECT_FALSE(controller.ApplyChannelConfig(ConfigWithMode(1, 2)));
    EXPECT_EQ(controller.GetHighPass().frequency, 30.0f);
    // The channel's own entry counts, not another channel's.
    EXPECT_FALSE(controller.ApplyChannelConfig(ConfigWithMode(0, 3)));
    EXPECT_EQ(controller.GetHighPass().frequency, 30.0f);
}

TEST_F(CrossoverTest, ChannelOutsideTheConfigIsNotLookedUp)
{
    block.channel = 7;
    ASSERT_TRUE(controller.SetFilter(0, CrossoverFilter{2, 30.0f}, false));
    EXPECT_FALSE(controller.ApplyChannelConfig(ConfigWithMode(3, 3)));
    EXPECT_EQ(controller.GetChannelMode(), 1u);
    EXPECT_EQ(controller.GetHighPass().frequency, 30.0f);
}

TEST_F(CrossoverTest, OpenPanelLearnsTheModeAndReloadsWhenTheFloorMovedIt)
{
    RecordingPanelHost host;
    ASSERT_NE(controller.OpenDialog(host), nullptr);
    EXPECT_EQ(host.kinds.at(0), PanelKind::Crossover);
    EXPECT_EQ(host.log, (std::vector<std::string>{"title:Crossover 2"}));
    ASSERT_TRUE(controller.SetFilter(0, CrossoverFilter{2, 30.0f}, false));
    controller.ApplyChannelConfig(ConfigWithMode(1, 3));
    EXPECT_EQ(host.log, (std::vector<std::string>{"title:Crossover 2", "mode", "refresh"}));
    EXPECT_TRUE(controller.CloseDialog());
    EXPECT_TRUE(host.panels[0]->destroyed);
    EXPECT_FALSE(controller.CloseDialog());
}

TEST_F(CrossoverTest, RedesignOnlyChangesSectionsButSendsAndStoresNothing)
{
    ASSERT_TRUE(controller.Load());
    block.SetAmplifier(&amp);
    const Bytes before = ParamBytes();
    const BiquadCoefficients flat = controller.GetSections()[0];
    EXPECT_TRUE(controller.SetFilter(0, CrossoverFilter{2, 500.0f}, true));
    EXPECT_NE(controller.GetSections()[0], flat);
    EXPECT_TRUE(amp.queued.empty());
    EXPECT_EQ(ParamBytes(), before);
    block.SetAmplifier(nullptr);
}

TEST_F(CrossoverTest, SetFiltersNullRestoresDefaultsAndCommits)
{
    const CrossoverFilterPair pair{{4, 100.0f}, {4, 3000.0f}};
    ASSERT_TRUE(controller.SetFilters(&pair));
    EXPECT_EQ(controller.GetLowPass(), (CrossoverFilter{4, 3000.0f}));
    ASSERT_TRUE(controller.SetFilters(nullptr));
    EXPECT_EQ(controller.GetHighPass(), CCrossoverController::kDefaultHighPass);
    EXPECT_EQ(controller.GetLowPass(), CCrossoverController::kDefaultLowPass);
    EXPECT_EQ(block.paramBlob.Size(), 26u);
}

TEST_F(CrossoverTest, CommitForwardsExactlyWhatItStoredToTheAmplifier)
{
    block.SetAmplifier(&amp);
    ASSERT_TRUE(controller.SetFilter(1, CrossoverFilter{7, 1200.0f}, false));
    ASSERT_EQ(amp.queued.size(), 1u);
    EXPECT_EQ(amp.queued[0].type, 4);
    EXPECT_EQ(amp.queued[0].channel, 1);
    EXPECT_EQ(amp.queued[0].parameters, ParamBytes());
    EXPECT_EQ(amp.queued[0].coefficients,
              Bytes(block.coefBlob.Data(), block.coefBlob.Data() + block.coefBlob.Size()));
    EXPECT_EQ(amp.queued[0].coefficients.size(), 160u);
    block.SetAmplifier(nullptr);
}

TEST_F(CrossoverTest, PasteAppliesOverCurrentValuesAndRefreshesThePanel)
{
    RecordingPanelHost host;
    ASSERT_TRUE(controller.SetFilter(1, CrossoverFilter{3, 5000.0f}, false));
    controller.OpenDialog(host);
    const Bytes pasted = List({FilterChunk(0, 12, 120.0f)});
    EXPECT_TRUE(controller.ApplyBlob(3, pasted.data(), static_cast<std::uint32_t>(pasted.size())));
    EXPECT_EQ(controller.GetHighPass(), (CrossoverFilter{12, 120.0f}));
    EXPECT_EQ(controller.GetLowPass(), (CrossoverFilter{3, 5000.0f}));
    EXPECT_EQ(host.log.back(), "refresh");
}

// The high-impedance floor is the high-pass's alone: paste, setters and load leave a
// low-pass below 50 Hz where it is.
TEST_F(CrossoverTest, HighImpedanceFloorRaisesOnlyTheHighPass)
{
    controller.ApplyChannelConfig(ConfigWithMode(1, 4));
    const Bytes pasted = List({FilterChunk(0, 2, 25.0f), FilterChunk(1, 2, 40.0f)});
    ASSERT_TRUE(controller.ApplyBlob(0, pasted.data(), static_cast<std::uint32_t>(pasted.size())));
    EXPECT_EQ(controller.GetHighPass().frequency, 50.0f);
    EXPECT_EQ(controller.GetLowPass().frequency, 40.0f);
    ASSERT_TRUE(controller.SetFilter(1, CrossoverFilter{2, 30.0f}, false));
    EXPECT_EQ(controller.GetLowPass(), (CrossoverFilter{2, 30.0f}));
    const CrossoverFilterPair pair{{2, 25.0f}, {2, 35.0f}};
    ASSERT_TRUE(controller.SetFilters(&pair));
    EXPECT_EQ(controller.GetHighPass().frequency, 50.0f);
    EXPECT_EQ(controller.GetLowPass().frequency, 35.0f);
    SetBlob(List({FilterChunk(0, 2, 25.0f), FilterChunk(1, 2, 45.0f)}));
    ASSERT_TRUE(controller.Load());
    EXPECT_EQ(controller.GetLowPass().frequency, 45.0f);
}

TEST_F(CrossoverTest, PasteThatFailsHalfWayChangesNothing)
{
    ASSERT_TRUE(controller.SetFilter(0, CrossoverFilter{2, 100.0f}, false));
    const Bytes before = ParamBytes();
    // A good high-pass chunk, then a low-pass chunk whose values are cut short.
    const Bytes pasted = List({FilterChunk(0, 4, 300.0f), Chunk(0xF0, Cat({Bytes{1}, Chunk(0xE1, Bytes{2, 0})}))});
    EXPECT_FALSE(controller.ApplyBlob(0, pasted.data(), static_cast<std::uint32_t>(pasted.size())));
    EXPECT_EQ(controller.GetHighPass(), (CrossoverFilter{2, 100.0f}));
    EXPECT_EQ(ParamBytes(), before);
}

TEST_F(CrossoverTest, ModelDoesNotMatter)
{
    EXPECT_FALSE(controller.SetModel(ModelType::MV340A));
}
