#include "platform/ui/drawing/BitmapAlpha.h"

#include <utility>

#include <QPainter>

namespace platform {

namespace {

// The source as bytes BlendBits can read: 32-bit images with straight alpha and 24-bit ones
// as they are, anything else converted.
QImage BlendableSource(const QImage& source)
{
    switch (source.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_BGR888:
        return source;
    default:
        return source.convertToFormat(source.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    }
}

void DrawWithToolkitBlend(Canvas& dc, int x, int y, int width, int height, const QImage& source, int sourceX,
                          int sourceY)
{
    // Only the source limits the rectangle here; the painter clips to the window.
    constexpr std::int32_t kUnbounded = INT32_MAX / 2;
    BlendRegion region;
    if (!ClipBlend(kUnbounded, kUnbounded, 0, 0, width, height, source.width(), source.height(), sourceX, sourceY,
                   region)) {
        return;
    }
    QPainter& painter = dc.Painter();
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(QPoint(x, y), source, QRect(region.sourceX, region.sourceY, region.width, region.height));
    painter.restore();
}

}  // namespace

bool CopyFromDc(Canvas& dc, int x, int y, int width, int height, DibSection& out)
{
    QImage* image = dc.TargetImage();
    QPoint offset;
    if (image == nullptr || width < 1 || height < 1 || !dc.DeviceOffset(offset)) {
        return false;
    }
    const QImage part =
        image->copy(QRect(x + offset.x(), y + offset.y(), width, height)).convertToFormat(QImage::Format_ARGB32);
    DibSection copy = DibSection::FromImage(part);
    if (copy.IsNull()) {
        return false;
    }
    out = std::move(copy);
    return true;
}

void CopyToDc(const DibSection& bitmap, Canvas& dc, int x, int y, int width, int height)
{
    dc.DrawImage(x, y, bitmap.ToImage(), 0, 0, width, height);
}

void DrawBitmapAlpha(Canvas& dc, int x, int y, int width, int height, const QImage& source, int sourceX, int sourceY)
{
    if (source.isNull() || width < 1 || height < 1) {
        return;
    }
    const QImage blendable = BlendableSource(source);
    DibSection copy;
    if (!CopyFromDc(dc, x, y, width, height, copy)) {
        DrawWithToolkitBlend(dc, x, y, width, height, blendable, sourceX, sourceY);
        return;
    }
    BlendBits(copy.Header(), copy.Bits(), 0, 0, width, height, DibHeaderOf(blendable), blendable.constBits(), sourceX,
              sourceY, true);
    CopyToDc(copy, dc, x, y, width, height);
}

}  // namespace platform
