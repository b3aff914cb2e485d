// The helpers every panel shares: locale numbers, spin-edit ranges, the pending-value rules,
// the gradient fills and the embedding of a view in a placeholder frame.
#include <gtest/gtest.h>

#include <QFrame>
#include <QImage>
#include <QLineEdit>

#include "dsp_blocks/ui/DControl.h"
#include "dsp_blocks/ui/GradientFills.h"
#include "dsp_blocks/ui/LocaleNumbers.h"
#include "dsp_blocks/ui/PendingValue.h"
#include "dsp_blocks/ui/SpinEditRange.h"
#include "dsp_blocks/ui/WindowHelpers.h"
#include "platform/ui/core/ControlIds.h"
#include "platform/ui/core/UiLocale.h"
#include "platform/ui/core/UpDown.h"
#include "resources/templates/LimiterPanelTemplate.h"

namespace {

using namespace LimiterPanelIds;

class CommaSeparator : public ::testing::Test {
protected:
    CommaSeparator() { platform::SetUiDecimalSeparator(U','); }
    ~CommaSeparator() override { platform::SetUiDecimalSeparator(U'.'); }
};

// A panel of the limiter's template, for the spin and edit operations.
class SpinPanel : public ::testing::Test {
protected:
    SpinPanel() { panel.Create(); }
    QLineEdit& Edit(std::int32_t id) { return *panel.ItemAs<QLineEdit>(id); }
    platform::UpDown& Spin(std::int32_t id) { return *panel.ItemAs<platform::UpDown>(id); }

    DControl panel{kLimiterPanelTemplate, nullptr};
    const SpinEditRange peak{kPeakThreshold, kPeakThresholdSpin, 0.5f, 100.0f, 0.5f, "%.1f"};
    const SpinEditRange rms{kRmsThreshold, kRmsThresholdSpin, 0.5f, 70.7f, 0.5f, "%.1f"};
};

}  // namespace

TEST_F(CommaSeparator, NumbersShowAndParseWithTheUsersSeparator)
{
    EXPECT_EQ(FormatLocaleNumber("%.1f", 2.5), "2,5");
    float value = 0.0f;
    EXPECT_TRUE(ParseLocaleNumber("2,5", value));
    EXPECT_EQ(value, 2.5f);
    EXPECT_FALSE(IsNumberText("2.5"));
    EXPECT_EQ(ParseValueInRange("2.5", 0.0f, 10.0f, "%.1f", value), kValueBadFormat);
    EXPECT_EQ(ToInvariantNumber("1,25"), "1.25");
    double leading = 0.0;
    EXPECT_TRUE(ParseLeadingNumber("3,5 V", leading));
    EXPECT_EQ(leading, 3.5);
}

TEST(LocaleNumbers, ValueInRangeRefusesNonNumbersAndValuesOutsideTheRange)
{
    float value = -1.0f;
    EXPECT_EQ(ParseValueInRange("12.5", 0.0f, 50.0f, "%.1f", value), kValueAccepted);
    EXPECT_EQ(value, 12.5f);
    for (const char* bad : {"", "-", "1e3", "12a", "1 2", "inf"}) {
        EXPECT_EQ(ParseValueInRange(bad, 0.0f, 5000.0f, "%.1f", value), kValueBadFormat) << bad;
    }
    EXPECT_EQ(ParseValueInRange("50.5", 0.0f, 50.0f, "%.1f", value), kValueOutOfRange);
    EXPECT_EQ(ParseValueInRange("-1", 0.0f, 50.0f, "%.1f", value), kValueOutOfRange);
    // A number the field shows as it shows an end is that end; a display step further is not.
    for (const char* shownAsEnd : {"50.04", "-0.04"}) {
        EXPECT_EQ(ParseValueInRange(shownAsEnd, 0.0f, 50.0f, "%.1f", value), kValueAccepted) << shownAsEnd;
        EXPECT_EQ(value, shownAsEnd[0] == '-' ? 0.0f : 50.0f) << shownAsEnd;
    }
    EXPECT_EQ(ParseValueInRange("50.06", 0.0f, 50.0f, "%.1f", value), kValueOutOfRange);
    EXPECT_EQ(ParseValueInRange("50.04", 0.0f, 50.0f, "%.2f", value), kValueOutOfRange);
    double leading = 0.0;
    EXPECT_FALSE(ParseLeadingNumber("abc", leading));
    EXPECT_FALSE(ParseLeadingNumber("nan", leading));
    EXPECT_FALSE(ParseLeadingNumber("-.", leading));
    EXPECT_TRUE(ParseLeadingNumber("  -.5x", leading));
    EXPECT_EQ(leading, -0.5);
}

