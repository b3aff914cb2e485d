// The limiter panel over a real controller and block: edits and spins reach the controller
// and the parameter blob once per gesture, ranges and texts follow the channel mode and
// model, refused input never reaches the controller, and the panel survives being closed
// from inside its own handler.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <QLineEdit>
#include <QPointer>
#include <QtTest/QTest>

#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/ui/DPeakLimiter.h"
#include "platform/commands/CommandMap.h"
#include "platform/ui/core/Commands.h"
#include "platform/ui/core/MainWindow.h"
#include "platform/ui/core/ManualTimerService.h"
#include "platform/ui/core/ModalHook.h"
#include "platform/ui/core/UpDown.h"
#include "resources/commands/CommandIds.h"
#include "resources/strings/StringFormat.h"
#include "resources/templates/LimiterPanelTemplate.h"
#include "tests/dsp_ui/PanelTestSupport.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/RecordingAmplifier.h"
#include "tests/support/UserInput.h"

namespace {

using namespace LimiterPanelIds;

// The six values sit after the 0xA1 chunk's two length bytes and tag.
float BlobValue(const DiagramBlock& block, std::size_t index)
{
    float value = 0.0f;
    std::memcpy(&value, block.paramBlob.Data() + 3 + 4 * index, sizeof value);
    return value;
}

class LimiterPanel : public ::testing::Test {
protected:
    LimiterPanel()
    {
        block.type = BlockType::Limiter;
        block.channel = 1;
        block.name = u"Limiter B";
        EXPECT_TRUE(controller.Load());
        block.SetAmplifier(&amp);
        Open();
    }
    ~LimiterPanel() override
    {
        controller.CloseDialog();
        RunDeferredDeletes();
        block.SetAmplifier(nullptr);
    }

    void Open()
    {
        controller.CloseDialog();
        panel = dynamic_cast<DPeakLimiter*>(controller.OpenDialog(site));
        ASSERT_NE(panel, nullptr);
    }
    QLineEdit& Edit(std::int32_t id) { return *panel->ItemAs<QLineEdit>(id); }
    std::string Text(std::int32_t id) { return panel->ItemText(id); }
    platform::UpDown& Spin(std::int32_t id) { return *panel->ItemAs<platform::UpDown>(id); }
    void Type(std::int32_t id, const char* text)
    {
        Edit(id).setText(text);
        panel->OnEditKillFocus(id);
    }
    // What the controller holds of one of the four values the user edits.
    float Held(DPeakLimiter::Value value)
    {
        const LimiterSettings held = controller.GetSettings();
        const float values[] = {held.peakThreshold, held.rmsThreshold, held.rmsAttack, held.rmsRelease};
        return values[value];
    }

    RecordingAmplifier amp;
    DiagramBlock block;
    LLimiterController controller{block};
    platform::ManualTimerService clock;
    platform::ScopedTimerService useClock{clock};
    ModalDriver modal;
    TestPanelSite site;
    DPeakLimiter* panel = nullptr;
};

struct ModeRow {
    std::uint32_t mode;
    ModelType model;
    float peakMaximum;
    float rmsMaximum;
    const char* impedance;
    const char* voltage;
};

}  // namespace

TEST_F(LimiterPanel, ShowsTheSixValuesWithThePeakTimesFixed)
{
    EXPECT_EQ(panel->TitleText(), "Limiter B");
    EXPECT_EQ(Text(kPresetName), "Flat");
    const std::vector<std::string> shown{Text(kPeakThreshold), Text(kPeakAttack), Text(kPeakRelease),
                                         Text(kRmsThreshold),  Text(kRmsAttack),  Text(kRmsRelease)};
    EXPECT_EQ(shown, (std::vector<std::string>{"100.0", "1.5", "100.0", "70.7", "1000.0", "2000.0"}));
    for (std::int32_t id : {kPeakAttack, kPeakAttackSpin, kPeakRelease, kPeakReleaseSpin}) {
        EXPECT_FALSE(panel->Item(id)->isEnabled()) << id;
    }
    // Peak 0.5..100 in 0.5 steps: 200 positions, both 199 and 200 meaning 100.
    EXPECT_EQ(Spin(kPeakThresholdSpin).Upper(), 200);
    EXPECT_EQ(Spin(kPeakThresholdSpin).GetPos32(), 199);
    EXPECT_EQ(Spin(kRmsThresholdSpin).Upper(), 142);
    EXPECT_EQ(Spin(kRmsThresholdSpin).GetPos32(), 141);
}

