#include "platform/ui/drawing/DibSection.h"

#include <cstring>

namespace platform {

DibSection DibSection::Create32(int width, int height)
{
    DibSection section;
    if (width < 1 || height < 1) {
        return section;
    }
    section.m_rows = QImage(width, height, QImage::Format_ARGB32);
    if (section.m_rows.isNull()) {
        return section;
    }
    section.m_rows.fill(0);
    section.m_header = DibHeader{width, height, 32};
    return section;
}

DibSection DibSection::FromImage(const QImage& picture)
{
    const QImage straight = picture.convertToFormat(QImage::Format_ARGB32);
    DibSection section = Create32(straight.width(), straight.height());
    if (section.IsNull()) {
        return section;
    }
    const int rows = straight.height();
    const auto bytes = static_cast<std::size_t>(straight.width()) * 4;
    for (int row = 0; row < rows; ++row) {
        std::memcpy(section.m_rows.scanLine(rows - 1 - row), straight.constScanLine(row), bytes);
    }
    return section;
}

QImage DibSection::ToImage() const
{
    if (IsNull()) {
        return QImage();
    }
    return m_rows.mirrored(false, true);
}

DibHeader DibHeaderOf(const QImage& image)
{
    int bits = 0;
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        bits = 32;
        break;
    case QImage::Format_BGR888:
        bits = 24;
        break;
    default:
        return DibHeader{0, 0, 32};
    }
    const DibHeader header{image.width(), -image.height(), static_cast<std::uint16_t>(bits)};
    // Qt pads rows to 4 bytes as the header's stride rule does; anything else is not a DIB.
    if (image.isNull() || image.bytesPerLine() != DibStride(header)) {
        return DibHeader{0, 0, 32};
    }
    return header;
}

}  // namespace platform