TEST_F(SpinPanel, SpinHasOnePositionPastTheMaximum)
{
    SetupSpin(panel, peak, 100.0f);
    EXPECT_EQ(Spin(kPeakThresholdSpin).Upper(), 200);
    Spin(kPeakThresholdSpin).SetPos32(199);
    EXPECT_EQ(GetSpinValue(panel, peak), 100.0f);
    Spin(kPeakThresholdSpin).SetPos32(200);
    EXPECT_EQ(GetSpinValue(panel, peak), 100.0f);
    SetupSpin(panel, rms, 70.7f);
    EXPECT_EQ(Spin(kRmsThresholdSpin).Upper(), 142);
    EXPECT_EQ(Spin(kRmsThresholdSpin).GetPos32(), 140);
    SetSpinValue(panel, rms, 70.7f);
    EXPECT_EQ(Spin(kRmsThresholdSpin).GetPos32(), 141);
    SetSpinValue(panel, rms, 3.0f);
    EXPECT_EQ(Spin(kRmsThresholdSpin).GetPos32(), 5);
}

TEST_F(SpinPanel, EditValueIsReadToWhatTheFieldShows)
{
    SetEditValue(panel, peak, 12.25f);
    EXPECT_EQ(Edit(kPeakThreshold).text().toStdString(), "12.2");
    float value = 0.0f;
    Edit(kPeakThreshold).setText("12.34");
    EXPECT_TRUE(ReadEditValue(panel, peak, value));
    EXPECT_EQ(value, 12.3f);
    Edit(kPeakThreshold).setText("7 volts");
    EXPECT_TRUE(ReadEditValue(panel, peak, value));
    EXPECT_EQ(value, 7.0f);
    for (const char* refused : {"volts", "", "100.1", "0.4"}) {
        Edit(kPeakThreshold).setText(refused);
        EXPECT_FALSE(ReadEditValue(panel, peak, value)) << refused;
    }
    float snapped = 12.3f;
    EXPECT_TRUE(SnapToStep(snapped, peak));
    EXPECT_EQ(snapped, 12.5f);
    snapped = 101.0f;
    EXPECT_FALSE(SnapToStep(snapped, peak));
}

TEST_F(SpinPanel, PendingValueTracksWithinAGestureAndSendsOnceAtItsEnd)
{
    PendingValue value(1, 10.0f);
    EXPECT_EQ(value.Set(11.0f, true).action, PendingAction::Track);
    EXPECT_EQ(value.Set(11.0f, true).action, PendingAction::None);
    const PendingStep end = value.Set(11.0f, false);
    EXPECT_FALSE(end.changed);
    EXPECT_EQ(end.action, PendingAction::Send);
    EXPECT_EQ(value.Set(11.0f, false).action, PendingAction::None);
    const PendingStep typed = value.Set(12.0f, false);
    EXPECT_TRUE(typed.changed);
    EXPECT_EQ(typed.action, PendingAction::Send);
    EXPECT_EQ(value.OnSpin(panel, platform::ScrollCode::kLineUp, 13.0f).action, PendingAction::None);
    value.Set(14.0f, true);
    value.Reset(9.0f);
    EXPECT_FALSE(value.IsPending());
    EXPECT_EQ(value.Flush().action, PendingAction::None);
    // Without an arrow key held, a spin step starts no settle timer.
    value.OnSpin(panel, platform::ScrollCode::kThumbPosition, 15.0f);
    EXPECT_FALSE(panel.IsTimerSet(1));
}

