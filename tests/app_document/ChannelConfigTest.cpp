// Channel configuration records from the amplifier's hardware status word, and their
// delivery to the controllers.
#include "application/document/ChannelConfigRules.h"

#include <gtest/gtest.h>

#include "application/document/AmplifierRef.h"
#include "tests/app_document/DocumentTestSupport.h"

namespace {

// A controller that records what it was handed and answers as told.
class ScriptedController final : public CController {
public:
    explicit ScriptedController(bool accept) : accept_(accept) {}
    bool Load() override { return true; }
    bool ApplyBlob(std::int32_t, const std::uint8_t*, std::uint32_t) override { return false; }
    IBlockPanel* OpenDialog(IPanelHost&) override { return nullptr; }
    bool CloseDialog() override { return false; }
    bool Commit() override { return true; }
    bool SetModel(ModelType model) override
    {
        models.push_back(model);
        return false;
    }
    bool ApplyChannelConfig(ChannelConfig config) override
    {
        received.push_back(config);
        return accept_;
    }
    void OnPanelDestroyed(IBlockPanel*) override {}

    std::vector<ChannelConfig> received;
    std::vector<ModelType> models;

private:
    bool accept_;
};

TEST(ChannelModeFromStatus, TheChannelsOwnBitGivesLowImpedanceWhateverTheSelectBitSays)
{
    EXPECT_EQ(ChannelModeFromStatus(0x1000, 0), 2u);
    EXPECT_EQ(ChannelModeFromStatus(0x1200, 0), 2u);
    EXPECT_EQ(ChannelModeFromStatus(0x0200, 0), 3u);
    EXPECT_EQ(ChannelModeFromStatus(0x0000, 0), 4u);
    EXPECT_EQ(ChannelModeFromStatus(0x8000, 3), 2u);
    EXPECT_EQ(ChannelModeFromStatus(0x8000, 2), 4u);
}

TEST(MakeChannelConfigFromChange, FillsOnlyTheEntriesOfTheModelsChannels)
{
    const ChannelConfig config = MakeChannelConfigFromChange(0, 0x22A5, 2, 1);
    EXPECT_EQ(config.kind, 2u);
    EXPECT_EQ(config.channelCount, 2u);
    EXPECT_EQ(config.channels[0].statusLow, 0xA5);
    EXPECT_EQ(config.channels[0].mode, 3u);
    EXPECT_EQ(config.channels[1].statusLow, 0xA5);
    EXPECT_EQ(config.channels[1].mode, 2u);
    EXPECT_EQ(config.channels[2].statusLow, 0);
    EXPECT_EQ(config.channels[2].mode, 0u);
    EXPECT_EQ(config.channels[3].mode, 0u);
    EXPECT_EQ(config.freshDesign, 1);
    EXPECT_EQ(config.anyAccepted, 0);
}

TEST(MakeChannelConfigFromChange, MarksChannelsWhoseOwnBitChanged)
{
    const ChannelConfig config = MakeChannelConfigFromChange(0x1000, 0x4000, 4, 0);
    EXPECT_EQ(config.changedMask, 0b0101u);
    EXPECT_EQ(config.bit16Changed, 0);
}

TEST(MakeChannelConfigFromChange, TogglingOnlyTheSelectBitMarksEveryChannelWhoseOwnBitIsClear)
{
    const ChannelConfig config = MakeChannelConfigFromChange(0x5000, 0x5200, 4, 0);
    EXPECT_EQ(config.changedMask, 0b1010u);
    EXPECT_EQ(config.channels[0].mode, 2u);
    EXPECT_EQ(config.channels[1].mode, 3u);
}

TEST(MakeChannelConfigFromChange, ReportsBit16AndWhetherItChanged)
{
    ChannelConfig config = MakeChannelConfigFromChange(0x10000, 0x10000, 4, 0);
    EXPECT_EQ(config.bit16, 1);
    EXPECT_EQ(config.bit16Changed, 0);
    config = MakeChannelConfigFromChange(0x10000, 0, 4, 0);
    EXPECT_EQ(config.bit16, 0);
    EXPECT_EQ(config.bit16Changed, 1);
    EXPECT_EQ(config.changedMask, 0u);
}

TEST(MakeChannelConfigFromChange, AChannelCountAboveFourWritesFourEntries)
{
    const ChannelConfig config = MakeChannelConfigFromChange(0, 0xF000, 9, 0);
    EXPECT_EQ(config.channelCount, 9u);
    for (const ChannelConfigEntry& entry : config.channels) {
        EXPECT_EQ(entry.mode, 2u);
    }
}

TEST(MakeFirstStatusChannelConfig, KindIsTheFreshDesignFlagAndNothingIsMarkedChanged)
{
    ChannelConfig config = MakeFirstStatusChannelConfig(0x11200, 4, 1);
    EXPECT_EQ(config.kind, 1u);
    EXPECT_EQ(config.changedMask, 0u);
    EXPECT_EQ(config.bit16, 1);
    EXPECT_EQ(config.bit16Changed, 0);
    EXPECT_EQ(config.channels[0].mode, 2u);
    EXPECT_EQ(config.channels[1].mode, 3u);
    config = MakeFirstStatusChannelConfig(0, 2, 0);
    EXPECT_EQ(config.kind, 0u);
    EXPECT_EQ(config.channels[1].mode, 4u);
    EXPECT_EQ(config.channels[2].mode, 0u);
}

TEST(ApplyChannelConfigToControllers, EveryControllerSeesTheRecordAsItCameAndAnyAcceptanceIsReported)
{
    std::vector<std::unique_ptr<CController>> controllers;
    controllers.push_back(std::make_unique<ScriptedController>(true));
    controllers.push_back(std::make_unique<ScriptedController>(false));
    const ChannelConfig result = ApplyChannelConfigToControllers(controllers, MakeChannelConfigFromChange(0, 0x1000, 4, 0));
    EXPECT_EQ(result.anyAccepted, 1);
    for (const auto& controller : controllers) {
        const auto& received = static_cast<ScriptedController&>(*controller).received;
        ASSERT_EQ(received.size(), 1u);
        EXPECT_EQ(received[0].anyAccepted, 0);
        EXPECT_EQ(received[0].changedMask, 1u);
    }
}

TEST(ApplyChannelConfigToControllers, NoAcceptanceLeavesTheFlagClear)
{
    std::vector<std::unique_ptr<CController>> controllers;
    controllers.push_back(std::make_unique<ScriptedController>(false));
    EXPECT_EQ(ApplyChannelConfigToControllers(controllers, ChannelConfig{}).anyAccepted, 0);
}

TEST(ApplyModelToControllers, TellsEveryControllerInOrder)
{
    std::vector<std::unique_ptr<CController>> controllers;
    controllers.push_back(std::make_unique<ScriptedController>(false));
    controllers.push_back(std::make_unique<ScriptedController>(false));
    ApplyModelToControllers(controllers, ModelType::MV340A);
    for (const auto& controller : controllers) {
        EXPECT_EQ(static_cast<ScriptedController&>(*controller).models, std::vector<ModelType>{ModelType::MV340A});
    }
}

class DocumentStatusTest : public DocumentTest {};

TEST_F(DocumentStatusTest, AConfigurationAControllerAcceptsWritesTheBlocksToTheCurrentAmplifier)
{
    NewDesign(ModelType::MV440);
    RecordingAmplifier amplifier;
    CurrentAmplifier::Set(&amplifier);
    // Every channel low-impedance: the default crossovers are within range, nothing changes.
    ChannelConfig delivered = Doc().OnFirstStatus(0xF000, 4);
    EXPECT_EQ(delivered.kind, 1u);
    EXPECT_EQ(delivered.anyAccepted, 0);
    EXPECT_EQ(amplifier.flushes, 0);
    // Channel 0 turns high-impedance: its crossover is raised, so the blocks are written.
    delivered = Doc().OnStatusChanged(0xF000, 0xE000, 4);
    EXPECT_EQ(delivered.changedMask, 1u);
    EXPECT_EQ(delivered.anyAccepted, 1);
    EXPECT_EQ(amplifier.flushes, 1);
    CurrentAmplifier::Set(nullptr);
    EXPECT_EQ(amplifier.refs, 0u);
}

TEST_F(DocumentStatusTest, NothingIsFlushedWhenNoControllerAccepts)
{
    WriteWholeFile(DataFolder() / "BlockDiagram2.txt", "header\n0\t0\t1\t1\t0\t0\t0\t3\t0\tDrawn\n");
    NewDesign(ModelType::MV440);
    RecordingAmplifier amplifier;
    CurrentAmplifier::Set(&amplifier);
    const ChannelConfig delivered = Doc().OnStatusChanged(0, 0xF200, 4);
    EXPECT_EQ(delivered.anyAccepted, 0);
    EXPECT_EQ(amplifier.flushes, 0);
    CurrentAmplifier::Set(nullptr);
}

TEST_F(DocumentStatusTest, TheRecordCarriesTheDocumentsFreshDesignFlag)
{
    NewDesign(ModelType::MV220);
    EXPECT_TRUE(Doc().IsFreshDesign());
    EXPECT_EQ(Doc().OnStatusChanged(0, 0, 2).freshDesign, 1);
    EXPECT_EQ(Doc().OnFirstStatus(0, 2).kind, 1u);
}

}  // namespace
