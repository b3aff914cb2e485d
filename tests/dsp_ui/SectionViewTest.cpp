// The filter-section view: its frequency spin map, typed and spun frequencies, type choices
// and the notices it posts to its panel.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include <QComboBox>
#include <QLineEdit>
#include <QtTest/QTest>

#include "dsp_blocks/ui/VSectionDialogView.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/ManualTimerService.h"
#include "platform/ui/core/MessageBox.h"
#include "platform/ui/core/UpDown.h"
#include "resources/templates/SectionViewTemplate.h"
#include "tests/dsp_ui/PanelTestSupport.h"
#include "tests/support/PumpEvents.h"

namespace {

constexpr DialogTemplate kPanelTemplate{900, "", 0, 0, 200, 100, WindowStyle::kChild, 0, "MS Shell Dlg", 8, {}};

// The panel a section view reports to: it records every notice.
class RecordingPanel final : public platform::Dialog {
public:
    RecordingPanel() : platform::Dialog(kPanelTemplate, Kind::Child) { Create(); }
    std::intptr_t OnMessage(platform::MessageId message, std::uintptr_t wParam, std::intptr_t lParam) override
    {
        if (message == platform::MsgNotifyChanged()) {
            notices.emplace_back(wParam, lParam);
        }
        return 0;
    }
    std::vector<std::pair<std::uintptr_t, std::intptr_t>> notices;
};

class SectionView : public ::testing::Test {
protected:
    SectionView()
    {
        EXPECT_TRUE(view->Create(&panel));
        view->SetFilter(2, 100.0f);
    }

    QLineEdit& Edit() { return *view->ItemAs<QLineEdit>(SectionViewIds::kFrequency); }
    platform::UpDown& Spin() { return *view->ItemAs<platform::UpDown>(SectionViewIds::kFrequencySpin); }
    std::vector<std::pair<std::uintptr_t, std::intptr_t>> Notices()
    {
        test_support::DeliverAllPostedMessages();
        return std::exchange(panel.notices, {});
    }
    void Type(const char* text)
    {
        Edit().setText(text);
        view->OnEditKillFocus(SectionViewIds::kFrequency);
    }

    platform::ManualTimerService clock;
    platform::ScopedTimerService useClock{clock};
    RecordingPanel panel;
    VSectionDialogView* view = new VSectionDialogView(1);
};

using Notice = std::pair<std::uintptr_t, std::intptr_t>;

}  // namespace

TEST(FrequencySpinMap, MapsFrequenciesAndPositionsBothWays)
{
    EXPECT_EQ(VDialogView::FrequencyToSliderPosition(100.0f), 81);
    EXPECT_EQ(VDialogView::SliderPositionToFrequency(80), 100.0f);
    EXPECT_EQ(VDialogView::SliderPositionToFrequency(81), 100.0f);
    EXPECT_EQ(VDialogView::SliderPositionToFrequency(450), 19800.0f);
    EXPECT_EQ(VDialogView::SliderPositionToFrequency(451), 20000.0f);
    EXPECT_EQ(VDialogView::FrequencyToSliderPosition(1234.0f), 252);
    EXPECT_EQ(VDialogView::FrequencyToSliderPosition(25000.0f), 451);
    // Below 20 Hz the spin stays inside its range.
    EXPECT_EQ(VDialogView::FrequencyToSliderPosition(19.5f), 0);
    EXPECT_EQ(VDialogView::FrequencyToSliderPosition(5.0f), 0);
    EXPECT_EQ(VDialogView::SliderPositionToFrequency(-4), 20.0f);
    EXPECT_EQ(VDialogView::SpinRange(false).low, 0);
    EXPECT_EQ(VDialogView::SpinRange(true).low, 30);
    EXPECT_EQ(VDialogView::SpinRange(true).high, 451);
}

TEST_F(SectionView, StartsAsTheTemplateCutAtItsBypassButtonWithEveryFilterType)
{
    EXPECT_EQ(view->height(), view->Item(SectionViewIds::kBypass)->y());
    EXPECT_FALSE(view->Item(SectionViewIds::kBypass)->isEnabled());
    auto* combo = view->ItemAs<QComboBox>(SectionViewIds::kType);
    ASSERT_EQ(combo->count(), 9);
    EXPECT_EQ(combo->itemText(8).toStdString(), "Linkwitz-Riley 24");
    EXPECT_EQ(combo->currentText().toStdString(), "Butterworth 12");
    EXPECT_EQ(Edit().text().toStdString(), "100.0");
    EXPECT_EQ(Spin().GetPos32(), 81);
}

