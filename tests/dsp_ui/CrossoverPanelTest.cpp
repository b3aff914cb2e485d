// The crossover panel over a real controller and block: edits reach the controller and the
// parameter blob, controller changes reach the sections, and the channel's impedance mode
// sets the texts and the lowest frequency.
#include <gtest/gtest.h>

#include <cstring>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QtTest/QTest>

#include "dsp_blocks/blocks/CCrossoverController.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/ui/DCrossover.h"
#include "dsp_blocks/ui/VCrossoverFreqGraphView.h"
#include "dsp_blocks/ui/VSectionDialogView.h"
#include "platform/ui/core/ManualTimerService.h"
#include "platform/ui/core/UpDown.h"
#include "resources/templates/CrossoverPanelTemplate.h"
#include "resources/templates/SectionViewTemplate.h"
#include "tests/dsp_ui/PanelTestSupport.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/RecordingAmplifier.h"
#include "tests/support/UserInput.h"
#include "tests/support/PumpEvents.h"

namespace {

float FloatAt(const ByteBlob& blob, std::size_t offset)
{
    float value = 0.0f;
    std::memcpy(&value, blob.Data() + offset, sizeof value);
    return value;
}

// Offsets of the two frequencies in the crossover's parameter blob.
constexpr std::size_t kHighPassFrequency = 8;
constexpr std::size_t kLowPassFrequency = 20;

class CrossoverPanel : public ::testing::Test {
protected:
    CrossoverPanel()
    {
        block.type = BlockType::Crossover;
        block.name = u"Crossover A";
        EXPECT_TRUE(controller.Load());
        block.SetAmplifier(&amp);
        Open();
    }
    ~CrossoverPanel() override
    {
        controller.CloseDialog();
        RunDeferredDeletes();
        block.SetAmplifier(nullptr);
    }

    void Open()
    {
        controller.CloseDialog();
        panel = dynamic_cast<DCrossover*>(controller.OpenDialog(site));
        ASSERT_NE(panel, nullptr);
    }
    static QLineEdit& Edit(VSectionDialogView* view) { return *view->ItemAs<QLineEdit>(SectionViewIds::kFrequency); }
    void Type(VSectionDialogView* view, const char* text)
    {
        Edit(view).setText(text);
        view->OnEditKillFocus(SectionViewIds::kFrequency);
        test_support::DeliverAllPostedMessages();
    }

    RecordingAmplifier amp;
    DiagramBlock block;
    CCrossoverController controller{block};
    platform::ManualTimerService clock;
    platform::ScopedTimerService useClock{clock};
    ModalDriver modal;
    TestPanelSite site;
    DCrossover* panel = nullptr;
};

}  // namespace

TEST_F(CrossoverPanel, ShowsTheBlockNameTheFiltersAndTheGraphInItsFrame)
{
    EXPECT_EQ(panel->TitleText(), "Crossover A");
    EXPECT_EQ(panel->HighPassView()->ItemText(VDialogView::kTitleId), "High Pass");
    EXPECT_EQ(panel->LowPassView()->ItemText(VDialogView::kTitleId), "Low Pass");
    EXPECT_EQ(Edit(panel->HighPassView()).text().toStdString(), "20.0");
    EXPECT_EQ(Edit(panel->LowPassView()).text().toStdString(), "20000.0");
    const QRect frame = panel->Item(CrossoverPanelIds::kGraphFrame)->geometry();
    EXPECT_EQ(panel->Graph()->geometry(), frame.adjusted(10, 6, -10, -6));
    EXPECT_TRUE(panel->isVisible() || !site.Host().isVisible());
}

TEST_F(CrossoverPanel, TypedFrequencyReachesTheControllerAndTheParameterBlob)
{
    Type(panel->HighPassView(), "1234.5");
    EXPECT_EQ(controller.GetHighPass().frequency, 1234.5f);
    EXPECT_EQ(FloatAt(block.paramBlob, kHighPassFrequency), 1234.5f);
    EXPECT_EQ(amp.blockParams, 1);
    EXPECT_GE(site.modifiedMarks, 1);
    EXPECT_EQ(panel->Graph()->Model().Sections()[0].coefficients, controller.GetSections()[0]);
}

TEST_F(CrossoverPanel, ControllerChangesRefreshTheSections)
{
    const auto blob = CCrossoverController::EncodeParams({4, 250.0f}, {13, 8000.0f});
    ASSERT_TRUE(controller.ApplyBlob(0, blob.data(), static_cast<std::uint32_t>(blob.size())));
    EXPECT_EQ(Edit(panel->HighPassView()).text().toStdString(), "250.0");
    EXPECT_EQ(Edit(panel->LowPassView()).text().toStdString(), "8000.0");
    EXPECT_EQ(panel->LowPassView()->ItemAs<QComboBox>(SectionViewIds::kType)->currentText().toStdString(),
              "Linkwitz-Riley 24");
}

