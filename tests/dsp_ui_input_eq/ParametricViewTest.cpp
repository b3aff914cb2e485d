// The parametric response view: handles and selection, the drag gesture on the UI clock, the
// five drag kinds, cursors, the notices to the parent and what is drawn.
#include <gtest/gtest.h>

#include <cmath>

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "dsp_blocks/ui/VParametricFreqGraphView.h"
#include "platform/ui/core/ManualTimerService.h"
#include "platform/ui/drawing/Canvas.h"
#include "tests/dsp_ui_input_eq/InputEqTestSupport.h"

namespace {

using Kind = VParametricFreqGraphView::DragKind;
using Shape = VParametricFreqGraphView::CursorShape;

constexpr std::size_t kPeak = 4;   // 1000 Hz
constexpr std::size_t kNotch = 2;  // 250 Hz

class ParametricViewTest : public ::testing::Test {
protected:
    ParametricViewTest() : scope_(timers_)
    {
        recorder_.resize(700, 360);
        recorder_.show();
        view_ = new VParametricFreqGraphView(&recorder_);
        view_->setGeometry(10, 10, 640, 320);
        view_->show();
        SetBand(kPeak, EqBand{0, 1000.0f, 1.4142135f, 9.0f});
        SetBand(kNotch, EqBand{3, 250.0f, 2.0f, 6.0f});
        view_->SetMode(VParametricFreqGraphView::kParametricMode);
    }

    void SetBand(std::size_t index, const EqBand& band)
    {
        block_.controller.SetBand(index, band, true);
        const EqBand* bands = nullptr;
        const BiquadCoefficients* sections = nullptr;
        const std::size_t count = block_.controller.GetBands(bands);
        block_.controller.GetSections(sections);
        view_->SetBands(bands, sections, count);
    }

    QPoint ToClient(QPoint plotPoint) const { return plotPoint + QPoint(view_->PlotRect().left, view_->PlotRect().top); }
    QPoint CentreOf(const platform::Rect& r) const { return ToClient(QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2)); }
    QPoint Handle(std::size_t band) const { return CentreOf(view_->HandleRect(band)); }
    static QPoint Screen(QPoint client) { return client + QPoint(1500, 900); }

    void Press(QPoint client) { view_->OnLeftButtonDown(client, Screen(client)); }
    void Move(QPoint client) { view_->OnPointerMove(client, Screen(client)); }
    // Press on a handle and move far enough to start the drag.
    void StartDrag(QPoint client)
    {
        Press(client);
        Move(client + QPoint(0, 5));
        ASSERT_TRUE(view_->IsDragging());
    }
    void Select(std::size_t band) { Press(Handle(band)), view_->OnLeftButtonUp(); }
    std::vector<NoticeRecorder::Notice>& Notices() { return recorder_.notices; }

    platform::ManualTimerService timers_;
    platform::ScopedTimerService scope_;
    InputEqBlock block_;
    NoticeRecorder recorder_;
    VParametricFreqGraphView* view_ = nullptr;  // a child of recorder_
};

}  // namespace

