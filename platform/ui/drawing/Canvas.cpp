#include "platform/ui/drawing/Canvas.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QBrush>
#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QStringList>
#include <QTransform>

#include "platform/ui/drawing/SystemColors.h"
#include "platform/ui/drawing/UiFonts.h"

namespace platform {

namespace {

int StepChannel(int start, int end, int i, int n)
{
    return start + (end - start) * i / (n - 1);
}

}  // namespace

QColor ToQColor(ColorRef colour)
{
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

ColorRef FromQColor(const QColor& colour)
{
    return Rgb(colour.red(), colour.green(), colour.blue());
}

ColorRef GradientStep(ColorRef start, ColorRef end, int i, int n)
{
    if (n <= 1 || i <= 0) {
        return start;
    }
    if (i >= n - 1) {
        return end;
    }
    return Rgb(StepChannel(RedOf(start), RedOf(end), i, n), StepChannel(GreenOf(start), GreenOf(end), i, n),
               StepChannel(BlueOf(start), BlueOf(end), i, n));
}

Canvas::Canvas(QImage& target)
    : m_ownedPainter(std::make_unique<QPainter>(&target)), m_painter(m_ownedPainter.get()), m_image(&target)
{
    m_state.font = DefaultGuiFont();
    m_painter->setFont(m_state.font);
    m_painter->setRenderHint(QPainter::TextAntialiasing, true);
    ApplyRenderMode();
}

Canvas::Canvas(QPainter& painter) : m_painter(&painter)
{
    m_painter->save();
    if (QPaintDevice* device = m_painter->device(); device != nullptr && device->devType() == QInternal::Image) {
        m_image = static_cast<QImage*>(device);
    }
    m_state.font = WithPixelSize(m_painter->font());
    m_painter->setFont(m_state.font);
    m_painter->setRenderHint(QPainter::TextAntialiasing, true);
    ApplyRenderMode();
}

Canvas::~Canvas()
{
    while (!m_saved.empty()) {
        Restore();
    }
    if (m_ownedPainter) {
        m_ownedPainter->end();
    } else {
        m_painter->restore();
    }
}

bool Canvas::DeviceOffset(QPoint& offset) const
{
    const QTransform transform = m_painter->deviceTransform();
    if (transform.type() > QTransform::TxTranslate) {
        return false;
    }
    const double dx = transform.dx();
    const double dy = transform.dy();
    if (dx != std::floor(dx) || dy != std::floor(dy)) {
        return false;
    }
    offset = QPoint(static_cast<int>(dx), static_cast<int>(dy));
    return true;
}

Pen Canvas::SelectPen(const Pen& pen)
{
    return std::exchange(m_state.pen, pen);
}

Brush Canvas::SelectBrush(const Brush& brush)
{
    return std::exchange(m_state.brush, brush);
}

QFont Canvas::SelectFont(const QFont& font)
{
    QFont previous = std::exchange(m_state.font, WithPixelSize(font));
    m_painter->setFont(m_state.font);
    return previous;
}

ColorRef Canvas::SetTextColor(ColorRef colour)
{
    return std::exchange(m_state.textColour, colour);
}

ColorRef Canvas::SetBkColor(ColorRef colour)
{
    return std::exchange(m_state.bkColour, colour);
}

BackgroundMode Canvas::SetBkMode(BackgroundMode mode)
{
    return std::exchange(m_state.bkMode, mode);
}

DrawMode Canvas::SetDrawMode(DrawMode mode)
{
    DrawMode previous = std::exchange(m_state.drawMode, mode);
    ApplyRenderMode();
    return previous;
}

void Canvas::Save()
{
    m_saved.push_back(m_state);
    m_painter->save();
}

void Canvas::Restore()
{
    if (m_saved.empty()) {
        return;
    }
    m_painter->restore();
    m_state = m_saved.back();
    m_saved.pop_back();
    m_painter->setFont(m_state.font);
    ApplyRenderMode();
}

void Canvas::SetClipRect(const Rect& rect)
{
    m_painter->setClipRect(rect.IsEmpty() ? QRect() : rect.ToQRect(), Qt::ReplaceClip);
}

void Canvas::IntersectClipRect(const Rect& rect)
{
    if (!m_painter->hasClipping()) {
        SetClipRect(rect);
        return;
    }
    m_painter->setClipRect(rect.IsEmpty() ? QRect() : rect.ToQRect(), Qt::IntersectClip);
}

void Canvas::RemoveClip()
{
    m_painter->setClipping(false);
}

void Canvas::FillSolidRect(const Rect& rect, ColorRef colour)
{
    if (rect.IsEmpty()) {
        return;
    }
    m_painter->fillRect(rect.ToQRect(), ToQColor(colour));
}

void Canvas::FillRect(const Rect& rect, const Brush& brush)
{
    if (!brush.hollow) {
        FillSolidRect(rect, brush.colour);
    }
}

void Canvas::FrameRect(const Rect& rect, const Brush& brush)
{
    if (brush.hollow || rect.IsEmpty()) {
        return;
    }
    FillSolidRect(Rect{rect.left, rect.top, rect.right, rect.top + 1}, brush.colour);
    FillSolidRect(Rect{rect.left, rect.bottom - 1, rect.right, rect.bottom}, brush.colour);
    FillSolidRect(Rect{rect.left, rect.top, rect.left + 1, rect.bottom}, brush.colour);
    FillSolidRect(Rect{rect.right - 1, rect.top, rect.right, rect.bottom}, brush.colour);
}

void Canvas::GradientFill(const Rect& rect, ColorRef start, ColorRef end, GradientDirection direction)
{
    if (rect.IsEmpty()) {
        return;
    }
    if (direction == GradientDirection::Vertical) {
        const int n = rect.Height();
        for (int i = 0; i < n; ++i) {
            FillSolidRect(Rect{rect.left, rect.top + i, rect.right, rect.top + i + 1}, GradientStep(start, end, i, n));
        }
    } else {
        const int n = rect.Width();
        for (int i = 0; i < n; ++i) {
            FillSolidRect(Rect{rect.left + i, rect.top, rect.left + i + 1, rect.bottom}, GradientStep(start, end, i, n));
        }
    }
}

void Canvas::ApplyRenderMode()
{
    m_painter->setRenderHint(QPainter::Antialiasing, m_state.drawMode == DrawMode::AntiAliased);
}

void Canvas::ApplyPen(int minimumWidth)
{
    const Pen& pen = m_state.pen;
    if (pen.style == PenStyle::Null) {
        m_painter->setPen(Qt::NoPen);
        return;
    }
    QPen qpen(ToQColor(pen.colour));
    const int width = std::max({pen.width, minimumWidth, 1});
    qpen.setWidth(width);
    if (width == 1) {
        // A flat end leaves out the last pixel of an aliased line, as line drawing must.
        qpen.setCapStyle(Qt::FlatCap);
        qpen.setJoinStyle(Qt::MiterJoin);
    } else {
        qpen.setCapStyle(Qt::RoundCap);
        qpen.setJoinStyle(Qt::RoundJoin);
    }
    if (pen.style == PenStyle::Dot) {
        qpen.setDashPattern({1.0, 1.0});
    }
    m_painter->setPen(qpen);
}

void Canvas::ApplyBrush()
{
    if (m_state.brush.hollow) {
        m_painter->setBrush(Qt::NoBrush);
    } else {
        m_painter->setBrush(ToQColor(m_state.brush.colour));
    }
}

void Canvas::Rectangle(const Rect& rect)
{
    if (rect.IsEmpty()) {
        return;
    }
    const Pen& pen = m_state.pen;
    if (pen.style == PenStyle::Null) {
        FillRect(rect, m_state.brush);
        return;
    }
    if (pen.style == PenStyle::Solid && pen.width <= 1) {
        FillRect(rect.Deflated(1, 1), m_state.brush);
        FrameRect(rect, SolidBrush(pen.colour));
        return;
    }
    if (pen.width <= 1 && m_state.drawMode == DrawMode::Integer) {
        FillRect(rect.Deflated(1, 1), m_state.brush);
        const QPoint corners[] = {{rect.left, rect.top}, {rect.right - 1, rect.top}, {rect.right - 1, rect.bottom - 1},
                                  {rect.left, rect.bottom - 1}, {rect.left, rect.top}};
        Polyline(corners);
        return;
    }
    ApplyPen();
    ApplyBrush();
    if (m_state.drawMode == DrawMode::AntiAliased) {
        m_painter->drawRect(QRectF(rect.left + 0.5, rect.top + 0.5, rect.Width() - 1, rect.Height() - 1));
    } else {
        m_painter->drawRect(QRect(rect.left, rect.top, rect.Width() - 1, rect.Height() - 1));
    }
}

void Canvas::Ellipse(const Rect& rect)
{
    if (rect.IsEmpty()) {
        return;
    }
    ApplyPen();
    ApplyBrush();
    if (m_state.drawMode == DrawMode::AntiAliased) {
        m_painter->drawEllipse(QRectF(rect.left + 0.5, rect.top + 0.5, rect.Width() - 1, rect.Height() - 1));
    } else {
        m_painter->drawEllipse(QRect(rect.left, rect.top, rect.Width() - 1, rect.Height() - 1));
    }
}

void Canvas::Polygon(std::span<const QPoint> points)
{
    if (points.size() < 2) {
        return;
    }
    ApplyPen();
    ApplyBrush();
    if (m_state.drawMode == DrawMode::AntiAliased) {
        std::vector<QPointF> centred;
        centred.reserve(points.size());
        for (const QPoint& point : points) {
            centred.push_back(QPointF(point) + QPointF(0.5, 0.5));
        }
        m_painter->drawPolygon(centred.data(), static_cast<int>(centred.size()));
        return;
    }
    // Fill first, then the outline edge by edge, so every vertex is drawn as line drawing
    // draws it (each edge from its start, the closing edge back to the first point).
    m_painter->setPen(Qt::NoPen);
    m_painter->drawPolygon(points.data(), static_cast<int>(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) {
        DrawLineWithoutEnd(points[i], points[(i + 1) % points.size()]);
    }
}

void Canvas::MoveTo(int x, int y)
{
    m_state.position = QPoint(x, y);
}

void Canvas::LineTo(int x, int y)
{
    DrawLineWithoutEnd(m_state.position, QPoint(x, y));
    m_state.position = QPoint(x, y);
}

void Canvas::DrawLineWithoutEnd(QPoint from, QPoint to)
{
    const Pen& pen = m_state.pen;
    if (from == to || pen.style == PenStyle::Null) {
        return;
    }
    if (m_state.drawMode == DrawMode::AntiAliased || pen.width > 1) {
        const QPointF half = m_state.drawMode == DrawMode::AntiAliased ? QPointF(0.5, 0.5) : QPointF(0.0, 0.0);
        ApplyPen();
        m_painter->drawLine(QPointF(from) + half, QPointF(to) + half);
        return;
    }
    // Thin integer lines are stepped here rather than by the toolkit, which leaves out the
    // pixel at the far end of its own drawing order instead of the line's end point.
    const bool dotted = pen.style == PenStyle::Dot;
    const bool fillGaps = dotted && m_state.bkMode == BackgroundMode::Opaque;
    const QColor ink = ToQColor(pen.colour);
    const QColor gap = ToQColor(m_state.bkColour);
    const int dx = std::abs(to.x() - from.x());
    const int dy = std::abs(to.y() - from.y());
    const int stepX = to.x() > from.x() ? 1 : -1;
    const int stepY = to.y() > from.y() ? 1 : -1;
    const bool xMajor = dx >= dy;
    const int count = xMajor ? dx : dy;
    // Pixels in a row along the major axis with the same minor coordinate form one run.
    QPoint runStart = from;
    int runLength = 0;
    auto flush = [&](const QColor& colour) {
        if (runLength == 0) {
            return;
        }
        const QPoint runEnd = xMajor ? runStart + QPoint(stepX * (runLength - 1), 0)
                                     : runStart + QPoint(0, stepY * (runLength - 1));
        m_painter->fillRect(QRect(QPoint(std::min(runStart.x(), runEnd.x()), std::min(runStart.y(), runEnd.y())),
                                  QPoint(std::max(runStart.x(), runEnd.x()), std::max(runStart.y(), runEnd.y()))),
                            colour);
        runLength = 0;
    };
    int error = (xMajor ? dx : dy) / 2;
    QPoint pixel = from;
    for (int i = 0; i < count; ++i) {
        if (dotted) {
            if (i % 2 == 0 || fillGaps) {
                m_painter->fillRect(QRect(pixel, QSize(1, 1)), i % 2 == 0 ? ink : gap);
            }
        } else {
            if (runLength == 0) {
                runStart = pixel;
            }
            ++runLength;
        }
        // Step along the major axis; the minor axis moves when the error crosses zero.
        error -= xMajor ? dy : dx;
        const bool minorStep = error < 0;
        if (minorStep) {
            error += xMajor ? dx : dy;
        }
        if (minorStep && !dotted) {
            flush(ink);
        }
        pixel += xMajor ? QPoint(stepX, minorStep ? stepY : 0) : QPoint(minorStep ? stepX : 0, stepY);
    }
    flush(ink);
}

void Canvas::Polyline(std::span<const QPoint> points)
{
    for (std::size_t i = 1; i < points.size(); ++i) {
        DrawLineWithoutEnd(points[i - 1], points[i]);
    }
}

void Canvas::PolylineF(std::span<const QPointF> points)
{
    if (points.size() < 2 || m_state.pen.style == PenStyle::Null) {
        return;
    }
    if (m_state.drawMode == DrawMode::Integer) {
        std::vector<QPoint> whole;
        whole.reserve(points.size());
        for (const QPointF& point : points) {
            whole.emplace_back(static_cast<int>(point.x()), static_cast<int>(point.y()));
        }
        Polyline(whole);
        return;
    }
    ApplyPen();
    QPen pen = m_painter->pen();
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    m_painter->setPen(pen);
    // Pixel centres lie on whole coordinates for this drawing, half a pixel off Qt's own.
    m_painter->save();
    m_painter->translate(0.5, 0.5);
    m_painter->drawPolyline(points.data(), static_cast<int>(points.size()));
    m_painter->restore();
}

void Canvas::Draw3dRect(const Rect& rect, ColorRef topLeft, ColorRef bottomRight)
{
    const int x = rect.left;
    const int y = rect.top;
    const int cx = rect.Width();
    const int cy = rect.Height();
    FillSolidRect(RectFromSize(x, y, cx - 1, 1), topLeft);
    FillSolidRect(RectFromSize(x, y, 1, cy - 1), topLeft);
    FillSolidRect(RectFromSize(x + cx - 1, y, 1, cy), bottomRight);
    FillSolidRect(RectFromSize(x, y + cy - 1, cx, 1), bottomRight);
}

void Canvas::DrawFocusRect(const Rect& rect)
{
    if (rect.IsEmpty()) {
        return;
    }
    m_painter->save();
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    m_painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    QBrush dots(Qt::white, Qt::Dense4Pattern);
    // The pattern marks pixels whose coordinates from its origin add up to an odd number; an
    // origin one column left of the corner marks the corner itself.
    m_painter->setBrushOrigin(rect.left + 1, rect.top);
    auto strip = [&](const Rect& part) {
        if (!part.IsEmpty()) {
            m_painter->fillRect(part.ToQRect(), dots);
        }
    };
    strip(Rect{rect.left, rect.top, rect.right, rect.top + 1});
    if (rect.Height() > 1) {
        strip(Rect{rect.left, rect.bottom - 1, rect.right, rect.bottom});
    }
    strip(Rect{rect.left, rect.top + 1, rect.left + 1, rect.bottom - 1});
    if (rect.Width() > 1) {
        strip(Rect{rect.right - 1, rect.top + 1, rect.right, rect.bottom - 1});
    }
    m_painter->restore();
}

Rect Canvas::DrawSunkenEdge(const Rect& rect)
{
    Draw3dRect(rect, SysColor::kButtonShadow, SysColor::kButtonHighlight);
    Draw3dRect(rect.Deflated(1, 1), SysColor::k3dDarkShadow, SysColor::k3dLight);
    return rect.Deflated(2, 2);
}

void Canvas::DrawSizeGrip(const Rect& rect)
{
    constexpr int kRidges = 3;
    constexpr int kRidgeStep = 4;
    const int size = std::min(rect.Width(), rect.Height());
    const int right = rect.right - 1;
    const int bottom = rect.bottom - 1;
    // Pixels at the same distance from the corner (dx + dy) form one diagonal line.
    auto diagonal = [&](int distance, ColorRef colour) {
        if (distance >= size) {
            return;
        }
        for (int step = 0; step <= distance; ++step) {
            FillSolidRect(RectFromSize(right - step, bottom - (distance - step), 1, 1), colour);
        }
    };
    for (int ridge = 0; ridge < kRidges; ++ridge) {
        const int first = ridge * kRidgeStep + 1;
        diagonal(first, SysColor::kButtonHighlight);
        diagonal(first + 1, SysColor::kButtonShadow);
        diagonal(first + 2, SysColor::kButtonShadow);
    }
}

void Canvas::DrawImage(int x, int y, const QImage& source, int sourceX, int sourceY, int width, int height)
{
    if (width < 0) {
        width = source.width() - sourceX;
    }
    if (height < 0) {
        height = source.height() - sourceY;
    }
    if (width <= 0 || height <= 0 || source.isNull()) {
        return;
    }
    const QRect part(sourceX, sourceY, width, height);
    m_painter->save();
    m_painter->setCompositionMode(QPainter::CompositionMode_Source);
    const bool targetHasAlpha = m_image == nullptr || m_image->hasAlphaChannel();
    if (!targetHasAlpha && source.hasAlphaChannel()) {
        // A plain copy onto pixels without alpha keeps the colour bytes and drops the alpha.
        m_painter->drawImage(QPoint(x, y), source.copy(part).convertToFormat(QImage::Format_RGB32));
    } else {
        m_painter->drawImage(QPoint(x, y), source, part);
    }
    m_painter->restore();
}

ColorRef Canvas::GetPixel(int x, int y) const
{
    QPoint offset;
    if (m_image == nullptr || !DeviceOffset(offset)) {
        return kInvalidColor;
    }
    const int px = x + offset.x();
    const int py = y + offset.y();
    if (!m_image->valid(px, py)) {
        return kInvalidColor;
    }
    return FromArgb32(m_image->pixel(px, py));
}

void Canvas::SetPixel(int x, int y, ColorRef colour)
{
    FillSolidRect(RectFromSize(x, y, 1, 1), colour);
}

}  // namespace platform
