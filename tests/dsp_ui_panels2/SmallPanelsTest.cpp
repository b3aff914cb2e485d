// The output-polarity, speaker-EQ and input-gain panels over real controllers and blocks:
// rows for fewer outputs or blocks, polarity toggles with their diagram redraws, preset
// choices that reach the channel only when they change, and the preset-name matching.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include <QComboBox>
#include <QLabel>
#include <QtTest/QTest>

#include "dsp_blocks/blocks/CCrossoverController.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/LInputGainDialogController.h"
#include "dsp_blocks/blocks/LLimiterController.h"
#include "dsp_blocks/blocks/LOutputGainDialogController.h"
#include "dsp_blocks/blocks/LSpeakerEQDialogController.h"
#include "dsp_blocks/speaker_eq/SpeakerEqLibrary.h"
#include "dsp_blocks/ui/DInputBlank.h"
#include "dsp_blocks/ui/LOutputGain.h"
#include "dsp_blocks/ui/LSpeakerEQ.h"
#include "dsp_blocks/ui/LSpeakerEQSelect.h"
#include "platform/ui/core/DialogUnits.h"
#include "platform/ui/drawing/Canvas.h"
#include "resources/templates/OutputPolarityPanelTemplate.h"
#include "resources/templates/SpeakerEqPanelTemplate.h"
#include "resources/templates/SpeakerEqRowTemplate.h"
#include "tests/dsp_ui_panels2/PanelHost.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/RecordingAmplifier.h"

namespace {

using OutputPolarityPanelIds::kButtons;

// Blocks of one type, one per channel, each sending to amp.
struct BlockGroup {
    BlockGroup(BlockType type, std::size_t count, RecordingAmplifier* amp)
    {
        for (std::size_t i = 0; i < count; ++i) {
            owned.push_back(std::make_unique<DiagramBlock>());
            owned.back()->type = type;
            owned.back()->channel = static_cast<std::int32_t>(i);
            pointers.push_back(owned.back().get());
        }
        sender = amp;
    }
    ~BlockGroup()
    {
        for (DiagramBlock* block : pointers) {
            block->SetAmplifier(nullptr);
        }
    }
    void GoOnline()
    {
        for (DiagramBlock* block : pointers) {
            block->SetAmplifier(sender);
        }
    }

    std::vector<std::unique_ptr<DiagramBlock>> owned;
    std::vector<DiagramBlock*> pointers;
    RecordingAmplifier* sender;
};

class PolarityPanel : public ::testing::Test {
protected:
    ~PolarityPanel() override { Close(); }

    LOutputGain& Open(std::size_t outputs)
    {
        group = std::make_unique<BlockGroup>(BlockType::OutputGain, outputs, &amp);
        controller = std::make_unique<LOutputGainDialogController>(group->pointers);
        EXPECT_TRUE(controller->Load());
        group->GoOnline();
        panel = dynamic_cast<LOutputGain*>(controller->OpenDialog(host));
        EXPECT_NE(panel, nullptr);
        return *panel;
    }
    void Close()
    {
        if (controller != nullptr) {
            controller->CloseDialog();
            RunDeferredDeletes();
            controller.reset();
        }
        group.reset();
    }
    // The colour in the middle row of a polarity button: its gradient's centre colour.
    platform::ColorRef CentreColour(std::int32_t id)
    {
        QWidget* button = panel->Item(id);
        const QImage image = button->grab().toImage();
        return platform::FromQColor(image.pixelColor(2, image.height() / 2));
    }

    RecordingAmplifier amp;
    std::unique_ptr<BlockGroup> group;
    std::unique_ptr<LOutputGainDialogController> controller;
    ModalDriver modal;
    PanelHost host;
    LOutputGain* panel = nullptr;
};

class SpeakerEqPanel : public ::testing::Test {
protected:
    SpeakerEqPanel()
    {
        EXPECT_TRUE(LoadSpeakerEqLibrary(std::filesystem::path(QUARRY_SPEAKER_EQ_DATA_DIR) / "library"))
            << SpeakerEqLibraryError();
    }
    ~SpeakerEqPanel() override
    {
        if (controller != nullptr) {
            controller->CloseDialog();
            RunDeferredDeletes();
        }
        controller.reset();
        crossovers.clear();
        limiters.clear();
    }