TEST_F(ParametricViewTest, HandlesAndTheirCursorsWithTheNotchAtMinus12)
{
    const platform::Rect& peak = view_->HandleRect(kPeak);
    EXPECT_EQ(peak.Width(), 8);
    EXPECT_EQ(Handle(kPeak), ToClient(QPoint(view_->XToPixel(true, 1000.0f), view_->YToPixel(9.0f))));
    EXPECT_EQ(Handle(kNotch).y(), ToClient(QPoint(0, view_->YToPixel(-12.0f))).y());
    Move(Handle(kPeak));
    EXPECT_EQ(view_->Cursor(), Shape::SizeAll);
    EXPECT_EQ(view_->cursor().shape(), Qt::SizeAllCursor);
    Move(Handle(kNotch));
    EXPECT_EQ(view_->Cursor(), Shape::SizeWestEast);
    // Only the selected band in parametric mode shows its area and edges.
    EXPECT_TRUE(view_->BandAreaRect().IsEmpty());
    Select(kPeak);
    EXPECT_EQ(view_->SelectedBand(), static_cast<std::int32_t>(kPeak));
    EXPECT_EQ(view_->BandAreaRect().left, view_->XToPixel(true, 1000.0f / std::sqrt(2.0f)));
    Move(CentreOf(view_->LeftEdgeRect()));
    EXPECT_EQ(view_->Cursor(), Shape::SizeWestEast);
    Move(CentreOf(view_->RightEdgeRect()));
    EXPECT_EQ(view_->Cursor(), Shape::SizeWestEast);
    Move(CentreOf(view_->BandAreaRect()) + QPoint(0, 6));
    EXPECT_EQ(view_->Cursor(), Shape::Arrow);
    view_->SetMode(0);
    Move(Handle(kPeak));
    EXPECT_EQ(view_->Cursor(), Shape::SizeNorthSouth);
    Move(ToClient(QPoint(3, 3)));
    EXPECT_EQ(view_->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ParametricViewTest, DragStartsBeyondThreePixelsOrAfter501MsAndNotAfterACancel)
{
    Press(Handle(kPeak));
    Move(Handle(kPeak) + QPoint(3, -3));
    EXPECT_TRUE(view_->IsWaitingForDrag());
    Move(Handle(kPeak) + QPoint(4, 0));
    EXPECT_EQ(view_->ActiveDrag(), Kind::BandFrequencyGain);
    DeliverMessages();
    EXPECT_EQ(Notices().size(), 1u) << "the move that starts the drag is its first step";
    view_->OnLeftButtonUp();
    Press(Handle(kPeak));
    timers_.Advance(500);
    EXPECT_FALSE(view_->IsDragging());
    timers_.Advance(1);
    EXPECT_TRUE(view_->IsDragging());
    view_->OnLeftButtonUp();
    Notices().clear();

    // A release within the square and the time, the right button and Escape: no drag.
    Press(Handle(kPeak));
    Move(Handle(kPeak) + QPoint(1, 1));
    view_->OnLeftButtonUp();
    Press(Handle(kPeak));
    view_->OnGestureCancel();
    Press(Handle(kPeak));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(view_, &escape);
    timers_.Advance(1000);
    Move(Handle(kPeak) + QPoint(20, 20));
    EXPECT_FALSE(view_->IsDragging());
    DeliverMessages();
    EXPECT_TRUE(Notices().empty());
}

TEST_F(ParametricViewTest, StepsArePostedWithZeroAndTheReleaseIsSentWithOneWhileValuesAreReadable)
{
    StartDrag(Handle(kPeak));
    DeliverMessages();
    Move(Handle(kPeak) + QPoint(10, 10));
    DeliverMessages();
    ASSERT_EQ(Notices().size(), 2u);
    Move(Handle(kPeak) + QPoint(20, 20));
    // Posted: nothing arrives before the loop hands it out; the release is sent at once.
    EXPECT_EQ(Notices().size(), 2u);
    view_->OnLeftButtonUp();
    ASSERT_EQ(Notices().size(), 3u);
    EXPECT_EQ(Notices()[0].done, 0u);
    EXPECT_EQ(Notices()[1].done, 0u);
    EXPECT_EQ(Notices()[2].done, 1u);
    EXPECT_EQ(Notices()[2].draggedBand, static_cast<std::int32_t>(kPeak));
    EXPECT_FALSE(view_->IsDragging());
    // The step posted before the release arrives after it, when nothing is dragged any more.
    DeliverMessages();
    ASSERT_EQ(Notices().size(), 4u);
    EXPECT_EQ(Notices()[3].done, 0u);
    EXPECT_EQ(Notices()[3].draggedBand, -1);
}

TEST_F(ParametricViewTest, EachDragKindChangesOnlyItsValues)
{
    float frequency = 0.0f;
    float gain = 0.0f;
    float q = 0.0f;
    StartDrag(Handle(kNotch));
    Move(Handle(kNotch) + QPoint(40, -60));
    ASSERT_EQ(view_->GetDragInfo(frequency, gain, q), static_cast<std::int32_t>(kNotch));
    EXPECT_GT(frequency, 300.0f);
    EXPECT_EQ(gain, 6.0f);
    view_->OnLeftButtonUp();

    Select(kPeak);
    const QPoint edge = CentreOf(view_->LeftEdgeRect());
    StartDrag(edge);
    EXPECT_EQ(view_->ActiveDrag(), Kind::LeftEdge);
    Move(edge + QPoint(-30, 0));
    float fe = 0.0f;
    view_->PixelToValue(edge.x() - 30 + view_->GrabOffset().x(), edge.y(), fe, gain);
    view_->GetDragInfo(frequency, gain, q);
    EXPECT_NEAR(q, 1.0 / (std::sqrt(2.0) * std::log2(1000.0 / fe)), 1e-4);
    const float before = q;
    Move(Handle(kPeak) + QPoint(60, 0));  // past the centre
    view_->GetDragInfo(frequency, gain, q);
    EXPECT_EQ(q, before);
    EXPECT_EQ(frequency, 1000.0f);
    view_->OnLeftButtonUp();

    StartDrag(CentreOf(view_->BandAreaRect()) + QPoint(0, 8));
    EXPECT_EQ(view_->ActiveDrag(), Kind::BandArea);
    Move(CentreOf(view_->BandAreaRect()) + QPoint(50, -40));
    view_->GetDragInfo(frequency, gain, q);
    EXPECT_GT(frequency, 1500.0f);
    EXPECT_EQ(gain, 9.0f);
    view_->OnLeftButtonUp();

    view_->SetMode(0);
    EXPECT_TRUE(view_->LeftEdgeRect().IsEmpty());
    EXPECT_TRUE(view_->BandAreaRect().IsEmpty());
    StartDrag(Handle(kPeak));
    EXPECT_EQ(view_->ActiveDrag(), Kind::BandGain);
    Move(Handle(kPeak) + QPoint(80, 30));
    view_->GetDragInfo(frequency, gain, q);
    EXPECT_EQ(frequency, 1000.0f);
    EXPECT_LT(gain, 9.0f);
}

TEST_F(ParametricViewTest, AlmostFlatPeakShowsNoAreaAndAClickOnEmptyPlotClearsTheSelection)
{
    const float nearZero = 1.5f / view_->YScale();
    SetBand(kPeak, EqBand{0, 1000.0f, 1.4142135f, nearZero});
    ASSERT_LT(view_->YToPixel(0.0f) - view_->YToPixel(nearZero), 3);
    Select(kPeak);
    EXPECT_TRUE(view_->BandAreaRect().IsEmpty());
    EXPECT_TRUE(view_->RightEdgeRect().IsEmpty());

    SetBand(kPeak, EqBand{0, 1000.0f, 1.4142135f, 9.0f});
    EXPECT_FALSE(view_->BandAreaRect().IsEmpty());
    Press(ToClient(QPoint(4, 4)));
    EXPECT_EQ(view_->SelectedBand(), -1);
    EXPECT_TRUE(view_->BandAreaRect().IsEmpty());
    EXPECT_TRUE(view_->LeftEdgeRect().IsEmpty());
    EXPECT_FALSE(view_->IsWaitingForDrag());
}

TEST_F(ParametricViewTest, PointerIsConfinedWhileDraggingAndLosingMouseOrFocusEndsTheDragAsARelease)
{
    Press(Handle(kPeak));
    EXPECT_FALSE(view_->IsPointerConfined());
    Move(Handle(kPeak) + QPoint(5, 0));
    EXPECT_TRUE(view_->IsPointerConfined());
    Move(QPoint(-400, -400));
    float frequency = 0.0f;
    float gain = 0.0f;
    float q = 0.0f;
    view_->GetDragInfo(frequency, gain, q);
    EXPECT_FLOAT_EQ(frequency, 20.0f);
    EXPECT_FLOAT_EQ(gain, 18.0f);
    Notices().clear();
    view_->OnMouseLost();
    EXPECT_FALSE(view_->IsPointerConfined());
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0].done, 1u);
    EXPECT_EQ(Notices()[0].draggedBand, static_cast<std::int32_t>(kPeak));

    auto* other = new QLineEdit(&recorder_);
    other->show();
    QApplication::setActiveWindow(&recorder_);
    StartDrag(Handle(kPeak));
    ASSERT_TRUE(view_->hasFocus()) << "a press on a handle takes the focus";
    other->setFocus();
    ASSERT_EQ(Notices().size(), 2u);
    EXPECT_EQ(Notices()[1].done, 1u);
    EXPECT_FALSE(view_->IsDragging());
    EXPECT_FALSE(view_->HasKeyboardFocus());
}

