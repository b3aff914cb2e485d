// The controller factory: grouping, the two passes, the channel table and failure.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dsp_blocks/blocks/CCrossoverController.h"
#include "dsp_blocks/blocks/CStdMixerController.h"
#include "dsp_blocks/blocks/ControllerFactory.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/LDelayDialogController.h"
#include "dsp_blocks/blocks/LInputEQController.h"
#include "dsp_blocks/blocks/LInputGainDialogController.h"
#include "dsp_blocks/blocks/LLimiterController.h"
#include "dsp_blocks/blocks/LOutputGainDialogController.h"
#include "dsp_blocks/blocks/LSpeakerEQDialogController.h"

namespace {

// A controller the caller held before the factory ran; records when it is deleted.
class FakeController final : public CController {
public:
    FakeController(std::string kind, std::vector<std::string>& log) : kind_(std::move(kind)), log_(log) {}
    ~FakeController() override { log_.push_back("delete " + kind_); }
    bool Load() override
    {
        log_.push_back("load " + kind_);
        return true;
    }
    bool ApplyBlob(std::int32_t, const std::uint8_t*, std::uint32_t) override { return true; }
    IBlockPanel* OpenDialog(IPanelHost&) override { return nullptr; }
    bool CloseDialog() override { return false; }
    bool Commit() override { return true; }
    bool SetModel(ModelType) override { return false; }
    bool ApplyChannelConfig(ChannelConfig) override { return false; }
    void OnPanelDestroyed(IBlockPanel*) override {}

private:
    std::string kind_;
    std::vector<std::string>& log_;
};

std::vector<std::string> g_log;

class FactoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_log.clear();
    }
    DiagramBlock& Add(BlockType type, std::int32_t channel, bool grouped)
    {
        owned.push_back(std::make_unique<DiagramBlock>());
        owned.back()->type = type;
        owned.back()->channel = channel;
        owned.back()->flags = grouped ? 0x20000u : 0u;
        blocks.push_back(owned.back().get());
        return *owned.back();
    }

    std::vector<std::unique_ptr<DiagramBlock>> owned;
    std::vector<DiagramBlock*> blocks;
    std::vector<std::unique_ptr<CController>> out;
};

}  // namespace

TEST_F(FactoryTest, UngroupedBlocksGetOneControllerEachInListOrder)
{
    DiagramBlock& eq = Add(BlockType::InputEQ, 0, false);
    DiagramBlock& crossover = Add(BlockType::Crossover, 0, false);
    DiagramBlock& drawn = Add(static_cast<BlockType>(3), 0, false);
    DiagramBlock& mixer = Add(BlockType::StdMixer, 0, false);
    DiagramBlock& limiter = Add(BlockType::Limiter, 0, false);
    ASSERT_TRUE(CreateControllers(blocks, out));
    ASSERT_EQ(out.size(), 4u);
    EXPECT_NE(dynamic_cast<LInputEQController*>(out[0].get()), nullptr);
    EXPECT_NE(dynamic_cast<CCrossoverController*>(out[1].get()), nullptr);
    EXPECT_EQ(eq.controller, out[0].get());
    EXPECT_EQ(crossover.controller, out[1].get());
    EXPECT_EQ(drawn.controller, nullptr);
    EXPECT_EQ(mixer.controller, out[2].get());
    EXPECT_EQ(limiter.controller, out[3].get());
    EXPECT_NE(dynamic_cast<CStdMixerController*>(out[2].get()), nullptr);
    EXPECT_NE(dynamic_cast<LLimiterController*>(out[3].get()), nullptr);
    EXPECT_EQ(eq.paramBlob.Size(), 220u);  // loaded and committed
    EXPECT_FALSE(limiter.paramBlob.Empty());
}

