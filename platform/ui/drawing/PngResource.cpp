#include "platform/ui/drawing/PngResource.h"

#include <QString>

#include "resources/images/ImageIds.h"
#include "resources/images/ImageResources.h"

namespace platform {

bool LoadPngResource(int id, QImage& image)
{
    InitImageResources();
    QImage decoded;
    if (!decoded.load(QStringLiteral(":/png/%1.png").arg(id), "PNG")) {
        return false;
    }
    QImage straight = decoded.convertToFormat(QImage::Format_ARGB32);
    if (straight.isNull()) {
        return false;
    }
    image = std::move(straight);
    return true;
}

QIcon ProgramIcon()
{
    InitImageResources();
    QIcon icon;
    for (int size : ImageId::kIconSizes) {
        icon.addFile(QStringLiteral(":/icon/%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

std::vector<QImage> MaskedImageList(const QImage& strip, int cellWidth)
{
    std::vector<QImage> cells;
    if (strip.isNull() || cellWidth < 1) {
        return cells;
    }
    const QImage opaque = strip.convertToFormat(QImage::Format_RGB32);
    const QRgb mask = opaque.pixel(0, opaque.height() - 1);
    const int count = opaque.width() / cellWidth;
    for (int index = 0; index < count; ++index) {
        QImage cell(cellWidth, opaque.height(), QImage::Format_ARGB32);
        for (int y = 0; y < cell.height(); ++y) {
            const auto* from = reinterpret_cast<const QRgb*>(opaque.constScanLine(y)) + index * cellWidth;
            auto* to = reinterpret_cast<QRgb*>(cell.scanLine(y));
            for (int x = 0; x < cellWidth; ++x) {
                to[x] = from[x] == mask ? 0u : from[x];
            }
        }
        cells.push_back(std::move(cell));
    }
    return cells;
}

}  // namespace platform
