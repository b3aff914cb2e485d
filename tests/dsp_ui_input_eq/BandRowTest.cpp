// A band row on its own: the width as Q or octaves with its spin grid, typed values and
// their cuts, the gain slider, the layout of each mode and type, and the settle timers.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "dsp_blocks/ui/BandWidthScale.h"
#include "dsp_blocks/ui/LBiquadBPFDialogView.h"
#include "platform/ui/core/ControlNotify.h"
#include "platform/ui/core/KeyState.h"
#include "platform/ui/core/ManualTimerService.h"
#include "platform/ui/core/Trackbar.h"
#include "platform/ui/core/UpDown.h"
#include "resources/templates/BandRowTemplate.h"
#include "tests/dsp_ui_input_eq/InputEqTestSupport.h"

namespace {

using namespace BandRowIds;
using Change = NoticeRecorder::Change;
constexpr std::uint32_t kIndex = 3;

class BandRowTest : public ::testing::Test {
protected:
    BandRowTest() : scope_(timers_) { recorder_.show(); }
    ~BandRowTest() override { platform::ResetKeyState(); }

    LBiquadBPFDialogView& Make(std::uint32_t mode, bool widthIsQ, const EqBand& band)
    {
        row_ = new LBiquadBPFDialogView(mode, widthIsQ, kIndex, band);
        EXPECT_TRUE(row_->Create(&recorder_));
        row_->show();
        return *row_;
    }
    // Typing, then the focus leaving the edit.
    void Type(std::int32_t id, const char* text)
    {
        row_->ItemAs<QLineEdit>(id)->setText(QString::fromUtf8(text));
        row_->OnEditKillFocus(id);
    }
    platform::UpDown& Spin(std::int32_t id) { return *row_->ItemAs<platform::UpDown>(id); }
    std::vector<Change> Changes()
    {
        DeliverMessages();
        return recorder_.changes;
    }
    void HoldKey(int key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&recorder_, &press);
    }

    platform::ManualTimerService timers_;
    platform::ScopedTimerService scope_;
    NoticeRecorder recorder_;
    LBiquadBPFDialogView* row_ = nullptr;  // a child of recorder_
};

}  // namespace

TEST_F(BandRowTest, QOffTheGridStepsDownOntoItAndOctavesRefuseSeven)
{
    LBiquadBPFDialogView& row = Make(1, true, EqBand{0, 1000.0f, 1.414f, 3.0f});
    EXPECT_EQ(row.ItemText(kWidth), "1.414");
    EXPECT_EQ(row.WidthSpinPosition(), 13);
    EXPECT_FALSE(row.IsWidthExact());
    Spin(kWidthSpin).Step(-1);
    EXPECT_EQ(Spin(kWidthSpin).GetPos32(), 13);
    EXPECT_EQ(row.ItemText(kWidth), "1.400");
    EXPECT_FLOAT_EQ(row.Band().q, 1.4f);
    Spin(kWidthSpin).Step(+1);
    EXPECT_EQ(row.ItemText(kWidth), "1.500");
    row.OnSpinScroll(kWidthSpin, platform::ScrollCode::kEndScroll, 14);
    EXPECT_EQ(Changes(), (std::vector<Change>{{kIndex, 1}, {kIndex, 1}, {kIndex, 0}}));

    row.SetBand(EqBand{0, 1000.0f, 1.4142135f, 3.0f}, false);
    row.SetWidthUnit(false);
    EXPECT_EQ(row.ItemText(kWidth), "1.000");
    EXPECT_EQ(Spin(kWidthSpin).Upper(), 668);
    EXPECT_EQ(row.WidthSpinPosition(), 100);
    Type(kWidth, "7");
    EXPECT_EQ(row.ItemText(kWidth), "1.000");
    EXPECT_EQ(row.Band().q, 1.4142135f);
    EXPECT_EQ(Changes().size(), 3u);
}

TEST_F(BandRowTest, NotchDisablesGainAndShelfDisablesWidth)
{
    LBiquadBPFDialogView& row = Make(1, true, EqBand{3, 1000.0f, 2.0f, 0.0f});
    EXPECT_FALSE(row.Item(kGain)->isEnabled());
    EXPECT_FALSE(row.Item(kGainSpin)->isEnabled());
    EXPECT_TRUE(row.Item(kWidth)->isEnabled());
    EXPECT_EQ(row.ItemAs<QComboBox>(kType)->currentText(), "Notch");
    auto* list = row.ItemAs<QComboBox>(kType);
    list->setCurrentIndex(1);
    row.OnComboSelChange(kType);
    EXPECT_EQ(row.Band().type, 1u);
    EXPECT_FALSE(row.Item(kWidth)->isEnabled());
    EXPECT_FALSE(row.Item(kWidthSpin)->isEnabled());
    EXPECT_TRUE(row.Item(kGain)->isEnabled());
    row.OnComboSelChange(kType);
    EXPECT_EQ(Changes(), (std::vector<Change>{{kIndex, 0}}));
}

