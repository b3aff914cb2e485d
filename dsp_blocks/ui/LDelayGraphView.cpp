#include "dsp_blocks/ui/LDelayGraphView.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "dsp_blocks/ui/DelayUnit.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/Dialog.h"
#include "platform/ui/drawing/SystemColors.h"
#include "resources/strings/StringFormat.h"

using platform::Canvas;
using platform::Rect;

namespace {

// The base layout's axes, which only size the rectangle a drag keeps the pointer in.
constexpr float kBaseX0 = -10.0f;
constexpr float kBaseX1 = 190.0f;
constexpr int kBaseXDivisions = 18;
constexpr float kBaseY0 = 1.0f;
constexpr float kBaseY1 = 4.0f;
constexpr int kBaseYDivisions = 4;

constexpr std::array<platform::ColorRef, 4> kRowColours{0x6060F0, 0x0080FF, 0x00F0F0, 0x00F000};

constexpr unsigned kLabelFlags =
    platform::TextFlag::kCenter | platform::TextFlag::kVCenter | platform::TextFlag::kSingleLine;

int Truncate(double value)
{
    return static_cast<int>(SafeCoordinate(value));
}

}  // namespace

LDelayGraphView::LDelayGraphView(QWidget* parent, std::size_t channelCount)
    : VGraphView(parent, kBaseX0, kBaseX1, kBaseXDivisions, kBaseY0, kBaseY1, kBaseYDivisions),
      rows_(channelCount),
      gesture_([this] { StartDrag(); })
{
    // A press that misses every handle must not take the focus; one on a handle takes it by
    // code.
    setFocusPolicy(Qt::NoFocus);
}

LDelayGraphView::~LDelayGraphView() = default;

void LDelayGraphView::SetRowY(std::size_t row, int y)
{
    if (row < rows_.size() && rows_[row].y != y) {
        rows_[row].y = y;
        staticLayerValid_ = false;
    }
}

void LDelayGraphView::SetValue(std::size_t row, float value)
{
    if (row < rows_.size() && rows_[row].value != value) {
        rows_[row].value = value;
        update();
    }
}

float LDelayGraphView::GetValue(std::size_t row) const
{
    return row < rows_.size() ? rows_[row].value : 0.0f;
}

void LDelayGraphView::SetScale(const DelayUnit& unit, float minimum, float maximum, float step)
{
    minimum_ = minimum;
    maximum_ = maximum;
    labelFormat_ = std::string(unit.graphLabelFormat);
    automaticStep_ = step == 0.0f;
    step_ = step;
    staticLayerValid_ = false;
    update();
}

int LDelayGraphView::TextHeight() const
{
    if (textHeight_ < 0) {
        textHeight_ = TextSize(kMeasureText).height();
    }
    return textHeight_;
}

LDelayGraphView::Geometry LDelayGraphView::ComputeGeometry() const
{
    const int textHeight = TextHeight();
    const Rect client{0, 0, width(), height()};
    Geometry geometry;
    geometry.plot = Rect{client.left + kMarginLeft, client.top + kMarginTop, client.right - kMarginRight,
                         client.bottom - kMarginBottom - kLabelGap - textHeight};
    geometry.labelStrip = Rect{client.left, client.bottom - kMarginBottom - textHeight, client.right,
                               client.bottom - kMarginBottom};
    geometry.trackLeft = client.left + kMarginLeft + kTrackInsetLeft;
    geometry.trackRight = client.right - kMarginRight - kTrackInsetRight;
    return geometry;
}

int LDelayGraphView::ValueToX(float value) const
{
    const Geometry geometry = ComputeGeometry();
    const double span = static_cast<double>(maximum_) - minimum_;
    if (!(span != 0.0) || !std::isfinite(span)) {
        return geometry.trackLeft;
    }
    return Truncate((geometry.trackLeft * (static_cast<double>(maximum_) - value) +
                     geometry.trackRight * (static_cast<double>(value) - minimum_)) /
                    span);
}

float LDelayGraphView::XToValue(int x) const
{
    const Geometry geometry = ComputeGeometry();
    if (geometry.trackRight <= geometry.trackLeft) {
        return minimum_;
    }
    const int clamped = std::clamp(x, geometry.trackLeft, geometry.trackRight);
    return static_cast<float>((static_cast<double>(clamped - geometry.trackLeft) * maximum_ +
                               static_cast<double>(geometry.trackRight - clamped) * minimum_) /
                              (geometry.trackRight - geometry.trackLeft));
}

