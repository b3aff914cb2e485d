// The block diagrams that ship in Data: the rules they follow, the controllers the factory
// makes from them for every model, and blobs that fit the amplifier's parameter image.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "dsp_blocks/blocks/CCrossoverController.h"
#include "dsp_blocks/blocks/ChannelConfig.h"
#include "dsp_blocks/blocks/CStdMixerController.h"
#include "dsp_blocks/blocks/ControllerFactory.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/LDelayDialogController.h"
#include "dsp_blocks/blocks/LInputEQController.h"
#include "dsp_blocks/blocks/LInputGainDialogController.h"
#include "dsp_blocks/blocks/LLimiterController.h"
#include "dsp_blocks/blocks/LOutputGainDialogController.h"
#include "dsp_blocks/blocks/LSpeakerEQDialogController.h"
#include "dsp_blocks/speaker_eq/SpeakerEqLibrary.h"
#include "platform/base/Cp1252.h"
#include "platform/base/TextLineReader.h"

namespace {

const std::filesystem::path kShipped = QUARRY_SHIPPED_DATA_DIR;

struct Diagram {
    std::vector<std::unique_ptr<DiagramBlock>> owned;
    std::vector<DiagramBlock*> blocks;
};

// The two model families share their files: 0 and 1 the two-channel one, the others the
// four-channel one.
std::filesystem::path DiagramFile(int model)
{
    return kShipped / (model <= 1 ? "BlockDiagram.txt" : "BlockDiagram2.txt");
}

int ChannelCount(int model)
{
    return model <= 1 ? 2 : 4;
}

// Reads a diagram the way the document does: the header line skipped, every further line
// one block, parsed from its ANSI text.
Diagram ReadDiagram(const std::filesystem::path& path)
{
    Diagram diagram;
    std::optional<platform::TextLineReader> reader = platform::TextLineReader::FromFile(path);
    EXPECT_TRUE(reader.has_value()) << path;
    if (!reader) {
        return diagram;
    }
    std::string line;
    reader->ReadLine(line);
    while (reader->ReadLine(line)) {
        diagram.owned.push_back(std::make_unique<DiagramBlock>());
        diagram.owned.back()->ParseDescription(platform::Cp1252ToUtf16(line));
        diagram.blocks.push_back(diagram.owned.back().get());
    }
    return diagram;
}

// Sizes of each block type's areas in the amplifier's parameter image: the coefficient
// data must fill its area exactly, the parameter data may be shorter.
struct Area {
    std::uint32_t coefficients;
    std::uint32_t parameters;
};
const std::map<BlockType, Area> kAreas = {
    {BlockType::InputGain, {1, 1}},   {BlockType::InputEQ, {360, 256}}, {BlockType::StdMixer, {128, 512}},
    {BlockType::Crossover, {160, 256}}, {BlockType::SpeakerEQ, {360, 256}}, {BlockType::Limiter, {48, 128}},
    {BlockType::Delay, {4, 128}},     {BlockType::OutputGain, {1, 128}},
};

class ShippedDiagramTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { LoadSpeakerEqLibrary(kShipped); }
};

template <typename T>
std::size_t CountOf(const std::vector<std::unique_ptr<CController>>& controllers)
{
    std::size_t count = 0;
    for (const auto& controller : controllers) {
        if (dynamic_cast<T*>(controller.get()) != nullptr) {
            ++count;
        }
    }
    return count;
}

// The diagram's controllers, each set to `model`.
bool CreateModelControllers(Diagram& diagram, int model, std::vector<std::unique_ptr<CController>>& controllers)
{
    if (!CreateControllers(diagram.blocks, controllers)) {
        return false;
    }
    for (const auto& controller : controllers) {
        controller->SetModel(static_cast<ModelType>(model));
    }
    return true;
}

}  // namespace

