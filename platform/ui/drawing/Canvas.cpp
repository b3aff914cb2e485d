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

// Text as it is shown: without the mnemonic marks, and on one line when asked.
QString ShownText(const QString& text, unsigned flags)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (!(flags & TextFlag::kNoPrefix) && c == u'&') {
            if (i + 1 < text.size() && text[i + 1] == u'&') {
                shown += u'&';
                ++i;
            }
            continue;
        }
        if ((flags & TextFlag::kSingleLine) && (c == u'\n' || c == u'\r')) {
            c = u' ';
        }
        shown += c;
    }
    return shown;
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
        FillSolidRect(Rect{rect.left, rect.top, rect.right, rect.top + 1}, pen.colour);
        FillSolidRect(Rect{rect.left, rect.bottom - 1, rect.right, rect.bottom}, pen.colour);
        FillSolidRect(Rect{rect.left, rect.top, rect.left + 1, rect.bottom}, pen.colour);
        FillSolidRect(Rect{rect.right - 1, rect.top, rect.right, rect.bottom}, pen.colour);
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
    if (from == to || m_state.pen.style == PenStyle::Null) {
        return;
    }
    const bool antiAliased = m_state.drawMode == DrawMode::AntiAliased;
    const QPointF half = antiAliased ? QPointF(0.5, 0.5) : QPointF(0.0, 0.0);
    if (m_state.pen.style == PenStyle::Dot && m_state.bkMode == BackgroundMode::Opaque) {
        // The gaps of a dotted line show the background colour in opaque mode.
        const Pen dotted = std::exchange(m_state.pen, SolidPen(m_state.bkColour, m_state.pen.width));
        ApplyPen();
        m_painter->drawLine(QPointF(from) + half, QPointF(to) + half);
        m_state.pen = dotted;
    }
    ApplyPen();
    m_painter->drawLine(QPointF(from) + half, QPointF(to) + half);
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

int Canvas::LineHeight() const
{
    return QFontMetrics(m_state.font, m_painter->device()).height();
}

QSize Canvas::TextExtent(const QString& text) const
{
    const QFontMetrics metrics(m_state.font, m_painter->device());
    return QSize(metrics.horizontalAdvance(text), metrics.height());
}

int Canvas::DrawText(std::string_view utf8, Rect& rect, unsigned flags)
{
    return DrawText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())), rect, flags);
}

int Canvas::DrawText(const QString& text, Rect& rect, unsigned flags)
{
    const QFontMetrics metrics(m_state.font, m_painter->device());
    const int lineHeight = metrics.height();
    QStringList lines;
    if (flags & TextFlag::kSingleLine) {
        lines << ShownText(text, flags);
    } else {
        for (const QString& line : text.split(u'\n')) {
            QString shown = ShownText(line, flags);
            shown.remove(u'\r');
            lines << shown;
        }
    }
    std::vector<int> widths;
    int widest = 0;
    for (QString& line : lines) {
        if ((flags & TextFlag::kEndEllipsis) && metrics.horizontalAdvance(line) > rect.Width()) {
            line = metrics.elidedText(line, Qt::ElideRight, std::max(rect.Width(), 0));
        }
        widths.push_back(metrics.horizontalAdvance(line));
        widest = std::max(widest, widths.back());
    }
    const int totalHeight = lineHeight * static_cast<int>(lines.size());
    if (flags & TextFlag::kCalcRect) {
        rect.right = rect.left + widest;
        rect.bottom = rect.top + totalHeight;
        return totalHeight;
    }

    int y = rect.top;
    if (flags & TextFlag::kSingleLine) {
        if (flags & TextFlag::kVCenter) {
            y = rect.top + (rect.Height() - lineHeight) / 2;
        } else if (flags & TextFlag::kBottom) {
            y = rect.bottom - lineHeight;
        }
    }
    m_painter->save();
    if (!(flags & TextFlag::kNoClip)) {
        IntersectClipRect(rect);
    }
    m_painter->setPen(ToQColor(m_state.textColour));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int width = widths[static_cast<std::size_t>(i)];
        int x = rect.left;
        if (flags & TextFlag::kCenter) {
            x = rect.left + (rect.Width() - width) / 2;
        } else if (flags & TextFlag::kRight) {
            x = rect.right - width;
        }
        const int top = y + static_cast<int>(i) * lineHeight;
        if (m_state.bkMode == BackgroundMode::Opaque) {
            m_painter->fillRect(QRect(x, top, width, lineHeight), ToQColor(m_state.bkColour));
        }
        m_painter->drawText(QPoint(x, top + metrics.ascent()), lines[i]);
    }
    m_painter->restore();
    return totalHeight;
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