TEST_F(SectionView, FiftyHertzMinimumMovesTheSpinIntoItsRange)
{
    view->SetFilter(2, 30.0f);
    EXPECT_EQ(Spin().GetPos32(), 10);
    view->SetMinimumFlag(true);
    EXPECT_EQ(Spin().GetPos32(), 30);
    EXPECT_EQ(Spin().Lower(), 30);
    EXPECT_EQ(Spin().Upper(), 451);
    EXPECT_TRUE(Notices().empty());
}

TEST_F(SectionView, TypedFrequencyBelowTheMinimumIsRefusedWithABeep)
{
    Type("30");
    EXPECT_EQ(view->Frequency(), 30.0f);
    EXPECT_EQ(Notices(), (std::vector<Notice>{{1, 0}}));
    view->SetMinimumFlag(true);
    for (const char* refused : {"30", "15", "abc", ""}) {
        const int beeps = platform::BeepCount();
        Type(refused);
        EXPECT_EQ(platform::BeepCount(), beeps + 1) << refused;
        EXPECT_EQ(Edit().text().toStdString(), "30.0") << refused;
        EXPECT_EQ(view->Frequency(), 30.0f);
    }
    EXPECT_TRUE(Notices().empty());
}

TEST_F(SectionView, TypedFrequencyIsCutToOneDecimalAndARepeatSendsNothing)
{
    Type("1000.09");
    EXPECT_EQ(view->Frequency(), 1000.0f);
    EXPECT_EQ(Edit().text().toStdString(), "1000.0");
    EXPECT_EQ(Spin().GetPos32(), 241);
    EXPECT_EQ(Notices(), (std::vector<Notice>{{1, 0}}));
    Type("1000.0");
    Type("100.2");
    EXPECT_EQ(Edit().text().toStdString(), "100.2");
    EXPECT_EQ(Notices(), (std::vector<Notice>{{1, 0}}));
}

TEST_F(SectionView, EnterAndTheReflectedReturnCommitTypingAndEscapeForgetsIt)
{
    Edit().setText("250");
    view->OnOK();
    EXPECT_EQ(view->Frequency(), 250.0f);
    Edit().setText("300");
    view->OnCancel();
    view->OnEditKillFocus(SectionViewIds::kFrequency);
    EXPECT_EQ(view->Frequency(), 250.0f);
    Edit().setText("400");
    view->Messages().Post(platform::MsgReflectReturn(), 0, reinterpret_cast<std::intptr_t>(&Edit()));
    EXPECT_EQ(Notices(), (std::vector<Notice>{{1, 0}, {1, 0}}));
    EXPECT_EQ(view->Frequency(), 400.0f);
}

TEST_F(SectionView, ChoosingAnotherTypeNotifiesAndTheSameOneDoesNot)
{
    auto* combo = view->ItemAs<QComboBox>(SectionViewIds::kType);
    combo->setCurrentIndex(1);
    view->OnComboSelChange(SectionViewIds::kType);
    combo->setCurrentIndex(8);
    view->OnComboSelChange(SectionViewIds::kType);
    EXPECT_EQ(view->TypeCode(), 13u);
    EXPECT_EQ(Notices(), (std::vector<Notice>{{1, 0}}));
}

TEST_F(SectionView, HeldArrowKeyTracksEachStepAndSettlesOnce150MsAfterTheLast)
{
    for (int step = 0; step < 3; ++step) {
        QTest::keyPress(&Edit(), Qt::Key_Up);
        clock.Advance(100);
    }
    EXPECT_EQ(view->Frequency(), 106.0f);
    EXPECT_EQ(Edit().text().toStdString(), "106.0");
    EXPECT_TRUE(view->IsPending());
    EXPECT_EQ(Notices(), (std::vector<Notice>{{1, 1}, {1, 1}, {1, 1}}));
    clock.Advance(49);
    EXPECT_TRUE(Notices().empty());
    clock.Advance(1);
    EXPECT_EQ(Notices(), (std::vector<Notice>{{1, 0}}));
    QTest::keyRelease(&Edit(), Qt::Key_Up);
    clock.Advance(1000);
    EXPECT_TRUE(Notices().empty());
    EXPECT_FALSE(view->IsPending());
}

TEST_F(SectionView, ArrowClickTracksTheStepAndSendsAtItsRelease)
{
    const QPoint up = Spin().UpRect().center();
    QTest::mousePress(&Spin(), Qt::LeftButton, {}, up);
    EXPECT_EQ(Notices(), (std::vector<Notice>{{1, 1}}));
    QTest::mouseRelease(&Spin(), Qt::LeftButton, {}, up);
    EXPECT_EQ(Notices(), (std::vector<Notice>{{1, 0}}));
    EXPECT_EQ(view->Frequency(), 102.0f);
    clock.Advance(1000);
    EXPECT_TRUE(Notices().empty());
}