TEST_P(ShippedDiagramTest, LinesFollowTheDiagramRules)
{
    const int model = GetParam();
    const Diagram diagram = ReadDiagram(DiagramFile(model));
    const int channels = ChannelCount(model);
    ASSERT_EQ(diagram.blocks.size(), static_cast<std::size_t>(7 * channels + 1));
    std::map<BlockType, std::set<std::int32_t>> channelsOfType;
    std::set<std::tuple<std::int32_t, std::int32_t, std::int32_t>> keys;
    std::int32_t previousStage = -1;
    std::map<BlockType, std::int32_t> stageOfType;
    for (const DiagramBlock* block : diagram.blocks) {
        EXPECT_GE(block->stage, previousStage) << "stages ascend";
        previousStage = block->stage;
        EXPECT_TRUE(keys.emplace(static_cast<std::int32_t>(block->type), block->channel, block->stage).second);
        const bool grouped = block->IsGrouped();
        const bool shouldGroup = block->type == BlockType::InputGain || block->type == BlockType::SpeakerEQ ||
                                 block->type == BlockType::Delay || block->type == BlockType::OutputGain;
        EXPECT_EQ(grouped, shouldGroup) << block->stage << "/" << block->channel;
        EXPECT_FALSE(block->name.empty());
        EXPECT_GT(block->extent, 0);
        EXPECT_TRUE(block->IsHitTestable());
        EXPECT_TRUE(kAreas.count(block->type)) << static_cast<int>(block->type);
        channelsOfType[block->type].insert(block->channel);
        if (stageOfType.count(block->type) != 0) {
            EXPECT_EQ(stageOfType[block->type], block->stage) << "one stage per kind";
        }
        stageOfType[block->type] = block->stage;
        if (block->type == BlockType::StdMixer) {
            EXPECT_EQ(block->channel, 0);
            EXPECT_EQ(block->inputCount, channels);
            EXPECT_EQ(block->outputCount, channels);
        } else {
            EXPECT_EQ(block->inputCount, 1);
            EXPECT_EQ(block->outputCount, 1);
        }
    }
    std::set<std::int32_t> all;
    for (int c = 0; c < channels; ++c) {
        all.insert(c);
    }
    for (BlockType type : {BlockType::InputGain, BlockType::InputEQ, BlockType::Crossover, BlockType::SpeakerEQ,
                           BlockType::Delay, BlockType::OutputGain, BlockType::Limiter}) {
        EXPECT_EQ(channelsOfType[type], all) << static_cast<int>(type);
    }
    EXPECT_EQ(channelsOfType[BlockType::StdMixer], std::set<std::int32_t>{0});
    // The signal runs left to right through the stages.
    EXPECT_LT(stageOfType[BlockType::InputEQ], stageOfType[BlockType::StdMixer]);
    EXPECT_LT(stageOfType[BlockType::StdMixer], stageOfType[BlockType::Crossover]);
    EXPECT_LT(stageOfType[BlockType::Crossover], stageOfType[BlockType::SpeakerEQ]);
}

// Project files find blocks by (type, channel, stage): these must never move.
TEST_P(ShippedDiagramTest, StageNumbersAreFrozen)
{
    const Diagram diagram = ReadDiagram(DiagramFile(GetParam()));
    const std::map<BlockType, std::int32_t> frozen = {
        {BlockType::InputGain, 0}, {BlockType::InputEQ, 1}, {BlockType::StdMixer, 2}, {BlockType::Crossover, 3},
        {BlockType::SpeakerEQ, 4}, {BlockType::Delay, 5},   {BlockType::Limiter, 6},  {BlockType::OutputGain, 7},
    };
    for (const DiagramBlock* block : diagram.blocks) {
        EXPECT_EQ(block->stage, frozen.at(block->type)) << static_cast<int>(block->type);
    }
}

TEST_P(ShippedDiagramTest, FactoryMakesTheExpectedControllers)
{
    const int model = GetParam();
    Diagram diagram = ReadDiagram(DiagramFile(model));
    const auto channels = static_cast<std::size_t>(ChannelCount(model));
    std::vector<std::unique_ptr<CController>> controllers;
    ASSERT_TRUE(CreateControllers(diagram.blocks, controllers));
    EXPECT_EQ(controllers.size(), 3 * channels + 1 + 4);
    EXPECT_EQ(CountOf<LInputEQController>(controllers), channels);
    EXPECT_EQ(CountOf<CCrossoverController>(controllers), channels);
    EXPECT_EQ(CountOf<LLimiterController>(controllers), channels);
    EXPECT_EQ(CountOf<CStdMixerController>(controllers), 1u);
    EXPECT_EQ(CountOf<LInputGainDialogController>(controllers), 1u);
    EXPECT_EQ(CountOf<LDelayDialogController>(controllers), 1u);
    EXPECT_EQ(CountOf<LOutputGainDialogController>(controllers), 1u);
    ASSERT_EQ(CountOf<LSpeakerEQDialogController>(controllers), 1u);
    auto* speaker = dynamic_cast<LSpeakerEQDialogController*>(controllers.back().get());
    ASSERT_NE(speaker, nullptr) << "the speaker EQ comes last";
    EXPECT_EQ(speaker->GetCount(), channels);
    for (const DiagramBlock* block : diagram.blocks) {
        EXPECT_NE(block->controller, nullptr) << static_cast<int>(block->type) << "/" << block->channel;
    }
    auto* mixer = dynamic_cast<CStdMixerController*>(
        std::find_if(diagram.blocks.begin(), diagram.blocks.end(), [](const DiagramBlock* b) {
            return b->type == BlockType::StdMixer;
        })[0]->controller);
    ASSERT_NE(mixer, nullptr);
    EXPECT_EQ(mixer->GetActiveChannelCount(), channels);
    // Each channel's preset reaches that channel's crossover and limiter.
    for (std::size_t c = 0; c < channels; ++c) {
        ASSERT_TRUE(speaker->SetPreset(c, u"Flat"));
    }
}