TEST_F(LimiterPanel, TypedValueReachesTheControllerAndTheBlobAndAPasteComesBack)
{
    Type(kPeakThreshold, "55.5");
    EXPECT_EQ(controller.GetSettings().peakThreshold, 55.5f);
    EXPECT_EQ(BlobValue(block, 0), 55.5f);
    EXPECT_EQ(amp.blockParams, 1);
    EXPECT_EQ(Spin(kPeakThresholdSpin).GetPos32(), 110);
    EXPECT_GE(site.modifiedMarks, 1);
    Type(kPeakThreshold, "55.5");
    EXPECT_EQ(amp.blockParams, 1);
    const LimiterSettings pasted{80.0f, 1.5f, 100.0f, 50.0f, 3000.0f, 4000.0f};
    const auto blob = LLimiterController::EncodeParams(pasted, u"Pasted");
    ASSERT_TRUE(controller.ApplyBlob(1, blob.data(), static_cast<std::uint32_t>(blob.size())));
    EXPECT_EQ(Text(kPeakThreshold), "80.0");
    EXPECT_EQ(Text(kRmsRelease), "4000.0");
    EXPECT_EQ(Text(kPresetName), "");
}

TEST_F(LimiterPanel, RangesAndTextsFollowTheChannelModeAndTheModel)
{
    const ModeRow rows[] = {
        {3, ModelType::MV440, 141.4f, 100.0f, "Hi Z", "100V"},
        {4, ModelType::MV440, 100.0f, 70.7f, "Hi Z", "70V"},
        {2, ModelType::MV440, 100.0f, 70.7f, "Low Z", "---"},
        {1, ModelType::MV340A, 80.0f, 56.6f, "---", "---"},
    };
    for (const ModeRow& row : rows) {
        controller.SetModel(row.model);
        controller.ApplyChannelConfig(ModeChange(row.mode));
        EXPECT_EQ(panel->RangeOf(DPeakLimiter::kPeakThreshold).maximum, row.peakMaximum) << row.mode;
        EXPECT_EQ(panel->RangeOf(DPeakLimiter::kRmsThreshold).maximum, row.rmsMaximum) << row.mode;
        EXPECT_EQ(Spin(kPeakThresholdSpin).Upper(), SpinPositionCount(panel->RangeOf(DPeakLimiter::kPeakThreshold)));
        EXPECT_EQ(Text(kImpedance), row.impedance) << row.mode;
        EXPECT_EQ(Text(kVoltage), row.voltage) << row.mode;
    }
    EXPECT_EQ(panel->RangeOf(DPeakLimiter::kRmsAttack).minimum, 500.0f);
    EXPECT_EQ(panel->RangeOf(DPeakLimiter::kRmsRelease).step, 100.0f);
}

TEST_F(LimiterPanel, RefusedTextNeverReachesTheControllerAndIsRewritten)
{
    controller.ApplyChannelConfig(ModeChange(4));
    const int commits = amp.blockParams;
    for (const char* refused : {"150", "abc", "", "0.2"}) {
        Type(kPeakThreshold, refused);
        EXPECT_EQ(Text(kPeakThreshold), "100.0") << refused;
    }
    EXPECT_EQ(amp.blockParams, commits);
    Type(kRmsAttack, "1234.56");
    EXPECT_EQ(controller.GetSettings().rmsAttack, 1234.6f);
    EXPECT_EQ(Text(kRmsAttack), "1234.6");
}

TEST_F(LimiterPanel, ArrowClickShowsTheStepAndSendsOnceAtTheRelease)
{
    const QPoint up = Spin(kRmsAttackSpin).UpRect().center();
    QTest::mousePress(&Spin(kRmsAttackSpin), Qt::LeftButton, {}, up);
    EXPECT_EQ(Text(kRmsAttack), "1100.0");
    EXPECT_EQ(amp.blockParams, 0);
    EXPECT_TRUE(panel->IsPending(DPeakLimiter::kRmsAttack));
    QTest::mouseRelease(&Spin(kRmsAttackSpin), Qt::LeftButton, {}, up);
    EXPECT_EQ(amp.blockParams, 1);
    EXPECT_EQ(controller.GetSettings().rmsAttack, 1100.0f);
    clock.Advance(1000);
    EXPECT_EQ(amp.blockParams, 1);
}

TEST_F(LimiterPanel, HeldArrowKeySendsOnce150MsAfterTheLastRepeat)
{
    for (int step = 0; step < 4; ++step) {
        QTest::keyPress(&Edit(kRmsRelease), Qt::Key_Up);
        clock.Advance(100);
    }
    EXPECT_EQ(Text(kRmsRelease), "2400.0");
    EXPECT_EQ(amp.blockParams, 0);
    clock.Advance(50);
    EXPECT_EQ(amp.blockParams, 1);
    EXPECT_EQ(BlobValue(block, 5), 2400.0f);
    QTest::keyRelease(&Edit(kRmsRelease), Qt::Key_Up);
    clock.Advance(1000);
    EXPECT_EQ(amp.blockParams, 1);
}

TEST_F(LimiterPanel, BlockOfNoRealChannelKeepsItsDashes)
{
    block.channel = 4;
    Open();
    controller.ApplyChannelConfig(ModeChange(3));
    panel->UpdateChannelMode();
    EXPECT_EQ(Text(kImpedance), "---");
    EXPECT_EQ(Text(kVoltage), "---");
}