TEST_F(SpinPanel, BuddySpinFollowsItsEditAndIsDisabledWithIt)
{
    EXPECT_EQ(FindBuddySpin(panel, kPeakAttack), panel.Item(kPeakAttackSpin));
    EXPECT_EQ(FindBuddySpin(panel, kPresetName), nullptr);
    const std::int32_t ids[] = {kRmsAttack};
    DisableWithSpin(panel, ids);
    EXPECT_FALSE(panel.Item(kRmsAttack)->isEnabled());
    EXPECT_FALSE(panel.Item(kRmsAttackSpin)->isEnabled());
    EXPECT_EQ(GetWindowClassName(panel.Item(kRmsAttackSpin)), "msctls_updown32");
}

TEST_F(SpinPanel, TitleGoesIntoItsStaticAndTypingByCodeIsNoTyping)
{
    panel.SetTitleText("Limiter 3");
    EXPECT_EQ(panel.ItemText(DControl::kTitleId), "Limiter 3");
    SetEditValue(panel, peak, 5.0f);
    EXPECT_EQ(panel.DirtyEdit(), 0);
    Edit(kPeakThreshold).setText("6");
    EXPECT_EQ(panel.DirtyEdit(), kPeakThreshold);
}

TEST(EmbedChildDialog, PlaceholderTakesTheChildsSizePlusItsBorder)
{
    DControl panel(kLimiterPanelTemplate, nullptr);
    panel.Create();
    auto* frame = new QFrame(&panel);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setGeometry(10, 20, 100, 80);
    platform::SetControlId(frame, 77);
    auto* child = new QWidget(&panel);
    child->resize(90, 50);
    std::string title;
    const EmbedResult result = EmbedChildDialog(panel, 77, *child, [&](const std::string& text) { title = text; });
    EXPECT_EQ(frame->size(), QSize(94, 54));
    EXPECT_EQ(child->pos(), QPoint(12, 22));
    EXPECT_EQ(result.widthShrink, 6);
    EXPECT_EQ(result.heightShrink, 26);
    PlaceInFrame(panel, *child, 77, 10, 6);
    EXPECT_EQ(child->geometry(), QRect(20, 26, 74, 42));
}

TEST(GradientFills, MirroredFillMeetsInTheMiddleAndTheButtonIsFramed)
{
    QImage image(20, 11, QImage::Format_RGB32);
    platform::Canvas canvas(image);
    FillGradientMirroredV(&canvas, platform::Rect{0, 0, 20, 11}, 0xF0F0F0, 0xC0C0C0);
    auto at = [&](int x, int y) { return platform::FromArgb32(image.pixel(x, y)); };
    EXPECT_EQ(at(5, 0), 0xF0F0F0u);
    EXPECT_EQ(at(5, 4), 0xC0C0C0u);
    EXPECT_EQ(at(5, 5), 0xC0C0C0u);
    EXPECT_EQ(at(5, 10), 0xF0F0F0u);
    FillGradient(nullptr, platform::Rect{0, 0, 5, 5}, 0, 0, true);
    platform::DrawItemState state;
    state.rect = QRect(0, 0, 20, 11);
    DrawGradientButton(canvas, state, "", 0xF0F0F0, 0xC0C0C0, 0);
    EXPECT_EQ(at(0, 5), 0x000000u);
    EXPECT_EQ(at(19, 10), 0x000000u);
    EXPECT_EQ(at(5, 1), 0xE4E4E4u);  // 0xF0 - 0x30 x 1 / 4
}