    LSpeakerEQ& Open(std::size_t count)
    {
        speakers = std::make_unique<BlockGroup>(BlockType::SpeakerEQ, count, &amp);
        crossoverBlocks = std::make_unique<BlockGroup>(BlockType::Crossover, count, nullptr);
        limiterBlocks = std::make_unique<BlockGroup>(BlockType::Limiter, count, nullptr);
        std::vector<SpeakerEqChannel> channels;
        for (std::size_t i = 0; i < count; ++i) {
            crossovers.push_back(std::make_unique<CCrossoverController>(*crossoverBlocks->pointers[i]));
            limiters.push_back(std::make_unique<LLimiterController>(*limiterBlocks->pointers[i]));
            EXPECT_TRUE(crossovers.back()->Load());
            EXPECT_TRUE(limiters.back()->Load());
            channels.push_back(
                SpeakerEqChannel{speakers->pointers[i], crossovers.back().get(), limiters.back().get(), {}});
        }
        controller = std::make_unique<LSpeakerEQDialogController>(std::move(channels));
        EXPECT_TRUE(controller->Load());
        speakers->GoOnline();
        panel = dynamic_cast<LSpeakerEQ*>(controller->OpenDialog(host));
        EXPECT_NE(panel, nullptr);
        return *panel;
    }
    QComboBox& List(std::size_t row) { return *panel->Row(row)->ItemAs<QComboBox>(SpeakerEqRowIds::kPresets); }
    void Choose(std::size_t row, int item)
    {
        List(row).setCurrentIndex(item);
        panel->Row(row)->OnComboSelChange(SpeakerEqRowIds::kPresets);
        DeliverMessages();
    }

    RecordingAmplifier amp;
    std::unique_ptr<BlockGroup> speakers;
    std::unique_ptr<BlockGroup> crossoverBlocks;
    std::unique_ptr<BlockGroup> limiterBlocks;
    std::vector<std::unique_ptr<CCrossoverController>> crossovers;
    std::vector<std::unique_ptr<LLimiterController>> limiters;
    std::unique_ptr<LSpeakerEQDialogController> controller;
    ModalDriver modal;
    PanelHost host;
    LSpeakerEQ* panel = nullptr;
};

}  // namespace

TEST_F(PolarityPanel, TwoOutputsShowTwoButtonsAndThePanelEndsBelowTheSecond)
{
    const int fullHeight = Open(4).height();
    const int closeUp = panel->Item(kButtons[3])->geometry().bottom() - panel->Item(kButtons[1])->geometry().bottom();
    Close();
    LOutputGain& two = Open(2);
    EXPECT_EQ(two.OutputCount(), 2u);
    EXPECT_FALSE(two.Item(kButtons[0])->isHidden());
    EXPECT_FALSE(two.Item(kButtons[1])->isHidden());
    EXPECT_TRUE(two.Item(kButtons[2])->isHidden());
    EXPECT_TRUE(two.Item(kButtons[3])->isHidden());
    int captions = 0;
    for (QLabel* label : two.findChildren<QLabel*>()) {
        if (label->text().startsWith("Amp Output") && !label->isHidden()) {
            ++captions;
            EXPECT_LE(label->text(), "Amp Output 2");
        }
    }
    EXPECT_EQ(captions, 2);
    EXPECT_EQ(two.height(), fullHeight - closeUp);
}

TEST_F(PolarityPanel, ToggleOutput3TwiceSendsInvertedThenNormalAndRedrawsTheDiagramEachTime)
{
    Open(4);
    EXPECT_EQ(CentreColour(kButtons[2]), LOutputGain::kNormalCentre);
    QTest::mouseClick(panel->Item(kButtons[2]), Qt::LeftButton);
    std::uint8_t polarity = 0;
    ASSERT_TRUE(controller->GetPolarity(2, polarity));
    EXPECT_EQ(polarity, 1);
    EXPECT_EQ(group->pointers[2]->polarityMark, 1);
    EXPECT_TRUE(panel->IsInverted(2));
    EXPECT_EQ(CentreColour(kButtons[2]), LOutputGain::kInvertedCentre);
    EXPECT_EQ(host.redraws, 1);
    EXPECT_EQ(amp.blockParams, 1);
    QTest::mouseClick(panel->Item(kButtons[2]), Qt::LeftButton);
    ASSERT_TRUE(controller->GetPolarity(2, polarity));
    EXPECT_EQ(polarity, 0);
    EXPECT_EQ(host.redraws, 2);
    EXPECT_EQ(amp.blockParams, 2);
    EXPECT_EQ(host.modifiedMarks, 2);
    EXPECT_FALSE(panel->IsInverted(0));
}

TEST_F(PolarityPanel, APastedPolarity2ShowsInvertedAndOutputsThatDoNotExistAreIgnored)
{
    Open(2);
    const auto blob = LOutputGainDialogController::EncodeParams(2);
    ASSERT_TRUE(controller->ApplyBlob(1, blob.data(), static_cast<std::uint32_t>(blob.size())));
    EXPECT_TRUE(panel->IsInverted(1));
    EXPECT_EQ(CentreColour(kButtons[1]), LOutputGain::kInvertedCentre);
    panel->RefreshOutput(3);
    panel->OnCommand(kButtons[3]);
    EXPECT_FALSE(panel->IsInverted(3));
    EXPECT_EQ(host.redraws, 0);
}

