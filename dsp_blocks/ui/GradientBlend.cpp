#include "dsp_blocks/ui/GradientBlend.h"

#include <algorithm>
#include <vector>

#include <QImage>
#include <QPainter>

#include "platform/ui/drawing/BlendBits.h"

namespace {

constexpr int kOpaque = 255;

// Without readable pixels the toolkit blends (within 1 of the exact blend).
void BlendThroughPainter(platform::Canvas& canvas, const platform::Rect& rect, platform::ColorRef leftColour,
                         platform::ColorRef rightColour, int alpha)
{
    QImage gradient(rect.Width(), 1, QImage::Format_RGB32);
    for (int x = 0; x < rect.Width(); ++x) {
        gradient.setPixel(x, 0, platform::ToArgb32(platform::GradientStep(leftColour, rightColour, x, rect.Width())));
    }
    QPainter& painter = canvas.Painter();
    painter.save();
    painter.setOpacity(static_cast<double>(alpha) / kOpaque);
    painter.drawImage(rect.ToQRect(), gradient);
    painter.restore();
}

}  // namespace

void BlendHorizontalGradient(platform::Canvas& canvas, const platform::Rect& rect, platform::ColorRef leftColour,
                             platform::ColorRef rightColour, int alpha)
{
    alpha = std::clamp(alpha, 0, kOpaque);
    if (rect.IsEmpty() || alpha == 0) {
        return;
    }
    QImage* image = canvas.TargetImage();
    QPoint offset;
    const bool plainImage = image != nullptr && canvas.DeviceOffset(offset) &&
                            (image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32);
    if (!plainImage) {
        BlendThroughPainter(canvas, rect, leftColour, rightColour, alpha);
        return;
    }
    platform::Rect area = rect;
    const QPainter& painter = canvas.Painter();
    if (painter.hasClipping()) {
        area = area.Intersected(platform::Rect::FromQRect(painter.clipBoundingRect().toAlignedRect()));
    }
    area = area.Offset(offset.x(), offset.y()).Intersected(platform::Rect{0, 0, image->width(), image->height()});
    if (area.IsEmpty()) {
        return;
    }
    // The gradient's columns count from the rectangle's own left edge, clipped or not.
    const int firstColumn = area.left - (rect.left + offset.x());
    std::vector<platform::ColorRef> columns(static_cast<std::size_t>(area.Width()));
    for (int x = 0; x < area.Width(); ++x) {
        columns[static_cast<std::size_t>(x)] = platform::GradientStep(leftColour, rightColour, firstColumn + x, rect.Width());
    }
    for (int y = area.top; y < area.bottom; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image->scanLine(y)) + area.left;
        for (int x = 0; x < area.Width(); ++x) {
            const platform::ColorRef source = columns[static_cast<std::size_t>(x)];
            const QRgb pixel = row[x];
            row[x] = qRgba(platform::BlendChannel(qRed(pixel), platform::RedOf(source), alpha),
                           platform::BlendChannel(qGreen(pixel), platform::GreenOf(source), alpha),
                           platform::BlendChannel(qBlue(pixel), platform::BlueOf(source), alpha), qAlpha(pixel));
        }
    }
}
