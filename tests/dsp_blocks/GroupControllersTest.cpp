// The group controllers: delay, input gain and output polarity.
#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "BlobBytes.h"
#include "TestDoubles.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/LDelayDialogController.h"
#include "dsp_blocks/blocks/LInputGainDialogController.h"
#include "dsp_blocks/blocks/LOutputGainDialogController.h"

namespace {

Bytes Of(const ByteBlob& blob)
{
    return Bytes(blob.Data(), blob.Data() + blob.Size());
}

void SetBlob(DiagramBlock& block, const Bytes& bytes)
{
    block.SetParamBlob(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

// Four blocks of one type on channels 0 to 3, as a group.
class GroupTest : public ::testing::Test {
protected:
    void MakeBlocks(BlockType type)
    {
        for (std::int32_t c = 0; c < 4; ++c) {
            blocks.push_back(std::make_unique<DiagramBlock>());
            blocks.back()->type = type;
            blocks.back()->channel = c;
            blocks.back()->flags = 0x20000;
            pointers.push_back(blocks.back().get());
        }
    }
    void Attach()
    {
        for (auto& block : blocks) {
            block->SetAmplifier(&amp);
        }
    }
    void TearDown() override
    {
        for (auto& block : blocks) {
            block->SetAmplifier(nullptr);
        }
    }

    // Declared first: the blocks hold references to it until TearDown.
    RecordingAmplifier amp;
    std::vector<std::unique_ptr<DiagramBlock>> blocks;
    std::vector<DiagramBlock*> pointers;
};

Bytes DelayBlob(std::uint8_t unit, float delay)
{
    return List({Chunk(0x90, Bytes{unit}), Chunk(0x91, F32(delay))});
}

}  // namespace

TEST(DelaySamples, TenAndAHalfMillisecondsIsFiveHundredFourSamples)
{
    EXPECT_EQ(LDelayDialogController::DelayToSamples(10.5f), 504);
    EXPECT_EQ(LDelayDialogController::DelayToSamples(0.01f), 0);
    EXPECT_EQ(LDelayDialogController::DelayToSamples(50.0f), 2400);
}

using DelayTest = GroupTest;

TEST_F(DelayTest, EmptyBlobsGiveZeroDelayAndTheThirteenByteBlob)
{
    MakeBlocks(BlockType::Delay);
    LDelayDialogController controller(pointers);
    ASSERT_TRUE(controller.Load());
    EXPECT_EQ(controller.GetCount(), 4u);
    for (auto& block : blocks) {
        EXPECT_EQ(Of(block->paramBlob), (Bytes{0x01, 0x00, 0x90, 0x00, 0x04, 0x00, 0x91, 0, 0, 0, 0, 0x00, 0x00}));
        EXPECT_EQ(Of(block->coefBlob), (Bytes{0, 0, 0, 0}));
    }
}

TEST_F(DelayTest, CommittedDelaySendsSamplesAndDeferredDelaySendsNothing)
{
    MakeBlocks(BlockType::Delay);
    LDelayDialogController controller(pointers);
    ASSERT_TRUE(controller.Load());
    Attach();
    EXPECT_TRUE(controller.SetDelay(1, 10.5f, true));
    EXPECT_TRUE(amp.queued.empty());
    EXPECT_EQ(controller.GetDelay(1), 10.5f);
    EXPECT_TRUE(controller.SetDelay(1, 10.5f, false));
    ASSERT_EQ(amp.queued.size(), 1u);
    EXPECT_EQ(amp.queued[0].type, 7);
    EXPECT_EQ(amp.queued[0].channel, 1);
    EXPECT_EQ(amp.queued[0].coefficients, (Bytes{0xF8, 0x01, 0x00, 0x00}));  // 504
    EXPECT_EQ(amp.queued[0].parameters, DelayBlob(0, 10.5f));
    EXPECT_EQ(amp.queued[0].parameters, Of(blocks[1]->paramBlob));
    EXPECT_FALSE(controller.SetDelay(4, 1.0f, false));
}

TEST_F(DelayTest, UnitReachesEveryBlockAtTheNextCommit)
{
    MakeBlocks(BlockType::Delay);
    LDelayDialogController controller(pointers);
    ASSERT_TRUE(controller.Load());
    controller.SetUnit(2);
    EXPECT_EQ(Of(blocks[3]->paramBlob), DelayBlob(0, 0.0f));
    ASSERT_TRUE(controller.Commit());
    for (auto& block : blocks) {
        EXPECT_EQ(Of(block->paramBlob), DelayBlob(2, 0.0f));
    }
}

TEST_F(DelayTest, BlocksThatDisagreeOnTheUnitLoadAsTheFirstNonMillisecondOneAndAllTakeIt)
{
    MakeBlocks(BlockType::Delay);
    SetBlob(*blocks[0], DelayBlob(0, 1.0f));
    SetBlob(*blocks[1], DelayBlob(1, 3.5f));
    SetBlob(*blocks[2], DelayBlob(2, 12.0f));
    LDelayDialogController controller(pointers);
    ASSERT_TRUE(controller.Load());
    EXPECT_EQ(controller.GetDelay(1), 3.5f);
    EXPECT_EQ(controller.GetDelay(2), 12.0f);
    // Milliseconds (the first block) and no blob (the last) are what a block holds before
    // any choice reached it; metres is the first choice in channel order.
    EXPECT_EQ(controller.GetUnit(), LDelayDialogController::kUnitMetres);
    EXPECT_EQ(Of(blocks[0]->paramBlob), DelayBlob(1, 1.0f));
    EXPECT_EQ(Of(blocks[2]->paramBlob), DelayBlob(1, 12.0f));
    EXPECT_EQ(Of(blocks[3]->paramBlob), DelayBlob(1, 0.0f));
    // A pasted unit is a unit change too: every block takes it at once.
    Attach();
    const Bytes pasted = DelayBlob(2, 20.0f);
    ASSERT_TRUE(controller.ApplyBlob(3, pasted.data(), static_cast<std::uint32_t>(pasted.size())));
    EXPECT_EQ(amp.queued.size(), 4u);
    EXPECT_EQ(Of(blocks[0]->paramBlob), DelayBlob(2, 1.0f));
    EXPECT_EQ(Of(blocks[3]->paramBlob), DelayBlob(2, 20.0f));
    EXPECT_TRUE(controller.ChangeUnit(LDelayDialogController::kUnitMilliseconds));
    EXPECT_EQ(amp.queued.size(), 8u);
    EXPECT_EQ(Of(blocks[1]->paramBlob), DelayBlob(0, 3.5f));
}

TEST_F(DelayTest, DecodedDelaysAndUnitsAreClamped)
{
    MakeBlocks(BlockType::Delay);
    SetBlob(*blocks[0], DelayBlob(9, 80.0f));
    SetBlob(*blocks[1], DelayBlob(1, std::numeric_limits<float>::quiet_NaN()));
    SetBlob(*blocks[2], DelayBlob(1, -3.0f));
    LDelayDialogController controller(pointers);
    ASSERT_TRUE(controller.Load());
    EXPECT_EQ(controller.GetDelay(0), 50.0f);
    EXPECT_EQ(Of(blocks[0]->coefBlob), (Bytes{0x60, 0x09, 0, 0}));  // 2400 samples
    // Unit 9 is none: the metres of the next block are the group's.
    EXPECT_EQ(Of(blocks[0]->paramBlob), DelayBlob(1, 50.0f));
    EXPECT_EQ(controller.GetDelay(1), 0.0f);
    EXPECT_EQ(controller.GetDelay(2), 0.0f);
    EXPECT_TRUE(controller.SetDelay(3, 1e30f, false));
    EXPECT_EQ(controller.GetDelay(3), 50.0f);
}

TEST_F(DelayTest, FailedDecodeStopsLoadAtThatBlock)
{
    MakeBlocks(BlockType::Delay);
    SetBlob(*blocks[0], DelayBlob(0, 5.0f));
    SetBlob(*blocks[1], Bytes{0x04, 0x00, 0x91, 0x00});  // cut short
    SetBlob(*blocks[2], DelayBlob(0, 7.0f));
    LDelayDialogController controller(pointers);
    EXPECT_FALSE(controller.Load());
    EXPECT_EQ(controller.GetDelay(0), 5.0f);
    EXPECT_EQ(controller.GetDelay(2), 0.0f);
    EXPECT_TRUE(blocks[2]->coefBlob.Empty());  // not committed
}

TEST_F(DelayTest, OlderLayoutReadsAsZero)
{
    MakeBlocks(BlockType::Delay);
    Bytes older(128, 0x11);
    older[0] = 0;
    SetBlob(*blocks[0], older);
    LDelayDialogController controller(pointers);
    ASSERT_TRUE(controller.Load());
    EXPECT_EQ(Of(blocks[0]->paramBlob), DelayBlob(0, 0.0f));
}

TEST_F(DelayTest, PasteOnChannelTwoUpdatesEntryTwoOnly)
{
    MakeBlocks(BlockType::Delay);
    LDelayDialogController controller(pointers);
    ASSERT_TRUE(controller.Load());
    RecordingPanelHost host;
    ASSERT_NE(controller.OpenDialog(host), nullptr);
    EXPECT_EQ(host.kinds.at(0), PanelKind::Delay);
    const Bytes pasted = DelayBlob(0, 20.0f);
    ASSERT_TRUE(blocks[2]->controller == nullptr);
    ASSERT_TRUE(controller.ApplyBlob(2, pasted.data(), static_cast<std::uint32_t>(pasted.size())));
    EXPECT_EQ(controller.GetDelay(2), 20.0f);
    EXPECT_EQ(controller.GetDelay(1), 0.0f);
    EXPECT_EQ(controller.GetDelay(3), 0.0f);
    EXPECT_EQ(host.log, (std::vector<std::string>{"row:2"}));
    EXPECT_EQ(Of(blocks[2]->coefBlob), (Bytes{0xC0, 0x03, 0, 0}));  // 960 samples
}

TEST_F(DelayTest, PasteOnAChannelOutsideTheGroupIsRefused)
{
    MakeBlocks(BlockType::Delay);
    LDelayDialogController controller(pointers);
    ASSERT_TRUE(controller.Load());
    const Bytes pasted = DelayBlob(0, 20.0f);
    EXPECT_FALSE(controller.ApplyBlob(4, pasted.data(), static_cast<std::uint32_t>(pasted.size())));
    EXPECT_FALSE(controller.ApplyBlob(-1, pasted.data(), static_cast<std::uint32_t>(pasted.size())));
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(controller.GetDelay(i), 0.0f);
    }
}

TEST_F(DelayTest, PanelOpensOnceAndClosesThroughTheBase)
{
    MakeBlocks(BlockType::Delay);
    LDelayDialogController controller(pointers);
    RecordingPanelHost host;
    controller.OpenDialog(host);
    controller.OpenDialog(host);  // a second open replaces the first panel
    EXPECT_TRUE(host.panels[0]->destroyed);
    EXPECT_FALSE(host.panels[1]->destroyed);
    controller.OnPanelDestroyed(host.panels[1]);
    EXPECT_FALSE(controller.CloseDialog());
    host.refuse = true;
    EXPECT_EQ(controller.OpenDialog(host), nullptr);
    EXPECT_FALSE(controller.CloseDialog());
}

using InputGainTest = GroupTest;

TEST_F(InputGainTest, EveryBlockGetsTheOneBytePlaceholders)
{
    MakeBlocks(BlockType::InputGain);
    SetBlob(*blocks[1], Bytes{7, 7, 7});
    LInputGainDialogController controller(pointers);
    Attach();
    ASSERT_TRUE(controller.Load());
    for (auto& block : blocks) {
        EXPECT_EQ(Of(block->coefBlob), Bytes{0});
        EXPECT_EQ(Of(block->paramBlob), Bytes{0});
    }
    ASSERT_EQ(amp.queued.size(), 4u);
    EXPECT_EQ(amp.queued[3].type, 1);
    EXPECT_EQ(amp.queued[3].channel, 3);
    const Bytes anything{1, 2, 3};
    EXPECT_TRUE(controller.ApplyBlob(0, anything.data(), 3));
    EXPECT_EQ(amp.queued.size(), 4u);
    EXPECT_FALSE(controller.SetModel(ModelType::MV440));
    EXPECT_FALSE(controller.ApplyChannelConfig(ChannelConfig{}));
    RecordingPanelHost host;
    controller.OpenDialog(host);
    EXPECT_EQ(host.kinds.at(0), PanelKind::InputBlank);
    EXPECT_TRUE(controller.CloseDialog());
}

using OutputPolarityTest = GroupTest;

TEST_F(OutputPolarityTest, DefaultBlobsAreSixAndOneBytes)
{
    MakeBlocks(BlockType::OutputGain);
    LOutputGainDialogController controller(pointers);
    ASSERT_TRUE(controller.Load());
    for (auto& block : blocks) {
        EXPECT_EQ(Of(block->paramBlob), (Bytes{0x01, 0x00, 0x90, 0x00, 0x00, 0x00}));
        EXPECT_EQ(Of(block->coefBlob), Bytes{0});
        EXPECT_EQ(block->polarityMark, 0);
    }
}

TEST_F(OutputPolarityTest, PolarityTwoIsStoredAsTwoAndSentAsOne)
{
    MakeBlocks(BlockType::OutputGain);
    SetBlob(*blocks[1], List({Chunk(0x90, Bytes{2})}));
    LOutputGainDialogController controller(pointers);
    Attach();
    ASSERT_TRUE(controller.Load());
    std::uint8_t polarity = 0;
    ASSERT_TRUE(controller.GetPolarity(1, polarity));
    EXPECT_EQ(polarity, 2);
    EXPECT_EQ(Of(blocks[1]->paramBlob), (Bytes{0x01, 0x00, 0x90, 0x02, 0x00, 0x00}));
    EXPECT_EQ(Of(blocks[1]->coefBlob), Bytes{1});
    EXPECT_EQ(blocks[1]->polarityMark, 2);
    ASSERT_EQ(amp.queued.size(), 4u);
    EXPECT_EQ(amp.queued[1].type, 8);
    EXPECT_EQ(amp.queued[1].channel, 1);
    EXPECT_EQ(amp.queued[1].coefficients, Bytes{1});
    EXPECT_EQ(amp.queued[1].parameters, Of(blocks[1]->paramBlob));
}

TEST_F(OutputPolarityTest, SetPolarityCommitsThatOutputOnly)
{
    MakeBlocks(BlockType::OutputGain);
    LOutputGainDialogController controller(pointers);
    ASSERT_TRUE(controller.Load());
    Attach();
    ASSERT_TRUE(controller.SetPolarity(2, 1));
    ASSERT_EQ(amp.queued.size(), 1u);
    EXPECT_EQ(amp.queued[0].channel, 2);
    EXPECT_EQ(blocks[2]->polarityMark, 1);
    ASSERT_TRUE(controller.SetPolarity(2, 0));
    EXPECT_EQ(Of(blocks[2]->coefBlob), Bytes{0});
    EXPECT_FALSE(controller.SetPolarity(4, 1));
    std::uint8_t out = 9;
    EXPECT_FALSE(controller.GetPolarity(4, out));
    EXPECT_EQ(out, 9);
    EXPECT_EQ(controller.GetCount(), 4u);
}

TEST_F(OutputPolarityTest, OlderLayoutIsNotDecoded)
{
    MakeBlocks(BlockType::OutputGain);
    Bytes older(128, 0x90);
    older[0] = 0;
    SetBlob(*blocks[0], older);
    LOutputGainDialogController controller(pointers);
    ASSERT_TRUE(controller.Load());
    EXPECT_EQ(Of(blocks[0]->paramBlob), (Bytes{0x01, 0x00, 0x90, 0x00, 0x00, 0x00}));
}

TEST_F(OutputPolarityTest, FailedDecodeStopsLoadAtThatBlock)
{
    MakeBlocks(BlockType::OutputGain);
    SetBlob(*blocks[0], Bytes{0x01, 0x00, 0x90});
    LOutputGainDialogController controller(pointers);
    EXPECT_FALSE(controller.Load());
    EXPECT_TRUE(blocks[0]->coefBlob.Empty());
    EXPECT_TRUE(blocks[1]->coefBlob.Empty());
}

TEST_F(OutputPolarityTest, PasteReachesTheOutputOfItsChannelAndRefreshesIt)
{
    MakeBlocks(BlockType::OutputGain);
    LOutputGainDialogController controller(pointers);
    ASSERT_TRUE(controller.Load());
    RecordingPanelHost host;
    controller.OpenDialog(host);
    EXPECT_EQ(host.kinds.at(0), PanelKind::OutputPolarity);
    const Bytes pasted = List({Chunk(0x90, Bytes{1})});
    ASSERT_TRUE(controller.ApplyBlob(3, pasted.data(), static_cast<std::uint32_t>(pasted.size())));
    EXPECT_EQ(blocks[3]->polarityMark, 1);
    EXPECT_EQ(blocks[2]->polarityMark, 0);
    EXPECT_EQ(host.log, (std::vector<std::string>{"row:3"}));
    EXPECT_FALSE(controller.ApplyBlob(4, pasted.data(), static_cast<std::uint32_t>(pasted.size())));
    EXPECT_FALSE(controller.SetModel(ModelType::MV440));
    EXPECT_FALSE(controller.ApplyChannelConfig(ChannelConfig{}));
}