TEST_F(ParametricViewTest, OnlyTheChangedSectionIsRecomputed)
{
    view_->Recompute();
    SetBand(7, EqBand{1, 8000.0f, 1.0f, 6.0f});
    EXPECT_EQ(view_->Recompute(), 1u);
    EXPECT_EQ(view_->Recompute(), 0u);
}

TEST_F(ParametricViewTest, BandAreaIsTheGradientBlendedAt168AndTheFocusedHandleIsHollowedWhite)
{
    SetBand(kNotch, EqBand{0, 250.0f, 2.0f, 0.0f});
    Select(kPeak);
    view_->RenderBackBuffer();
    const QImage& buffer = view_->BackBuffer();
    const platform::Rect area = view_->BandAreaRect();
    const QPoint pixel(area.left + 2, area.bottom - 2);
    const platform::ColorRef under = platform::FromArgb32(view_->Background().pixel(pixel));
    const platform::ColorRef source = platform::GradientStep(0xF0F0F0, 0xF0C0C0, 2, area.Width());
    const auto blend = [](int d, int s) { return d + (s - d) * 168 / 255; };
    const platform::ColorRef expected = platform::Rgb(blend(platform::RedOf(under), platform::RedOf(source)),
                                                      blend(platform::GreenOf(under), platform::GreenOf(source)),
                                                      blend(platform::BlueOf(under), platform::BlueOf(source)));
    EXPECT_EQ(platform::FromArgb32(buffer.pixel(pixel)), expected);

    const QImage unfocused = buffer.copy();
    QApplication::setActiveWindow(&recorder_);
    view_->setFocus();
    ASSERT_TRUE(view_->HasKeyboardFocus());
    view_->RenderBackBuffer();
    const platform::Rect inner = view_->HandleRect(kPeak).Deflated(2, 2);
    int whiteInside = 0;
    for (int y = 0; y < buffer.height(); ++y) {
        for (int x = 0; x < buffer.width(); ++x) {
            if (buffer.pixel(x, y) == unfocused.pixel(x, y)) {
                continue;
            }
            EXPECT_TRUE(inner.Contains(x, y)) << x << "," << y;
            whiteInside += platform::FromArgb32(buffer.pixel(x, y)) == 0xFFFFFF ? 1 : 0;
        }
    }
    EXPECT_GT(whiteInside, 0);
}
