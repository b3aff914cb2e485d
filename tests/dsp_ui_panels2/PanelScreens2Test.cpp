// Pictures of the mixer, delay, output-polarity and speaker-EQ panels with a real design
// (and of the mixer's pop-up gain slider), for people to look at.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "dsp_blocks/blocks/CCrossoverController.h"
#include "dsp_blocks/blocks/CStdMixerController.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/LDelayDialogController.h"
#include "dsp_blocks/blocks/LLimiterController.h"
#include "dsp_blocks/blocks/LOutputGainDialogController.h"
#include "dsp_blocks/blocks/LSpeakerEQDialogController.h"
#include "dsp_blocks/speaker_eq/SpeakerEqLibrary.h"
#include "dsp_blocks/ui/CrossPointButton.h"
#include "dsp_blocks/ui/DStdMixer.h"
#include "dsp_blocks/ui/InplaceSliderX.h"
#include "tests/dsp_ui_panels2/PanelHost.h"
#include "tests/support/ScreenShot.h"

namespace {

QWidget& WindowOf(IBlockPanel* panel)
{
    auto* window = dynamic_cast<QWidget*>(panel);
    EXPECT_NE(window, nullptr);
    return *window;
}

std::vector<std::unique_ptr<DiagramBlock>> MakeBlocks(BlockType type, std::size_t count)
{
    std::vector<std::unique_ptr<DiagramBlock>> blocks;
    for (std::size_t i = 0; i < count; ++i) {
        blocks.push_back(std::make_unique<DiagramBlock>());
        blocks.back()->type = type;
        blocks.back()->channel = static_cast<std::int32_t>(i);
    }
    return blocks;
}

std::vector<DiagramBlock*> Pointers(const std::vector<std::unique_ptr<DiagramBlock>>& blocks)
{
    std::vector<DiagramBlock*> pointers;
    for (const auto& block : blocks) {
        pointers.push_back(block.get());
    }
    return pointers;
}

}  // namespace

TEST(PanelScreens2, MixerRoutingFourInputsWithGainsAndItsGainSlider)
{
    DiagramBlock block;
    block.type = BlockType::StdMixer;
    block.outputCount = 4;
    block.name = u"Matrix Mixer";
    CStdMixerController controller(block);
    ASSERT_TRUE(controller.Load());
    ASSERT_TRUE(controller.SetCrossPoint(0, 1, CrossPoint{1, -6.0f}));
    ASSERT_TRUE(controller.SetCrossPoint(2, 3, CrossPoint{1, 6.5f}));
    ASSERT_TRUE(controller.SetCrossPoint(3, 3, CrossPoint{0, -12.0f}));
    ASSERT_TRUE(controller.SetLabel(false, 0, u"Vocal"));
    ASSERT_TRUE(controller.SetLabel(true, 3, u"Lobby"));
    PanelHost host;
    IBlockPanel* panel = controller.OpenDialog(host);
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(SaveScreenShot(WindowOf(panel), "dsp_ui_mixer_panel").empty());
    CrossPointButton* button = dynamic_cast<DStdMixer*>(panel)->Button(2, 3);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->OpenSlider());
    auto* slider = button->findChild<InplaceSliderX*>();
    ASSERT_NE(slider, nullptr);
    EXPECT_FALSE(SaveScreenShot(*slider, "dsp_ui_mixer_gain_slider").empty());
    slider->Close();
    DeliverMessages();
    controller.CloseDialog();
    RunDeferredDeletes();
}

TEST(PanelScreens2, DelayOfFourChannelsInFeet)
{
    auto blocks = MakeBlocks(BlockType::Delay, 4);
    LDelayDialogController controller(Pointers(blocks));
    ASSERT_TRUE(controller.Load());
    const float delays[] = {0.0f, 4.5f, 12.3f, 27.8f};
    for (std::size_t i = 0; i < 4; ++i) {
        ASSERT_TRUE(controller.SetDelay(i, delays[i], false));
    }
    controller.SetUnit(LDelayDialogController::kUnitFeet);
    PanelHost host;
    IBlockPanel* panel = controller.OpenDialog(host);
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(SaveScreenShot(WindowOf(panel), "dsp_ui_delay_panel").empty());
    controller.CloseDialog();
    RunDeferredDeletes();
}

TEST(PanelScreens2, OutputPolarityWithTheSecondAndFourthOutputsInverted)
{
    auto blocks = MakeBlocks(BlockType::OutputGain, 4);
    LOutputGainDialogController controller(Pointers(blocks));
    ASSERT_TRUE(controller.Load());
    ASSERT_TRUE(controller.SetPolarity(1, 1));
    ASSERT_TRUE(controller.SetPolarity(3, 1));
    PanelHost host;
    IBlockPanel* panel = controller.OpenDialog(host);
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(SaveScreenShot(WindowOf(panel), "dsp_ui_output_polarity_panel").empty());
    controller.CloseDialog();
    RunDeferredDeletes();
}

// The presets that ship, so that the picture shows the names users see.
TEST(PanelScreens2, SpeakerEqOfFourChannelsWithSpeakerPresets)
{
    ASSERT_TRUE(LoadSpeakerEqLibrary(std::filesystem::path(QUARRY_SHIPPED_DATA_DIR))) << SpeakerEqLibraryError();
    const auto& presets = SpeakerEqPresets();
    ASSERT_FALSE(presets.empty());
    auto speakers = MakeBlocks(BlockType::SpeakerEQ, 4);
    auto crossoverBlocks = MakeBlocks(BlockType::Crossover, 4);
    auto limiterBlocks = MakeBlocks(BlockType::Limiter, 4);
    std::vector<std::unique_ptr<CCrossoverController>> crossovers;
    std::vector<std::unique_ptr<LLimiterController>> limiters;
    std::vector<SpeakerEqChannel> channels;
    for (std::size_t i = 0; i < 4; ++i) {
        crossovers.push_back(std::make_unique<CCrossoverController>(*crossoverBlocks[i]));
        limiters.push_back(std::make_unique<LLimiterController>(*limiterBlocks[i]));
        ASSERT_TRUE(crossovers.back()->Load());
        ASSERT_TRUE(limiters.back()->Load());
        channels.push_back(SpeakerEqChannel{speakers[i].get(), crossovers.back().get(), limiters.back().get(), {}});
    }
    LSpeakerEQDialogController controller(std::move(channels));
    ASSERT_TRUE(controller.Load());
    for (std::size_t i = 0; i < 4; ++i) {
        const auto& preset = presets[(i * 2 + 1) % presets.size()];
        ASSERT_TRUE(controller.SetPreset(i, preset.name.c_str()));
    }
    PanelHost host;
    IBlockPanel* panel = controller.OpenDialog(host);
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(SaveScreenShot(WindowOf(panel), "dsp_ui_speaker_eq_panel").empty());
    controller.CloseDialog();
    RunDeferredDeletes();
}
