// The controller factory: grouping, the two passes, the channel table and failure.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dsp_blocks/blocks/CCrossoverController.h"
#include "dsp_blocks/blocks/ControllerFactory.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/LDelayDialogController.h"
#include "dsp_blocks/blocks/LInputEQController.h"
#include "dsp_blocks/blocks/LInputGainDialogController.h"
#include "dsp_blocks/blocks/LOutputGainDialogController.h"

namespace {

// Stands in for the controllers made outside this library; records what it was made for.
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
std::vector<SpeakerEqChannel> g_speakerChannels;

std::unique_ptr<CController> MakeMixer(DiagramBlock&)
{
    return std::make_unique<FakeController>("mixer", g_log);
}

std::unique_ptr<CController> MakeLimiter(DiagramBlock&, LLimiterController*& limiter)
{
    auto controller = std::make_unique<FakeController>("limiter", g_log);
    // Only the pointer's identity travels to the speaker-EQ records.
    limiter = reinterpret_cast<LLimiterController*>(controller.get());
    return controller;
}

std::unique_ptr<CController> MakeSpeakerEq(std::vector<SpeakerEqChannel> channels)
{
    g_speakerChannels = std::move(channels);
    return std::make_unique<FakeController>("speaker", g_log);
}

constexpr ControllerMakers kMakers{MakeMixer, MakeLimiter, MakeSpeakerEq};

class FactoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_log.clear();
        g_speakerChannels.clear();
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
    ASSERT_TRUE(CreateControllers(blocks, out, kMakers));
    ASSERT_EQ(out.size(), 4u);
    EXPECT_NE(dynamic_cast<LInputEQController*>(out[0].get()), nullptr);
    EXPECT_NE(dynamic_cast<CCrossoverController*>(out[1].get()), nullptr);
    EXPECT_EQ(eq.controller, out[0].get());
    EXPECT_EQ(crossover.controller, out[1].get());
    EXPECT_EQ(drawn.controller, nullptr);
    EXPECT_EQ(mixer.controller, out[2].get());
    EXPECT_EQ(limiter.controller, out[3].get());
    EXPECT_EQ(g_log, (std::vector<std::string>{"load mixer", "load limiter"}));
    EXPECT_EQ(eq.paramBlob.Size(), 220u);  // loaded and committed
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
    ASSERT_TRUE(CreateControllers(blocks, out, kMakers));
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
    ASSERT_TRUE(CreateControllers(blocks, out, kMakers));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(eq.controller, nullptr);
    EXPECT_EQ(crossover.controller, nullptr);
    EXPECT_EQ(mixer.controller, nullptr);
    EXPECT_EQ(limiter.controller, nullptr);
}

TEST_F(FactoryTest, SpeakerEqComesLastWithItsChannelsCrossoverAndLimiter)
{
    DiagramBlock& speaker0 = Add(BlockType::SpeakerEQ, 0, true);
    DiagramBlock& speaker1 = Add(BlockType::SpeakerEQ, 1, true);
    Add(BlockType::Crossover, 0, false);
    Add(BlockType::Limiter, 0, false);
    Add(BlockType::Crossover, 0, false);  // the later crossover of channel 0 wins
    Add(BlockType::Crossover, 2, false);
    ASSERT_TRUE(CreateControllers(blocks, out, kMakers));
    ASSERT_EQ(out.size(), 5u);
    EXPECT_EQ(speaker0.controller, out[4].get());
    EXPECT_EQ(speaker1.controller, out[4].get());
    ASSERT_EQ(g_speakerChannels.size(), 2u);
    EXPECT_EQ(g_speakerChannels[0].block, &speaker0);
    EXPECT_EQ(g_speakerChannels[0].crossover, out[2].get());
    EXPECT_EQ(reinterpret_cast<CController*>(g_speakerChannels[0].limiter), out[1].get());
    EXPECT_TRUE(g_speakerChannels[0].presetName.empty());
    // Channel 1 has neither: null entries, still one record.
    EXPECT_EQ(g_speakerChannels[1].block, &speaker1);
    EXPECT_EQ(g_speakerChannels[1].crossover, nullptr);
    EXPECT_EQ(g_speakerChannels[1].limiter, nullptr);
    EXPECT_EQ(g_log.back(), "load speaker");
}

TEST_F(FactoryTest, ChannelsOutsideTheTableAreNotLookedUp)
{
    Add(BlockType::Crossover, 4, false);
    Add(BlockType::Limiter, -1, false);
    DiagramBlock& speaker = Add(BlockType::SpeakerEQ, 9, true);
    Add(BlockType::SpeakerEQ, -3, true);
    ASSERT_TRUE(CreateControllers(blocks, out, kMakers));
    ASSERT_EQ(g_speakerChannels.size(), 2u);
    EXPECT_EQ(g_speakerChannels[0].block, &speaker);
    EXPECT_EQ(g_speakerChannels[0].crossover, nullptr);
    EXPECT_EQ(g_speakerChannels[1].limiter, nullptr);
}

TEST_F(FactoryTest, KindsWithoutAMakerGetNoController)
{
    DiagramBlock& mixer = Add(BlockType::StdMixer, 0, false);
    DiagramBlock& speaker = Add(BlockType::SpeakerEQ, 0, true);
    Add(BlockType::Crossover, 0, false);
    ASSERT_TRUE(CreateControllers(blocks, out, ControllerMakers{}));
    EXPECT_EQ(out.size(), 1u);
    EXPECT_EQ(mixer.controller, nullptr);
    EXPECT_EQ(speaker.controller, nullptr);
}

TEST_F(FactoryTest, FailedLoadKeepsTheControllerButReportsFalse)
{
    DiagramBlock& crossover = Add(BlockType::Crossover, 0, false);
    const std::uint8_t corrupt[] = {0x09, 0x00, 0xF0};
    crossover.SetParamBlob(corrupt, sizeof corrupt);
    Add(BlockType::InputEQ, 0, false);
    EXPECT_FALSE(CreateControllers(blocks, out, kMakers));
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
    EXPECT_FALSE(CreateControllers(blocks, out, kMakers));
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
        EXPECT_FALSE(CreateControllers(blocks, out, kMakers)) << "type " << type;
        EXPECT_TRUE(out.empty());
        EXPECT_EQ(delay.controller, nullptr) << "type " << type;
    }
}

TEST_F(FactoryTest, SuccessReplacesTheCallersList)
{
    Add(BlockType::InputEQ, 0, false);
    out.push_back(std::make_unique<FakeController>("old", g_log));
    ASSERT_TRUE(CreateControllers(blocks, out, kMakers));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_NE(dynamic_cast<LInputEQController*>(out[0].get()), nullptr);
    EXPECT_EQ(g_log, (std::vector<std::string>{"delete old"}));
}

TEST_F(FactoryTest, RegisteredMakersServeTheTwoArgumentForm)
{
    DiagramBlock& mixer = Add(BlockType::StdMixer, 0, false);
    const ControllerMakers saved = RegisteredControllerMakers();
    RegisteredControllerMakers() = kMakers;
    EXPECT_TRUE(CreateControllers(blocks, out));
    RegisteredControllerMakers() = saved;
    EXPECT_EQ(mixer.controller, out.at(0).get());
}