TEST_F(CrossoverPanel, ImpedanceTextAndLowestFrequencyFollowTheChannelMode)
{
    const std::pair<std::uint32_t, const char*> modes[] = {{2, "Low-Z"}, {3, "Hi-Z"}, {1, "---"}, {4, "Hi-Z"}};
    for (const auto& [mode, text] : modes) {
        controller.ApplyChannelConfig(ModeChange(mode));
        EXPECT_EQ(panel->ItemText(CrossoverPanelIds::kImpedance), text) << mode;
        EXPECT_EQ(panel->HighPassView()->MinimumFlag(), mode >= 3) << mode;
        EXPECT_EQ(panel->LowPassView()->MinimumFlag(), mode >= 3) << mode;
    }
}

TEST_F(CrossoverPanel, HighImpedanceRaisesBothFiltersToFiftyHertzAndCommits)
{
    const CrossoverFilterPair low{{4, 30.0f}, {4, 40.0f}};
    ASSERT_TRUE(controller.SetFilters(&low));
    Open();
    controller.ApplyChannelConfig(ModeChange(3));
    EXPECT_EQ(controller.GetHighPass().frequency, 50.0f);
    EXPECT_EQ(controller.GetLowPass().frequency, 50.0f);
    EXPECT_EQ(FloatAt(block.paramBlob, kHighPassFrequency), 50.0f);
    EXPECT_EQ(FloatAt(block.paramBlob, kLowPassFrequency), 50.0f);
    EXPECT_EQ(Edit(panel->HighPassView()).text().toStdString(), "50.0");
    EXPECT_EQ(Edit(panel->LowPassView()).text().toStdString(), "50.0");
}

TEST_F(CrossoverPanel, BlockOfNoRealChannelKeepsItsDashesAndTwentyHertz)
{
    block.channel = 4;
    Open();
    controller.ApplyChannelConfig(ModeChange(3));
    panel->UpdateChannelMode();
    EXPECT_EQ(panel->ItemText(CrossoverPanelIds::kImpedance), "---");
    EXPECT_FALSE(panel->HighPassView()->MinimumFlag());
}

TEST_F(CrossoverPanel, HeldSpinRedrawsEveryStepAndCommitsOnceWhenItSettles)
{
    const CrossoverFilterPair filters{{4, 100.0f}, {0, 20000.0f}};
    ASSERT_TRUE(controller.SetFilters(&filters));
    panel->Refresh();
    const int commits = amp.blockParams;
    for (int step = 0; step < 3; ++step) {
        QTest::keyPress(&Edit(panel->HighPassView()), Qt::Key_Up);
        test_support::DeliverAllPostedMessages();
        EXPECT_EQ(panel->Graph()->Model().Sections()[0].coefficients, controller.GetSections()[0]);
        clock.Advance(50);
    }
    EXPECT_EQ(controller.GetHighPass().frequency, 106.0f);
    EXPECT_EQ(amp.blockParams, commits);
    EXPECT_EQ(FloatAt(block.paramBlob, kHighPassFrequency), 100.0f);
    clock.Advance(100);
    test_support::DeliverAllPostedMessages();
    EXPECT_EQ(amp.blockParams, commits + 1);
    EXPECT_EQ(FloatAt(block.paramBlob, kHighPassFrequency), 106.0f);
    QTest::keyRelease(&Edit(panel->HighPassView()), Qt::Key_Up);
    test_support::DeliverAllPostedMessages();
    EXPECT_EQ(amp.blockParams, commits + 1);
}

TEST_F(CrossoverPanel, EnterInASectionsEditIsReflectedToThatSection)
{
    site.Host().show();
    QApplication::setActiveWindow(&site.Host());
    QLineEdit& edit = Edit(panel->LowPassView());
    edit.setFocus();
    if (QApplication::focusWidget() != &edit) {
        GTEST_SKIP() << "the platform gives no keyboard focus";
    }
    edit.setText("9000");
    panel->OnOK();
    test_support::DeliverAllPostedMessages();
    EXPECT_EQ(controller.GetLowPass().frequency, 9000.0f);
    EXPECT_TRUE(panel->isVisible());
}

TEST_F(CrossoverPanel, PanelThatGoesWithItsViewIsForgottenByTheController)
{
    controller.CloseDialog();
    {
        TestPanelSite other;
        ASSERT_NE(controller.OpenDialog(other), nullptr);
    }
    EXPECT_FALSE(controller.CloseDialog());
}

TEST_F(CrossoverPanel, EveryEndShownWithEitherLowestFrequencyIsTakenBackWhenTypedAndAStepBeyondIsNot)
{
    for (std::uint32_t mode : {1u, 3u}) {
        controller.ApplyChannelConfig(ModeChange(mode));
        for (VSectionDialogView* view : {panel->HighPassView(), panel->LowPassView()}) {
            const auto held = [&] {
                return (view == panel->HighPassView() ? controller.GetHighPass() : controller.GetLowPass()).frequency;
            };
            auto& spin = *view->ItemAs<platform::UpDown>(SectionViewIds::kFrequencySpin);
            for (int direction : {+1, -1}) {
                const test_support::ShownEnd end{Edit(view), spin, direction, "1000", "%.1f", 0.1, held};
                EXPECT_TRUE(test_support::TypesBackTheShownEnd(end)) << "mode " << mode << " " << view->SectionIndex();
            }
        }
    }
}