TEST_F(FactoryTest, GroupsShareOneControllerAndComeBeforeUngroupedBlocks)
{
    DiagramBlock& eq = Add(BlockType::InputEQ, 0, false);
    DiagramBlock& out1 = Add(BlockType::OutputGain, 0, true);
    DiagramBlock& gain0 = Add(BlockType::InputGain, 0, true);
    DiagramBlock& delay0 = Add(BlockType::Delay, 0, true);
    DiagramBlock& gain1 = Add(BlockType::InputGain, 1, true);
    DiagramBlock& delay1 = Add(BlockType::Delay, 1, true);
    DiagramBlock& out2 = Add(BlockType::OutputGain, 1, true);
    ASSERT_TRUE(CreateControllers(blocks, out));
    ASSERT_EQ(out.size(), 4u);
    auto* gain = dynamic_cast<LInputGainDialogController*>(out[0].get());
    auto* delay = dynamic_cast<LDelayDialogController*>(out[1].get());
    auto* polarity = dynamic_cast<LOutputGainDialogController*>(out[2].get());
    ASSERT_NE(gain, nullptr);
    ASSERT_NE(delay, nullptr);
    ASSERT_NE(polarity, nullptr);
    EXPECT_EQ(out[3].get(), eq.controller);
    EXPECT_EQ(gain0.controller, gain);
    EXPECT_EQ(gain1.controller, gain);
    EXPECT_EQ(delay0.controller, delay);
    EXPECT_EQ(delay1.controller, delay);
    EXPECT_EQ(out1.controller, polarity);
    EXPECT_EQ(out2.controller, polarity);
    EXPECT_EQ(gain->GetCount(), 2u);
    EXPECT_EQ(polarity->GetCount(), 2u);
    EXPECT_EQ(delay->GetCount(), 2u);
}

TEST_F(FactoryTest, GroupedPerBlockTypesGetNoController)
{
    DiagramBlock& eq = Add(BlockType::InputEQ, 0, true);
    DiagramBlock& crossover = Add(BlockType::Crossover, 0, true);
    DiagramBlock& mixer = Add(BlockType::StdMixer, 0, true);
    DiagramBlock& limiter = Add(BlockType::Limiter, 0, true);
    ASSERT_TRUE(CreateControllers(blocks, out));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(eq.controller, nullptr);
    EXPECT_EQ(crossover.controller, nullptr);
    EXPECT_EQ(mixer.controller, nullptr);
    EXPECT_EQ(limiter.controller, nullptr);
}

// The records of the speaker-EQ group reach the crossover and limiter of their channel:
// a preset choice resets that crossover and names the preset on that limiter.
TEST_F(FactoryTest, SpeakerEqComesLastWithItsChannelsCrossoverAndLimiter)
{
    DiagramBlock& speaker0 = Add(BlockType::SpeakerEQ, 0, true);
    DiagramBlock& speaker1 = Add(BlockType::SpeakerEQ, 1, true);
    Add(BlockType::Crossover, 0, false);
    Add(BlockType::Limiter, 0, false);
    Add(BlockType::Crossover, 0, false);  // the later crossover of channel 0 wins
    Add(BlockType::Crossover, 2, false);
    ASSERT_TRUE(CreateControllers(blocks, out));
    ASSERT_EQ(out.size(), 5u);
    auto* speaker = dynamic_cast<LSpeakerEQDialogController*>(out[4].get());
    ASSERT_NE(speaker, nullptr);
    EXPECT_EQ(speaker0.controller, speaker);
    EXPECT_EQ(speaker1.controller, speaker);
    ASSERT_EQ(speaker->GetCount(), 2u);
    auto* earlier = dynamic_cast<CCrossoverController*>(out[0].get());
    auto* limiter = dynamic_cast<LLimiterController*>(out[1].get());
    auto* later = dynamic_cast<CCrossoverController*>(out[2].get());
    auto* other = dynamic_cast<CCrossoverController*>(out[3].get());
    ASSERT_TRUE(earlier && limiter && later && other);
    const CrossoverFilter moved{2, 300.0f};
    for (CCrossoverController* crossover : {earlier, later, other}) {
        ASSERT_TRUE(crossover->SetFilter(0, moved, false));
    }
    // A name the library lacks takes its first preset, which has no crossover.
    ASSERT_TRUE(speaker->SetPreset(0, u"Elsewhere"));
    EXPECT_EQ(later->GetHighPass(), CCrossoverController::kDefaultHighPass);
    EXPECT_EQ(earlier->GetHighPass(), moved);
    EXPECT_EQ(other->GetHighPass(), moved);
    EXPECT_EQ(limiter->GetPresetName(), u"Elsewhere");
    // Channel 1 has neither: the record still takes presets.
    EXPECT_TRUE(speaker->SetPreset(1, u"Other"));
    EXPECT_EQ(limiter->GetPresetName(), u"Elsewhere");
    EXPECT_EQ(other->GetHighPass(), moved);
}