TEST_F(SpeakerEqPanel, ChoosingThePresetAlreadyAppliedSendsNothingAnotherReachesTheChannel)
{
    Open(2);
    EXPECT_EQ(panel->Row(1)->TitleText(), "Vesk Speaker EQ 2");
    ASSERT_EQ(List(0).count(), static_cast<int>(SpeakerEqPresets().size()));
    EXPECT_EQ(List(0).currentText(), "Flat");
    Choose(0, 0);
    EXPECT_EQ(amp.blockParams, 0);
    EXPECT_EQ(host.modifiedMarks, 0);
    EXPECT_EQ(host.redraws, 0);
    const int topA = List(0).findText("Top A");
    ASSERT_GE(topA, 0);
    Choose(0, topA);
    EXPECT_EQ(controller->GetPresetName(0), u"Top A");
    EXPECT_EQ(speakers->pointers[0]->label2, u"Top A");
    EXPECT_EQ(limiters[0]->GetPresetName(), u"Top A");
    EXPECT_EQ(amp.blockParams, 1);
    EXPECT_EQ(host.modifiedMarks, 1);
    EXPECT_EQ(host.redraws, 1);
}

TEST_F(SpeakerEqPanel, ANameNoPresetBeginsWithSelectsNothingAndAnyChoiceThenNotifies)
{
    Open(2);
    ASSERT_TRUE(controller->SetPreset(1, u"Old Speaker"));
    panel->RefreshRow(1);
    EXPECT_EQ(panel->Row(1)->SelectedItem(), -1);
    Choose(1, 0);
    EXPECT_EQ(controller->GetPresetName(1), u"Flat");
    EXPECT_EQ(host.redraws, 1);
    ASSERT_TRUE(controller->SetPreset(1, u""));
    panel->RefreshRow(1);
    EXPECT_EQ(panel->Row(1)->SelectedItem(), -1);
    panel->RefreshRow(2);
    panel->OnRowChanged(5);
    EXPECT_EQ(controller->GetPresetName(1), u"");
}

TEST_F(SpeakerEqPanel, AnExactNameIgnoringCaseWinsOverAPrefix)
{
    QComboBox list;
    list.addItems({"Top A", "Top", "top b"});
    EXPECT_EQ(LSpeakerEQSelect::FindPresetItem(list, u"top"), 1);
    EXPECT_EQ(LSpeakerEQSelect::FindPresetItem(list, u"TOP B"), 2);
    EXPECT_EQ(LSpeakerEQSelect::FindPresetItem(list, u"to"), 0);
    EXPECT_EQ(LSpeakerEQSelect::FindPresetItem(list, u""), -1);
    EXPECT_EQ(LSpeakerEQSelect::FindPresetItem(list, u"Sub"), -1);
}

TEST_F(SpeakerEqPanel, TwoBlocksHideTheLastTwoFramesAndRowsEndAtTheirBypassButton)
{
    using SpeakerEqPanelIds::kRowFrames;
    LSpeakerEQ& two = Open(2);
    EXPECT_EQ(two.RowCount(), 2u);
    EXPECT_TRUE(two.Item(kRowFrames[2])->isHidden());
    EXPECT_TRUE(two.Item(kRowFrames[3])->isHidden());
    // Shorter by the distance from the second frame's bottom to the last one's.
    const int templateHeight = platform::DluToPixelsY(kSpeakerEqPanelTemplate.cy, two.BaseUnits());
    const int closeUp = two.Item(kRowFrames[3])->geometry().bottom() - two.Item(kRowFrames[1])->geometry().bottom();
    EXPECT_EQ(two.height(), templateHeight - closeUp);
    const QWidget* bypass = two.Row(0)->Item(SpeakerEqRowIds::kBypass);
    EXPECT_TRUE(bypass->isHidden());
    EXPECT_EQ(two.Row(0)->width(), bypass->x());
    // The frame took the row's width, and the panel lost what the frame lost.
    const QWidget* frame = two.Item(kRowFrames[0]);
    const int templateWidth = platform::DluToPixelsX(kSpeakerEqPanelTemplate.cx, two.BaseUnits());
    const int frameWidth = platform::DluToPixelsX(kSpeakerEqPanelTemplate.controls[1].cx, two.BaseUnits());
    EXPECT_EQ(two.width(), templateWidth - (frameWidth - frame->width()));
}

TEST(InputBlankPanel, SaysThereIsNothingToEdit)
{
    ModalDriver modal;
    PanelHost host;
    BlockGroup group(BlockType::InputGain, 2, nullptr);
    LInputGainDialogController controller(group.pointers);
    ASSERT_TRUE(controller.Load());
    auto* panel = dynamic_cast<DInputBlank*>(controller.OpenDialog(host));
    ASSERT_NE(panel, nullptr);
    bool found = false;
    for (QLabel* label : panel->findChildren<QLabel*>()) {
        found = found || label->text() == "Input Control has no properties.";
    }
    EXPECT_TRUE(found);
    controller.CloseDialog();
    RunDeferredDeletes();
}
