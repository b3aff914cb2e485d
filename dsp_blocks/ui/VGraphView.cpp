#include "dsp_blocks/ui/VGraphView.h"

#include <algorithm>
#include <cmath>

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include "platform/ui/core/ControlIds.h"
#include "platform/ui/drawing/SystemColors.h"
#include "platform/ui/drawing/UiFonts.h"
#include "resources/strings/StringFormat.h"

using platform::BackgroundMode;
using platform::Canvas;
using platform::ColorRef;
using platform::Rect;

namespace {

// Far enough outside any plot to be clipped, small enough for every pixel routine.
constexpr double kFarCoordinate = 1.0e6;

int Truncate(double value)
{
    return static_cast<int>(SafeCoordinate(value));
}

}  // namespace

double SafeCoordinate(double value)
{
    if (std::isnan(value)) {
        return kFarCoordinate;
    }
    return std::clamp(value, -kFarCoordinate, kFarCoordinate);
}

VGraphView::VGraphView(QWidget* parent, float x0, float x1, int xDivisions, float y0, float y1, int yDivisions)
    : QWidget(parent), x0_(x0), x1_(x1), xDivisions_(xDivisions), y0_(y0), y1_(y1), yDivisions_(yDivisions)
{
    platform::SetControlId(this, kControlId);
    platform::SetWindowText(this, kCaption);
    setFont(platform::DefaultGuiFont());
    setGeometry(0, 0, kInitialSize, kInitialSize);
    // The labels lie on the panel's own background; only the plot is opaque.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

VGraphView::~VGraphView() = default;

void VGraphView::Layout(const Rect& rect)
{
    ComputeLayout(rect);
    BuildBuffers();
}

QSize VGraphView::TextSize(const std::string& text) const
{
    static QImage scratch(1, 1, QImage::Format_RGB32);
    Canvas canvas(scratch);
    canvas.SelectFont(font());
    return canvas.TextExtent(QString::fromStdString(text));
}

std::string VGraphView::YLabelText(float value) const
{
    const float step = yDivisions_ != 0 ? (y1_ - y0_) / static_cast<float>(yDivisions_) : 0.0f;
    if (step >= 1.0f) {
        return FormatString("  %d", static_cast<int>(SafeCoordinate(value)));
    }
    return FormatString(step >= 0.5f ? "%.1f" : "%.2f", value);
}

std::string VGraphView::XLabelText(float value)
{
    return FormatString("%d", static_cast<int>(SafeCoordinate(value)));
}

void VGraphView::ComputeLayout(const Rect& rect)
{
    plotRect_ = rect;
    outerRect_ = rect;
    // The drawn labels are measured (their whole-number form included), so the space left of
    // the plot fits what is shown.
    const int labelWidth = std::max(TextSize(YLabelText(y1_)).width(), TextSize(YLabelText(y0_)).width());
    // The top label is centred on the plot's top edge; half a line above it must stay inside.
    plotRect_.top += std::max(kTopMargin, (TextSize("0").height() + 1) / 2);
    plotRect_.left += labelWidth + kYLabelGap;
    const QSize x1Label = TextSize(XLabelText(x1_));
    plotRect_.right -= x1Label.width() / 2;
    plotRect_.bottom -= x1Label.height() + kXLabelGap;
    xScale_ = x1_ != x0_ ? static_cast<float>(plotRect_.Width()) / (x1_ - x0_) : 0.0f;
    yScale_ = y1_ != y0_ ? static_cast<float>(plotRect_.Height()) / (y1_ - y0_) : 0.0f;
}

void VGraphView::BuildBuffers()
{
    laidOut_ = true;
    const int width = std::max(0, plotRect_.Width());
    const int height = std::max(0, plotRect_.Height());
    background_ = QImage(width, height, QImage::Format_RGB32);
    backBuffer_ = QImage(width, height, QImage::Format_RGB32);
    if (width > 0 && height > 0) {
        background_.fill(platform::ToQColor(platform::SysColor::kButtonFace));
        Canvas canvas(background_);
        // Client coordinates land in the plot-sized image.
        canvas.Painter().translate(-plotRect_.left, -plotRect_.top);
        DrawBackground(canvas, kPlotFill, kMajorGridColour, kMinorGridColour, false);
    }
    const int outerWidth = std::max(0, outerRect_.right);
    const int outerHeight = std::max(0, outerRect_.bottom);
    labelLayer_ = QImage(outerWidth, outerHeight, QImage::Format_ARGB32_Premultiplied);
    labelLayer_.fill(Qt::transparent);
    if (outerWidth > 0 && outerHeight > 0) {
        Canvas canvas(labelLayer_);
        canvas.SelectFont(font());
        DrawLabels(canvas, kLabelColour, BackgroundMode::Transparent);
    }
}

void VGraphView::DrawBackground(Canvas& canvas, ColorRef fill, ColorRef majorColour, ColorRef minorColour,
                                bool gridOnly)
{
    if (!gridOnly) {
        canvas.FillSolidRect(plotRect_, fill);
        canvas.Draw3dRect(plotRect_, kFrameShadow, kFrameLight);
    }
    DrawGrid(canvas, majorColour, minorColour);
}

int VGraphView::YLinePixel(int j) const
{
    const float step = yDivisions_ != 0 ? static_cast<float>(plotRect_.Height()) / static_cast<float>(yDivisions_) : 0.0f;
    float y = static_cast<float>(plotRect_.bottom);
    for (int i = 0; i < j; ++i) {
        y -= step;
    }
    return Truncate(y);
}

void VGraphView::DrawGrid(Canvas& canvas, ColorRef majorColour, ColorRef)
{
    const platform::Pen previous = canvas.SelectPen(platform::SolidPen(majorColour));
    for (int i = 1; i < xDivisions_; ++i) {
        const int x = plotRect_.left + Truncate(static_cast<double>(i) * plotRect_.Width() / xDivisions_);
        canvas.MoveTo(x, plotRect_.bottom - 2);
        canvas.LineTo(x, plotRect_.top + 1);
    }
    DrawYGridLines(canvas);
    canvas.SelectPen(previous);
}

void VGraphView::DrawYGridLines(Canvas& canvas) const
{
    for (int j = 1; j < yDivisions_; ++j) {
        const int y = YLinePixel(j);
        canvas.MoveTo(plotRect_.left, y);
        canvas.LineTo(plotRect_.right - 1, y);
    }
}

void VGraphView::DrawLabelText(Canvas& canvas, const std::string& text, Rect cell, unsigned flags)
{
    canvas.DrawText(text, cell, flags);
}

void VGraphView::DrawCentredLabel(Canvas& canvas, const std::string& text, int x, int top)
{
    const QSize size = canvas.TextExtent(QString::fromStdString(text));
    DrawLabelText(canvas, text, Rect{x - size.width(), top, x + size.width(), top + size.height()},
                  platform::TextFlag::kCenter | platform::TextFlag::kSingleLine | platform::TextFlag::kNoClip);
}

void VGraphView::DrawYLabels(Canvas& canvas, int right)
{
    const float step = yDivisions_ != 0 ? (y1_ - y0_) / static_cast<float>(yDivisions_) : 0.0f;
    const int height = canvas.LineHeight();
    for (int j = 0; j <= yDivisions_; ++j) {
        const int y = YLinePixel(j);
        const Rect cell{outerRect_.left, y - height, right, y + height};
        DrawLabelText(canvas, YLabelText(y0_ + static_cast<float>(j) * step), cell,
                      platform::TextFlag::kRight | platform::TextFlag::kVCenter | platform::TextFlag::kSingleLine);
    }
}

Rect VGraphView::DrawLabels(Canvas& canvas, ColorRef textColour, BackgroundMode mode)
{
    const BackgroundMode oldMode = canvas.SetBkMode(mode);
    const ColorRef oldColour = canvas.SetTextColor(textColour);
    const ColorRef oldBackground = canvas.BkColor();
    if (mode == BackgroundMode::Opaque) {
        canvas.SetBkColor(platform::SysColor::kButtonFace);
    }
    DrawXLabels(canvas, plotRect_.bottom + 1);
    const int halfX0 = canvas.TextExtent(QString::fromStdString(XLabelText(x0_))).width() / 2;
    DrawYLabels(canvas, plotRect_.left - halfX0 - 2);
    canvas.SetTextColor(oldColour);
    canvas.SetBkMode(oldMode);
    if (mode == BackgroundMode::Opaque) {
        canvas.SetBkColor(oldBackground);
    }
    return outerRect_;
}

void VGraphView::DrawXLabels(Canvas& canvas, int top)
{
    for (int i = 0; i <= xDivisions_ && xDivisions_ > 0; ++i) {
        const float value = x0_ + (x1_ - x0_) * static_cast<float>(i) / static_cast<float>(xDivisions_);
        const int x = plotRect_.left + Truncate(static_cast<double>(i) * plotRect_.Width() / xDivisions_);
        DrawCentredLabel(canvas, XLabelText(value), x, top);
    }
}

bool VGraphView::IsBackBuffer(const Canvas& canvas) const
{
    return canvas.TargetImage() == &backBuffer_;
}

int VGraphView::XToPixel(bool inBackBuffer, float x) const
{
    const int offset = inBackBuffer ? 0 : plotRect_.left;
    return Truncate((static_cast<double>(x) - x0_) * xScale_) + offset;
}

int VGraphView::YToPixel(float y) const
{
    if (y <= y0_) {
        return plotRect_.bottom - plotRect_.top - 1;
    }
    return plotRect_.bottom - Truncate((static_cast<double>(y) - y0_) * yScale_) - plotRect_.top;
}

QPointF VGraphView::ValueToPoint(bool inBackBuffer, float x, float y) const
{
    double px = (static_cast<double>(x) - x0_) * xScale_;
    double py = plotRect_.Height() - (static_cast<double>(y) - y0_) * yScale_;
    if (!inBackBuffer) {
        px += plotRect_.left;
        py += plotRect_.top;
    }
    return QPointF(SafeCoordinate(px), SafeCoordinate(py));
}

void VGraphView::PixelToValue(int px, int py, float& x, float& y) const
{
    if (px <= plotRect_.right && xScale_ != 0.0f) {
        x = x0_ + static_cast<float>(px - plotRect_.left) / xScale_;
    } else {
        x = x1_;
    }
    if (py >= plotRect_.bottom) {
        y = y0_;
    } else if (py > plotRect_.top && yScale_ != 0.0f) {
        y = y0_ + static_cast<float>(plotRect_.bottom - py) / yScale_;
    } else {
        y = y1_;
    }
}

void VGraphView::DrawCurves(Canvas&) {}

bool VGraphView::CanDraw() const
{
    return true;
}

std::size_t VGraphView::Recompute()
{
    return 0;
}

void VGraphView::RenderBackBuffer()
{
    if (!laidOut_) {
        Layout(Rect{0, 0, width(), height()});
    }
    if (backBuffer_.isNull()) {
        return;
    }
    Canvas canvas(backBuffer_);
    canvas.DrawImage(0, 0, background_);
    if (CanDraw()) {
        // Curves stay inside the frame, however far their values lie outside the axes.
        canvas.SetClipRect(Rect{1, 1, backBuffer_.width() - 1, backBuffer_.height() - 1});
        DrawCurves(canvas);
    }
}

void VGraphView::PaintTo(QPainter& painter, const QRect& exposed) const
{
    if (!backBuffer_.isNull()) {
        painter.drawImage(plotRect_.left, plotRect_.top, backBuffer_);
    }
    if (!labelLayer_.isNull() && !plotRect_.ToQRect().contains(exposed)) {
        const QRect area = exposed.intersected(labelLayer_.rect());
        painter.drawImage(area, labelLayer_, area);
    }
}

void VGraphView::InvalidateCurves()
{
    update(plotRect_.ToQRect());
}

QPoint VGraphView::ConfinePoint(QPoint clientPoint) const
{
    if (plotRect_.IsEmpty()) {
        return clientPoint;
    }
    return QPoint(std::clamp(clientPoint.x(), plotRect_.left, plotRect_.right - 1),
                  std::clamp(clientPoint.y(), plotRect_.top, plotRect_.bottom - 1));
}

void VGraphView::paintEvent(QPaintEvent* event)
{
    Recompute();
    RenderBackBuffer();
    QPainter painter(this);
    PaintTo(painter, event->rect());
}

void VGraphView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Layout(Rect{0, 0, width(), height()});
}
