#include "dsp_blocks/ui/VParametricFreqGraphView.h"

#include <algorithm>
#include <cmath>

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

#include "dsp_blocks/ui/CurveDrawing.h"
#include "dsp_blocks/ui/GradientBlend.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/Dialog.h"
#include "platform/ui/drawing/SystemColors.h"

using platform::Rect;

namespace {

// sqrt(2) / 2 and sqrt(2) / log10(2), both held in single precision.
constexpr float kHalfSqrt2 = 0.70710677f;
constexpr float kEdgeQFactor = static_cast<float>(1.4142135623730951 / 0.30102999566398120);

Qt::CursorShape QtCursorOf(VParametricFreqGraphView::CursorShape shape)
{
    switch (shape) {
    case VParametricFreqGraphView::CursorShape::SizeAll:
        return Qt::SizeAllCursor;
    case VParametricFreqGraphView::CursorShape::SizeWestEast:
        return Qt::SizeHorCursor;
    case VParametricFreqGraphView::CursorShape::SizeNorthSouth:
        return Qt::SizeVerCursor;
    case VParametricFreqGraphView::CursorShape::Arrow:
        break;
    }
    return Qt::ArrowCursor;
}

QPoint CentreOf(const Rect& rect)
{
    return QPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

Rect SquareAround(int x, int y, int half)
{
    return Rect{x - half, y - half, x + half, y + half};
}

}  // namespace

VParametricFreqGraphView::VParametricFreqGraphView(QWidget* parent)
    : VFreqGraphView(parent), gesture_([this] { StartDrag(); })
{
    model_.SetGrid(x0_, x1_, ResponseModel::kViewGridSize);
    setMouseTracking(true);
    // The view takes the focus only from a press on what it can drag.
    setFocusPolicy(Qt::NoFocus);
}

VParametricFreqGraphView::~VParametricFreqGraphView() = default;

float VParametricFreqGraphView::EdgeRatio(float q)
{
    return std::pow(2.0f, kHalfSqrt2 / q);
}

bool VParametricFreqGraphView::QFromEdge(float edgeFrequency, float centre, float& q)
{
    if (!(edgeFrequency > 0.0f) || !(centre > 0.0f)) {
        return false;
    }
    const float ratio = std::max(edgeFrequency, centre) / std::min(edgeFrequency, centre);
    if (!(ratio > 1.0f) || !std::isfinite(ratio)) {
        return false;
    }
    q = 1.0f / (std::log10(ratio) * kEdgeQFactor);
    return true;
}

platform::ColorRef VParametricFreqGraphView::BandColour(std::size_t index)
{
    return index < kBandColours.size() ? kBandColours[index] : kOtherBandColour;
}

void VParametricFreqGraphView::SetBands(const EqBand* bands, const BiquadCoefficients* coefficients,
                                        std::size_t count)
{
    count = std::min(count, kMaxBands);
    if (bands == nullptr || coefficients == nullptr) {
        count = 0;
    }
    std::array<float, kMaxBands> ownFrequencies{};
    for (std::size_t i = 0; i < count; ++i) {
        bands_[i] = bands[i];
        ownFrequencies[i] = bands[i].type == kNotch ? bands[i].frequency : 0.0f;
    }
    bandCount_ = count;
    model_.SetSections(coefficients, count, ownFrequencies.data());
    if (selected_ >= static_cast<std::int32_t>(count)) {
        // The dragged band is gone: the drag ends without a word.
        dragKind_ = DragKind::None;
        gesture_.Cancel();
        selected_ = -1;
    }
    RebuildHandles();
    RebuildSelection();
    InvalidateCurves();
}

void VParametricFreqGraphView::SetMode(std::uint32_t mode)
{
    if (mode == mode_) {
        return;
    }
    mode_ = mode;
    RebuildSelection();
    InvalidateCurves();
}

std::int32_t VParametricFreqGraphView::GetDragInfo(float& frequency, float& gain, float& q) const
{
    if (!IsDragging()) {
        return -1;
    }
    frequency = dragValues_.frequency;
    gain = dragValues_.gain;
    q = dragValues_.q;
    return selected_;
}

void VParametricFreqGraphView::Layout(const Rect& rect)
{
    VFreqGraphView::Layout(rect);
    RebuildHandles();
    RebuildSelection();
}

void VParametricFreqGraphView::RebuildHandles()
{
    for (std::size_t i = 0; i < kMaxBands; ++i) {
        if (i >= bandCount_) {
            handles_[i] = Rect{};
            continue;
        }
        const EqBand& band = bands_[i];
        const int x = XToPixel(true, band.frequency);
        const int y = YToPixel(band.type == kNotch ? kNotchHandleDb : band.gain);
        handles_[i] = SquareAround(x, y, kHandleHalfSize);
    }
}

void VParametricFreqGraphView::RebuildSelection()
{
    bandArea_ = Rect{};
    leftEdge_ = Rect{};
    rightEdge_ = Rect{};
    if (selected_ < 0 || selected_ >= static_cast<std::int32_t>(bandCount_)) {
        return;
    }
    const EqBand& band = bands_[static_cast<std::size_t>(selected_)];
    if (mode_ == kParametricMode) {
        const int zero = YToPixel(0.0f);
        switch (band.type) {
        case kPeaking:
        case kNotch: {
            const int level = YToPixel(band.type == kNotch ? kNotchHandleDb : band.gain);
            const float ratio = EdgeRatio(band.q);
            int left = XToPixel(true, band.frequency / ratio);
            int right = XToPixel(true, band.frequency * ratio);
            if (left > right) {
                std::swap(left, right);
            }
            const int top = std::min(level, zero);
            const int bottom = std::max(level, zero);
            if (bottom - top >= kMinAreaHeight) {
                bandArea_ = Rect{left, top, right, bottom};
                const int middle = (top + bottom) / 2;
                leftEdge_ = SquareAround(left, middle, kHandleHalfSize);
                rightEdge_ = SquareAround(right, middle, kHandleHalfSize);
            }
            break;
        }
        case kHighShelf:
        case kLowShelf: {
            const int level = YToPixel(band.gain);
            const int left = XToPixel(true, band.type == kHighShelf ? band.frequency : x0_);
            const int right = XToPixel(true, band.type == kHighShelf ? x1_ : band.frequency);
            const int top = std::min(level, zero);
            const int bottom = std::max(level, zero);
            if (bottom - top >= kMinAreaHeight) {
                bandArea_ = Rect{std::min(left, right), top, std::max(left, right), bottom};
            }
            break;
        }
        default:
            break;
        }
    }
    dragValues_ = band;
}

std::size_t VParametricFreqGraphView::Recompute()
{
    return model_.Recompute();
}

void VParametricFreqGraphView::DrawCurves(platform::Canvas& backBuffer)
{
    const platform::ColorRef selectedColour =
        selected_ >= 0 ? BandColour(static_cast<std::size_t>(selected_)) : kOtherBandColour;
    DrawSelection(backBuffer, selectedColour);
    const std::vector<ResponseRecord>& sections = model_.Sections();
    for (std::size_t i = 0; i < bandCount_; ++i) {
        const bool focused = keyboardFocus_ && static_cast<std::int32_t>(i) == selected_;
        DrawHandle(backBuffer, handles_[i], BandColour(i), focused);
        if (i < sections.size() && !(sections[i].coefficients == kFlatSection)) {
            // One drawer per curve, so the handles between them keep whole-pixel drawing.
            const std::unique_ptr<DrawHelper> drawer = MakeCurveDrawer(*this, backBuffer);
            model_.DrawCurve(*drawer, sections[i], BandColour(i), kBandCurveWidth);
        }
    }
    const std::unique_ptr<DrawHelper> drawer = MakeCurveDrawer(*this, backBuffer);
    model_.DrawCurve(*drawer, model_.Combined(), kCombinedColour, kCombinedWidth);
}

void VParametricFreqGraphView::DrawSelection(platform::Canvas& backBuffer, platform::ColorRef colour)
{
    if (!bandArea_.IsEmpty()) {
        BlendHorizontalGradient(backBuffer, bandArea_, kAreaLeftColour, kAreaRightColour, kAreaAlpha);
        const platform::Pen oldPen = backBuffer.SelectPen(platform::SolidPen(platform::SysColor::kButtonShadow));
        const platform::Brush oldBrush = backBuffer.SelectBrush(platform::StockBrush::kHollow);
        backBuffer.Rectangle(bandArea_);
        backBuffer.SelectBrush(oldBrush);
        backBuffer.SelectPen(oldPen);
    }
    DrawHandle(backBuffer, leftEdge_, colour, false);
    DrawHandle(backBuffer, rightEdge_, colour, false);
}

void VParametricFreqGraphView::DrawHandle(platform::Canvas& canvas, const Rect& rect, platform::ColorRef colour,
                                          bool focused)
{
    if (rect.IsEmpty()) {
        return;
    }
    const platform::Pen oldPen = canvas.SelectPen(platform::SolidPen(platform::SysColor::kButtonShadow));
    const platform::Brush oldBrush = canvas.SelectBrush(platform::SolidBrush(colour));
    canvas.Rectangle(rect);
    if (focused) {
        const Rect inner = rect.Deflated(2, 2);
        canvas.DrawFocusRect(inner);
        canvas.FillRect(inner, platform::StockBrush::kWhite);
    }
    canvas.SelectBrush(oldBrush);
    canvas.SelectPen(oldPen);
}

void VParametricFreqGraphView::Select(std::int32_t band)
{
    selected_ = band;
    RebuildSelection();
    InvalidateCurves();
}

QPoint VParametricFreqGraphView::PlotPoint(QPoint client) const
{
    return client - QPoint(plotRect_.left, plotRect_.top);
}

VParametricFreqGraphView::Hit VParametricFreqGraphView::HitTest(QPoint plotPoint) const
{
    Hit hit;
    for (std::size_t i = 0; i < bandCount_; ++i) {
        if (handles_[i].Contains(plotPoint.x(), plotPoint.y())) {
            hit.kind = mode_ == kParametricMode ? DragKind::BandFrequencyGain : DragKind::BandGain;
            hit.band = static_cast<std::int32_t>(i);
            hit.centre = CentreOf(handles_[i]);
            return hit;
        }
    }
    if (selected_ < 0) {
        return hit;
    }
    hit.band = selected_;
    if (leftEdge_.Contains(plotPoint.x(), plotPoint.y())) {
        hit.kind = DragKind::LeftEdge;
        hit.centre = CentreOf(leftEdge_);
    } else if (rightEdge_.Contains(plotPoint.x(), plotPoint.y())) {
        hit.kind = DragKind::RightEdge;
        hit.centre = CentreOf(rightEdge_);
    } else if (bandArea_.Contains(plotPoint.x(), plotPoint.y())) {
        const EqBand& band = bands_[static_cast<std::size_t>(selected_)];
        hit.kind = DragKind::BandArea;
        hit.centre = QPoint(XToPixel(true, band.frequency), YToPixel(band.gain * 0.5f));
    } else {
        hit.band = -1;
    }
    return hit;
}

void VParametricFreqGraphView::OnLeftButtonDown(QPoint client, QPoint screen)
{
    if (IsDragging()) {
        return;
    }
    if (gesture_.IsWaiting()) {
        // A second press while waiting: no drag.
        EndWait();
        return;
    }
    const QPoint point = PlotPoint(client);
    const Hit hit = HitTest(point);
    if (hit.kind == DragKind::None) {
        if (selected_ >= 0) {
            Select(-1);
        }
        InvalidateCurves();
        return;
    }
    if (hit.band != selected_) {
        Select(hit.band);
    }
    setFocus(Qt::MouseFocusReason);
    pressed_ = hit;
    // The grab offset is taken from the press point, not from where the drag starts.
    grabOffset_ = hit.centre - point;
    gesture_.Begin(screen);
}

void VParametricFreqGraphView::OnPointerMove(QPoint client, QPoint screen)
{
    if (IsDragging()) {
        ApplyDragPoint(ConfinePoint(client));
        return;
    }
    if (gesture_.IsWaiting()) {
        gesture_.OnMove(screen);
        // The move that started the drag is its first step.
        if (IsDragging()) {
            ApplyDragPoint(ConfinePoint(client));
        }
        return;
    }
    UpdateCursor(PlotPoint(client));
}

void VParametricFreqGraphView::OnLeftButtonUp()
{
    if (gesture_.IsWaiting()) {
        EndWait();
        return;
    }
    if (IsDragging()) {
        FinishDrag();
    }
}

void VParametricFreqGraphView::OnGestureCancel()
{
    if (gesture_.IsWaiting()) {
        EndWait();
    }
}

void VParametricFreqGraphView::OnMouseLost()
{
    if (gesture_.IsWaiting()) {
        EndWait();
    }
    if (IsDragging()) {
        FinishDrag();
    }
}

void VParametricFreqGraphView::EndWait()
{
    gesture_.Cancel();
    pressed_ = Hit{};
}

void VParametricFreqGraphView::StartDrag()
{
    if (pressed_.band < 0 || pressed_.band >= static_cast<std::int32_t>(bandCount_)) {
        return;
    }
    selected_ = pressed_.band;
    dragKind_ = pressed_.kind;
    dragValues_ = bands_[static_cast<std::size_t>(selected_)];
    pressed_ = Hit{};
    // The drag runs while the left button is down, so the press's own mouse grab already
    // brings every move and the release here; the pointer is kept in the plot by the moves.
}

void VParametricFreqGraphView::FinishDrag()
{
    QPointer<VParametricFreqGraphView> self(this);
    if (auto* panel = qobject_cast<platform::Dialog*>(parentWidget())) {
        panel->Messages().Dispatch(platform::MsgNotifyDragging(), 1, 0);
    }
    if (self != nullptr) {
        dragKind_ = DragKind::None;
    }
}

void VParametricFreqGraphView::ApplyDragPoint(QPoint client)
{
    const QPoint target = client + grabOffset_;
    float x = 0.0f;
    float y = 0.0f;
    PixelToValue(target.x(), target.y(), x, y);
    switch (dragKind_) {
    case DragKind::BandFrequencyGain:
        dragValues_.frequency = x;
        if (dragValues_.type != kNotch) {
            dragValues_.gain = y;
        }
        break;
    case DragKind::LeftEdge:
    case DragKind::RightEdge:
        if (dragValues_.type == kPeaking || dragValues_.type == kNotch) {
            const float edge = dragKind_ == DragKind::LeftEdge ? std::min(x, dragValues_.frequency)
                                                               : std::max(x, dragValues_.frequency);
            QFromEdge(edge, dragValues_.frequency, dragValues_.q);
        }
        break;
    case DragKind::BandArea:
        dragValues_.frequency = x;
        break;
    case DragKind::BandGain:
        dragValues_.gain = y;
        break;
    case DragKind::None:
        return;
    }
    PostDragging();
}

void VParametricFreqGraphView::PostDragging()
{
    if (auto* panel = qobject_cast<platform::Dialog*>(parentWidget())) {
        panel->Messages().Post(platform::MsgNotifyDragging(), 0, 0);
    }
}

void VParametricFreqGraphView::UpdateCursor(QPoint plotPoint)
{
    const Hit hit = HitTest(plotPoint);
    switch (hit.kind) {
    case DragKind::BandFrequencyGain:
        cursor_ = bands_[static_cast<std::size_t>(hit.band)].type == kNotch ? CursorShape::SizeWestEast
                                                                            : CursorShape::SizeAll;
        break;
    case DragKind::BandGain:
        cursor_ = CursorShape::SizeNorthSouth;
        break;
    case DragKind::LeftEdge:
    case DragKind::RightEdge:
        cursor_ = CursorShape::SizeWestEast;
        break;
    default:
        cursor_ = CursorShape::Arrow;
        break;
    }
    setCursor(QtCursorOf(cursor_));
}

void VParametricFreqGraphView::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton) {
        OnLeftButtonDown(event->position().toPoint(), event->globalPosition().toPoint());
    } else {
        OnGestureCancel();
    }
}