TEST_F(FactoryTest, ChannelsOutsideTheTableAreNotLookedUp)
{
    DiagramBlock& crossoverBlock = Add(BlockType::Crossover, 4, false);
    DiagramBlock& limiterBlock = Add(BlockType::Limiter, -1, false);
    Add(BlockType::SpeakerEQ, 9, true);
    Add(BlockType::SpeakerEQ, -3, true);
    ASSERT_TRUE(CreateControllers(blocks, out));
    auto* speaker = dynamic_cast<LSpeakerEQDialogController*>(out.back().get());
    ASSERT_NE(speaker, nullptr);
    auto* crossover = dynamic_cast<CCrossoverController*>(crossoverBlock.controller);
    auto* limiter = dynamic_cast<LLimiterController*>(limiterBlock.controller);
    ASSERT_TRUE(crossover && limiter);
    ASSERT_TRUE(crossover->SetFilter(0, CrossoverFilter{2, 300.0f}, false));
    EXPECT_TRUE(speaker->SetPreset(0, u"Elsewhere"));
    EXPECT_TRUE(speaker->SetPreset(1, u"Elsewhere"));
    EXPECT_EQ(crossover->GetHighPass(), (CrossoverFilter{2, 300.0f}));
    EXPECT_NE(limiter->GetPresetName(), u"Elsewhere");
}

TEST_F(FactoryTest, FailedLoadKeepsTheControllerButReportsFalse)
{
    DiagramBlock& crossover = Add(BlockType::Crossover, 0, false);
    const std::uint8_t corrupt[] = {0x09, 0x00, 0xF0};
    crossover.SetParamBlob(corrupt, sizeof corrupt);
    Add(BlockType::InputEQ, 0, false);
    EXPECT_FALSE(CreateControllers(blocks, out));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(crossover.controller, out[0].get());
    EXPECT_EQ(crossover.paramBlob.Size(), 3u);  // nothing committed over the stored blob
}

TEST_F(FactoryTest, GroupedDrawOnlyTypeFailsAndUndoesEverything)
{
    FakeController previous("previous", g_log);
    DiagramBlock& gain = Add(BlockType::InputGain, 0, true);  // key 1: made before key 6 fails
    gain.controller = &previous;
    DiagramBlock& delay = Add(BlockType::Delay, 0, true);
    Add(static_cast<BlockType>(6), 0, true);
    DiagramBlock& crossover = Add(BlockType::Crossover, 0, false);
    out.push_back(std::make_unique<FakeController>("kept", g_log));
    EXPECT_FALSE(CreateControllers(blocks, out));
    ASSERT_EQ(out.size(), 1u);  // the caller's list is untouched
    EXPECT_EQ(gain.controller, &previous);
    EXPECT_EQ(delay.controller, nullptr);
    EXPECT_EQ(crossover.controller, nullptr);
}

TEST_F(FactoryTest, GroupedTypesOutsideTheKnownRangeFail)
{
    for (std::int32_t type : {0, 3, 9, 10, 13, 999, -5}) {
        owned.clear();
        blocks.clear();
        out.clear();
        DiagramBlock& delay = Add(BlockType::Delay, 0, true);
        Add(static_cast<BlockType>(type), 0, true);
        Add(BlockType::InputEQ, 0, false);
        EXPECT_FALSE(CreateControllers(blocks, out)) << "type " << type;
        EXPECT_TRUE(out.empty());
        EXPECT_EQ(delay.controller, nullptr) << "type " << type;
    }
}

TEST_F(FactoryTest, SuccessReplacesTheCallersList)
{
    Add(BlockType::InputEQ, 0, false);
    out.push_back(std::make_unique<FakeController>("old", g_log));
    ASSERT_TRUE(CreateControllers(blocks, out));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_NE(dynamic_cast<LInputEQController*>(out[0].get()), nullptr);
    EXPECT_EQ(g_log, (std::vector<std::string>{"delete old"}));
}