TEST_P(ShippedDiagramTest, EveryBlobFitsItsAreaOfTheParameterImage)
{
    const int model = GetParam();
    Diagram diagram = ReadDiagram(DiagramFile(model));
    std::vector<std::unique_ptr<CController>> controllers;
    ASSERT_TRUE(CreateModelControllers(diagram, model, controllers));
    for (const DiagramBlock* block : diagram.blocks) {
        const Area& area = kAreas.at(block->type);
        EXPECT_EQ(block->coefBlob.Size(), area.coefficients) << static_cast<int>(block->type);
        EXPECT_GT(block->paramBlob.Size(), 0u) << static_cast<int>(block->type);
        EXPECT_LE(block->paramBlob.Size(), area.parameters) << static_cast<int>(block->type);
        EXPECT_LT(block->channel, 4);
    }
}

TEST_P(ShippedDiagramTest, SpeakerEqBlocksShareTheChannelOfTheirCrossoverAndLimiter)
{
    const Diagram diagram = ReadDiagram(DiagramFile(GetParam()));
    for (const DiagramBlock* speaker : diagram.blocks) {
        if (speaker->type != BlockType::SpeakerEQ) {
            continue;
        }
        int crossovers = 0;
        int limiters = 0;
        for (const DiagramBlock* other : diagram.blocks) {
            crossovers += other->type == BlockType::Crossover && other->channel == speaker->channel;
            limiters += other->type == BlockType::Limiter && other->channel == speaker->channel;
        }
        EXPECT_EQ(crossovers, 1) << speaker->channel;
        EXPECT_EQ(limiters, 1) << speaker->channel;
    }
}

// Every shipped preset goes onto every channel of every model, offline and in each output
// mode (low impedance, 100 V and 70 V line), without a refusal; the crossover keeps the
// preset's filters as they are, high-impedance lines included.
TEST_P(ShippedDiagramTest, EveryShippedPresetLoadsInEveryChannelMode)
{
    ASSERT_TRUE(LoadSpeakerEqLibrary(kShipped)) << SpeakerEqLibraryError();
    const int model = GetParam();
    Diagram diagram = ReadDiagram(DiagramFile(model));
    std::vector<std::unique_ptr<CController>> controllers;
    ASSERT_TRUE(CreateModelControllers(diagram, model, controllers));
    auto* speaker = dynamic_cast<LSpeakerEQDialogController*>(controllers.back().get());
    ASSERT_NE(speaker, nullptr);
    const auto channels = static_cast<std::size_t>(ChannelCount(model));
    const auto controllerOf = [&diagram](BlockType type, std::size_t channel) {
        for (const DiagramBlock* block : diagram.blocks) {
            if (block->type == type && block->channel == static_cast<std::int32_t>(channel)) {
                return block->controller;
            }
        }
        return static_cast<CController*>(nullptr);
    };
    for (const std::uint32_t mode : {1u, 2u, 3u, 4u}) {
        // Mode 1 is the offline one, before any status.
        if (mode != 1) {
            ChannelConfig config;
            config.kind = 2;
            config.channelCount = static_cast<std::uint32_t>(channels);
            config.changedMask = 0xF;
            for (std::size_t c = 0; c < channels; ++c) {
                config.channels[c].mode = mode;
            }
            for (const auto& controller : controllers) {
                controller->ApplyChannelConfig(config);
            }
        }
        for (const speaker_eq::SpeakerEqPreset& preset : SpeakerEqPresets()) {
            for (std::size_t c = 0; c < channels; ++c) {
                ASSERT_TRUE(speaker->SetPreset(c, preset.name.c_str())) << c << " mode " << mode;
                const auto* crossover = dynamic_cast<CCrossoverController*>(controllerOf(BlockType::Crossover, c));
                const auto* limiter = dynamic_cast<LLimiterController*>(controllerOf(BlockType::Limiter, c));
                ASSERT_NE(crossover, nullptr);
                ASSERT_NE(limiter, nullptr);
                if (preset.highPassType != 0 || preset.lowPassType != 0) {
                    EXPECT_EQ(crossover->GetHighPass(), (CrossoverFilter{preset.highPassType, preset.highPassFrequency}))
                        << "mode " << mode;
                    EXPECT_EQ(crossover->GetLowPass(), (CrossoverFilter{preset.lowPassType, preset.lowPassFrequency}));
                }
                EXPECT_EQ(limiter->GetPresetName(), preset.name);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryModel, ShippedDiagramTest, ::testing::Values(0, 1, 2, 3, 4));