float LDelayGraphView::AutomaticStep(const Geometry& geometry) const
{
    const int labelWidth = std::max(1, TextSize(FormatString(labelFormat_, maximum_)).width());
    // At least one division, however narrow the track: the step then spans the scale.
    const int divisions = std::max(1, (geometry.trackRight - geometry.trackLeft) / labelWidth);
    const double raw = (static_cast<double>(maximum_) - minimum_) / divisions;
    if (!std::isfinite(raw) || raw <= 0.0) {
        return 0.0f;
    }
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    return static_cast<float>(raw / power < 5.0 ? 5.0 * power : 10.0 * power);
}

float LDelayGraphView::Step() const
{
    const float step = automaticStep_ ? AutomaticStep(ComputeGeometry()) : step_;
    const double lines = (static_cast<double>(maximum_) - minimum_) / step;
    if (!std::isfinite(step) || step <= 0.0f || !std::isfinite(lines) || lines > kMaxGridLines) {
        return 0.0f;
    }
    return step;
}

int LDelayGraphView::HitTest(QPoint point) const
{
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const int x = ValueToX(rows_[row].value);
        const int y = rows_[row].y;
        const Rect handle{x - kHandleHalfWidth, y - kHandleHalfHeight, x + kHandleHalfWidth, y + kHandleHalfHeight};
        if (handle.Contains(point.x(), point.y())) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

platform::ColorRef LDelayGraphView::RowColour(std::size_t row)
{
    return row < kRowColours.size() ? kRowColours[row] : 0x000000;
}

void LDelayGraphView::Layout(const Rect& rect)
{
    ComputeLayout(rect);
    staticLayerValid_ = false;
}

void LDelayGraphView::BuildStaticLayer(const Geometry& geometry)
{
    staticLayer_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    staticLayer_.fill(Qt::transparent);
    staticLayerValid_ = true;
    if (staticLayer_.isNull()) {
        return;
    }
    Canvas canvas(staticLayer_);
    canvas.SelectFont(font());
    canvas.FillSolidRect(geometry.plot, platform::SysColor::kButtonFace);
    const float step = Step();
    std::vector<float> values;
    if (step > 0.0f) {
        for (int k = 0;; ++k) {
            const float value = minimum_ + static_cast<float>(k) * step;
            if (!(value <= maximum_)) {
                break;
            }
            values.push_back(value);
        }
    }
    canvas.SelectPen(platform::SolidPen(kGridColour));
    for (float value : values) {
        const int x = ValueToX(value);
        canvas.MoveTo(x, geometry.plot.top);
        canvas.LineTo(x, geometry.plot.bottom);
    }
    canvas.SelectPen(platform::SolidPen(0x000000, kTrackWidth));
    for (const DelayRow& row : rows_) {
        canvas.MoveTo(geometry.plot.left, row.y);
        canvas.LineTo(geometry.plot.right, row.y);
    }
    canvas.SetBkMode(platform::BackgroundMode::Transparent);
    canvas.SetTextColor(0x000000);
    for (float value : values) {
        const std::string text = FormatString(labelFormat_, value);
        const int textWidth = canvas.TextExtent(QString::fromStdString(text)).width();
        const int x = ValueToX(value);
        const int left = x - textWidth / 2;
        Rect cell{left, geometry.labelStrip.top, left + textWidth, geometry.labelStrip.bottom};
        canvas.DrawText(text, cell, kLabelFlags);
    }
}

void LDelayGraphView::DrawHandles(Canvas& canvas) const
{
    canvas.SelectPen(platform::StockPen::kBlack);
    canvas.SetBkMode(platform::BackgroundMode::Transparent);
    canvas.SetTextColor(0x000000);
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const int x = ValueToX(rows_[row].value);
        const int y = rows_[row].y;
        const std::array<QPoint, 6> outline{
            QPoint(x, y - kHandleBoxHalfHeight),
            QPoint(x + kHandleHalfWidth, y - kHandleHalfHeight),
            QPoint(x + kHandleHalfWidth, y + kHandleHalfHeight),
            QPoint(x, y + kHandleBoxHalfHeight),
            QPoint(x - kHandleHalfWidth, y + kHandleBoxHalfHeight),
            QPoint(x - kHandleHalfWidth, y - kHandleBoxHalfHeight),
        };
        canvas.SelectBrush(platform::SolidBrush(RowColour(row)));
        canvas.Polygon(outline);
        Rect cell{x - kHandleHalfWidth, y - kHandleHalfHeight, x + kHandleHalfWidth, y + kHandleHalfHeight};
        canvas.DrawText(FormatString("%u", static_cast<unsigned>(row + 1)), cell, kLabelFlags);
    }
}