void VParametricFreqGraphView::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    OnPointerMove(event->position().toPoint(), event->globalPosition().toPoint());
}

void VParametricFreqGraphView::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton) {
        OnLeftButtonUp();
    } else {
        OnGestureCancel();
    }
}

void VParametricFreqGraphView::keyPressEvent(QKeyEvent* event)
{
    // Keys stay with the view rather than going to the panel (Enter and Escape there would
    // act on the panel's edits).
    event->accept();
    if (event->key() == Qt::Key_Escape) {
        OnGestureCancel();
    }
}

void VParametricFreqGraphView::focusInEvent(QFocusEvent* event)
{
    VFreqGraphView::focusInEvent(event);
    keyboardFocus_ = true;
    InvalidateCurves();
}

void VParametricFreqGraphView::focusOutEvent(QFocusEvent* event)
{
    VFreqGraphView::focusOutEvent(event);
    keyboardFocus_ = false;
    OnMouseLost();
    InvalidateCurves();
}

void VParametricFreqGraphView::hideEvent(QHideEvent* event)
{
    VFreqGraphView::hideEvent(event);
    OnMouseLost();
}

bool VParametricFreqGraphView::event(QEvent* event)
{
    if (event->type() == QEvent::UngrabMouse || event->type() == QEvent::WindowDeactivate) {
        OnMouseLost();
    }
    return VFreqGraphView::event(event);
}