TEST_F(LimiterPanel, RefusedValueShowsMessage152AndKeepsShowingTheNewValue)
{
    // A preset name too long for the block's parameter area makes every commit fail.
    ASSERT_TRUE(controller.ApplySpeakerPreset(std::u16string(200, u'x').c_str(), nullptr, false));
    modal.AnswerBox(152, platform::MessageAnswer::Ok);
    Type(kPeakThreshold, "50");
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_EQ(modal.Boxes()[0].text, "An error occurred in changing a parameter.");
    EXPECT_EQ(modal.Boxes()[0].icon, platform::MessageIcon::Error);
    EXPECT_EQ(Text(kPeakThreshold), "50.0");
    EXPECT_EQ(panel->ShownSettings().peakThreshold, 50.0f);
    EXPECT_EQ(controller.GetSettings().peakThreshold, 100.0f);
}

TEST_F(LimiterPanel, ClosingThePanelFromInsideItsOwnHandlerIsSafe)
{
    // While the refusal box is up, the view closes the panel (as a document reset would).
    class ClosingHook final : public platform::IModalHook {
    public:
        explicit ClosingHook(LLimiterController& controller) : controller_(controller) {}
        platform::MessageAnswer OnMessageBox(const platform::MessageBoxRequest&) override
        {
            closed = controller_.CloseDialog();
            return platform::MessageAnswer::Ok;
        }
        int OnModalDialog(platform::Dialog&) override { return 0; }
        bool closed = false;

    private:
        LLimiterController& controller_;
    } hook(controller);
    ASSERT_TRUE(controller.ApplySpeakerPreset(std::u16string(200, u'x').c_str(), nullptr, false));
    QPointer<DPeakLimiter> watch(panel);
    {
        platform::ScopedModalHook install(hook);
        Type(kPeakThreshold, "50");
    }
    EXPECT_TRUE(hook.closed);
    EXPECT_TRUE(watch->IsClosing());
    clock.Advance(1000);
    RunDeferredDeletes();
    EXPECT_TRUE(watch.isNull());
    EXPECT_FALSE(controller.CloseDialog());
}

TEST_F(LimiterPanel, EnterCommitsAndNeitherEnterNorEscapeClosesThePanel)
{
    Edit(kRmsThreshold).setText("33");
    QTest::keyClick(&Edit(kRmsThreshold), Qt::Key_Return);
    EXPECT_EQ(controller.GetSettings().rmsThreshold, 33.0f);
    EXPECT_EQ(panel->DirtyEdit(), 0);
    QTest::keyClick(&Edit(kRmsThreshold), Qt::Key_Escape);
    EXPECT_FALSE(panel->IsEnded());
    EXPECT_FALSE(panel->isHidden());
}

TEST_F(LimiterPanel, MainWindowShortcutsWorkWhileAPanelEditHasTheFocus)
{
    platform::SetMainWindow(&site.Host());
    std::vector<std::uint32_t> ran;
    platform::CommandMap frame;
    frame.On(CommandId::kCopyBlock, [&ran] { ran.push_back(CommandId::kCopyBlock); });
    platform::ScopedCommandTarget install(platform::CommandLevel::Frame, &frame);
    QTest::keyClick(&Edit(kRmsThreshold), Qt::Key_C, Qt::ControlModifier);
    platform::SetMainWindow(nullptr);
    EXPECT_EQ(ran, std::vector<std::uint32_t>{CommandId::kCopyBlock});
    EXPECT_EQ(Text(kRmsThreshold), "70.7");
}

TEST_F(LimiterPanel, EveryEndShownInEveryModeIsTakenBackWhenTypedAndAStepBeyondIsNot)
{
    const std::pair<std::uint32_t, ModelType> modes[] = {
        {3, ModelType::MV440}, {4, ModelType::MV440}, {2, ModelType::MV220}, {1, ModelType::MV340A}};
    const std::int32_t spins[] = {kPeakThresholdSpin, kRmsThresholdSpin, kRmsAttackSpin, kRmsReleaseSpin};
    for (const auto& [mode, model] : modes) {
        controller.SetModel(model);
        controller.ApplyChannelConfig(ModeChange(mode));
        for (auto value : {DPeakLimiter::kPeakThreshold, DPeakLimiter::kRmsThreshold, DPeakLimiter::kRmsAttack,
                           DPeakLimiter::kRmsRelease}) {
            const SpinEditRange range = panel->RangeOf(value);
            const std::string inside = FormatString("%.1f", (range.minimum + range.maximum) / 2.0f);
            for (int direction : {+1, -1}) {
                const test_support::ShownEnd end{Edit(range.editId), Spin(spins[value]), direction, inside, "%.1f",
                                                 0.1, [&] { return Held(value); }};
                EXPECT_TRUE(test_support::TypesBackTheShownEnd(end)) << "mode " << mode << " value " << value;
            }
        }
    }
}