void LDelayGraphView::paintEvent(QPaintEvent*)
{
    const Geometry geometry = ComputeGeometry();
    if (!staticLayerValid_ || staticLayer_.size() != size()) {
        BuildStaticLayer(geometry);
    }
    if (staticLayer_.isNull()) {
        return;
    }
    if (backBuffer_.size() != staticLayer_.size()) {
        backBuffer_ = QImage(staticLayer_.size(), QImage::Format_ARGB32_Premultiplied);
    }
    {
        QPainter copy(&backBuffer_);
        copy.setCompositionMode(QPainter::CompositionMode_Source);
        copy.drawImage(0, 0, staticLayer_);
    }
    {
        Canvas canvas(backBuffer_);
        canvas.SelectFont(font());
        DrawHandles(canvas);
    }
    QPainter painter(this);
    for (const Rect& area : {geometry.plot, geometry.labelStrip}) {
        if (!area.IsEmpty()) {
            const QRect region = area.ToQRect();
            painter.drawImage(region, backBuffer_, region);
        }
    }
}

void LDelayGraphView::Notify(std::uintptr_t code, std::size_t row)
{
    if (auto* panel = qobject_cast<platform::Dialog*>(parentWidget())) {
        panel->Messages().Post(platform::MsgNotifyChanged(), code, static_cast<std::intptr_t>(row));
    }
}

void LDelayGraphView::mousePressEvent(QMouseEvent* event)
{
    const Qt::MouseButton button = event->button();
    if (button != Qt::LeftButton && button != Qt::RightButton) {
        return;
    }
    if (gesture_.IsWaiting()) {
        gesture_.Cancel();
        return;
    }
    if (dragRow_ >= 0) {
        if (button == Qt::RightButton) {
            CancelDrag();
        }
        return;
    }
    if (button != Qt::LeftButton) {
        return;
    }
    const QPoint point = event->position().toPoint();
    pressedRow_ = HitTest(point);
    if (pressedRow_ >= 0) {
        // The focus comes first, so that Escape in the wait reaches the view and cancels
        // it instead of going to whichever control had the focus.
        setFocus(Qt::MouseFocusReason);
        gesture_.Begin(point);
    }
}

void LDelayGraphView::StartDrag()
{
    if (pressedRow_ < 0 || static_cast<std::size_t>(pressedRow_) >= rows_.size()) {
        return;
    }
    // The pointer is kept in the base's plot rectangle, laid out for the present size.
    if (OuterRect() != Rect{0, 0, width(), height()}) {
        Layout(Rect{0, 0, width(), height()});
    }
    const QPoint press = gesture_.PressPoint();
    const DelayRow& row = rows_[static_cast<std::size_t>(pressedRow_)];
    dragRow_ = pressedRow_;
    dragStartValue_ = row.value;
    grabOffset_ = QPoint(ValueToX(row.value), row.y) - press;
    lastX_ = press.x();
}

void LDelayGraphView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (gesture_.IsWaiting()) {
        gesture_.OnMove(point);
        return;
    }
    if (dragRow_ < 0) {
        return;
    }
    const QPoint confined = ConfinePoint(point);
    if (confined.x() == lastX_) {
        return;
    }
    rows_[static_cast<std::size_t>(dragRow_)].value = XToValue(confined.x() + grabOffset_.x());
    update();
    lastX_ = confined.x();
    Notify(1, static_cast<std::size_t>(dragRow_));
}

void LDelayGraphView::mouseReleaseEvent(QMouseEvent* event)
{
    const Qt::MouseButton button = event->button();
    if (gesture_.IsWaiting() && (button == Qt::LeftButton || button == Qt::RightButton)) {
        gesture_.Cancel();
        return;
    }
    if (button != Qt::LeftButton || dragRow_ < 0) {
        return;
    }
    const QPoint confined = ConfinePoint(event->position().toPoint());
    const auto row = static_cast<std::size_t>(dragRow_);
    rows_[row].value = XToValue(confined.x() + grabOffset_.x());
    Notify(0, row);
    EndDrag();
    update();
}

void LDelayGraphView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape) {
        VGraphView::keyPressEvent(event);
        return;
    }
    if (gesture_.IsWaiting()) {
        gesture_.Cancel();
        pressedRow_ = -1;
    } else if (dragRow_ >= 0) {
        CancelDrag();
    }
    event->accept();
}

void LDelayGraphView::focusOutEvent(QFocusEvent* event)
{
    VGraphView::focusOutEvent(event);
    // Keys no longer reach the view, so a wait it could not cancel ends here.
    if (gesture_.IsWaiting()) {
        gesture_.Cancel();
        pressedRow_ = -1;
    } else if (dragRow_ >= 0) {
        CancelDrag();
    }
}

void LDelayGraphView::CancelDrag()
{
    const auto row = static_cast<std::size_t>(dragRow_);
    rows_[row].value = dragStartValue_;
    Notify(1, row);
    EndDrag();
    update();
}

void LDelayGraphView::EndDrag()
{
    dragRow_ = -1;
    pressedRow_ = -1;
}