TEST_F(BandRowTest, TypedValuesAreCutToTenthsTowardZeroAndTheSliderHasPlus18AtTheTop)
{
    LBiquadBPFDialogView& row = Make(1, true, EqBand{0, 500.0f, 1.0f, 0.0f});
    Type(kGain, "-3.47");
    EXPECT_EQ(row.Band().gain, -3.4f);
    EXPECT_EQ(row.ItemText(kGain), "-3.4");
    EXPECT_EQ(row.ItemAs<platform::Trackbar>(kGainSlider)->Pos(), 3);
    EXPECT_EQ(row.GetSliderPos(kGainSlider, true), -3.0f);
    EXPECT_EQ(Spin(kGainSpin).GetPos32(), -34);
    Type(kGain, "0.7");
    EXPECT_EQ(Spin(kGainSpin).GetPos32(), 7);
    row.OnTrackbarScroll(kGainSlider, platform::ScrollCode::kThumbTrack, 6);
    row.OnTrackbarScroll(kGainSlider, platform::ScrollCode::kEndScroll, 6);
    EXPECT_EQ(row.Band().gain, -6.0f);
    EXPECT_EQ(row.ItemText(kGain), "-6.0");
    Type(kFrequency, "1000.09");
    EXPECT_EQ(row.Band().frequency, 1000.0f);
    EXPECT_EQ(Spin(kFrequencySpin).GetPos32(), 241);
    Type(kFrequency, "1000");
    Type(kFrequency, "15");
    EXPECT_EQ(row.ItemText(kFrequency), "1000.0");
    EXPECT_EQ(Changes(), (std::vector<Change>{{kIndex, 0}, {kIndex, 0}, {kIndex, 1}, {kIndex, 0}, {kIndex, 0}}));
}

TEST_F(BandRowTest, HeldArrowWidthChangeInOctavesSettlesAfter150MsKeepingTheUnit)
{
    LBiquadBPFDialogView& row = Make(1, false, EqBand{0, 1000.0f, 1.4142135f, 3.0f});
    HoldKey(Qt::Key_Up);
    Spin(kWidthSpin).Step(+1);
    EXPECT_EQ(row.ItemText(kWidth), "1.010");
    EXPECT_EQ(Changes(), (std::vector<Change>{{kIndex, 1}}));
    timers_.Advance(149);
    EXPECT_EQ(Changes().size(), 1u);
    timers_.Advance(1);
    EXPECT_EQ(Changes(), (std::vector<Change>{{kIndex, 1}, {kIndex, 0}}));
    EXPECT_FALSE(row.ShownWidth().isQ);
    EXPECT_EQ(row.ItemText(kWidth), "1.010");
    EXPECT_NEAR(row.GetBand().q, BandWidthScale::QFromBandwidth(1.01f), 1e-6f);
}

TEST_F(BandRowTest, GraphicModeShowsTheSliderAndLiftsTheDisabledFrequency)
{
    LBiquadBPFDialogView& row = Make(0, true, EqBand{0, 250.0f, 1.0f, 0.0f});
    EXPECT_FALSE(row.Item(kType)->isVisibleTo(&row));
    EXPECT_FALSE(row.Item(kGain)->isVisibleTo(&row));
    EXPECT_TRUE(row.Item(kGainSlider)->isVisibleTo(&row));
    EXPECT_TRUE(row.Item(kSliderTopLabel)->isVisibleTo(&row));
    EXPECT_FALSE(row.Item(kFrequency)->isEnabled());
    EXPECT_EQ(row.Item(kFrequency)->y(), row.TypeListTop());
    EXPECT_EQ(row.Item(kFrequencySpin)->y(), row.TypeListTop());
    EXPECT_FALSE(row.Item(kBypass)->isVisibleTo(&row));
    row.SetMode(1);
    EXPECT_TRUE(row.Item(kType)->isVisibleTo(&row));
    EXPECT_FALSE(row.Item(kGainSlider)->isVisibleTo(&row));
    EXPECT_TRUE(row.Item(kFrequency)->isEnabled());
    EXPECT_EQ(row.Item(kFrequency)->y(), row.FrequencyEditTop());
    EXPECT_LT(row.TypeListTop(), row.FrequencyEditTop());
}

TEST_F(BandRowTest, GetBandTakesUncommittedTypingButKeepsValuesSetByCodeExact)
{
    LBiquadBPFDialogView& row = Make(1, true, EqBand{0, 1000.0f, 1.0f, 0.0f});
    row.SetBand(EqBand{0, 1234.56f, 144.2705f, 4.321f}, false);
    EXPECT_EQ(row.ItemText(kWidth), "144.270");
    const EqBand shown = row.GetBand();
    EXPECT_EQ(shown.q, 144.2705f);
    EXPECT_EQ(shown.frequency, 1234.56f);
    EXPECT_EQ(shown.gain, 4.321f);
    row.ItemAs<QLineEdit>(kWidth)->setText("2.5");
    EXPECT_EQ(row.GetBand().q, 2.5f);
    EXPECT_EQ(row.Band().q, 144.2705f);
}
