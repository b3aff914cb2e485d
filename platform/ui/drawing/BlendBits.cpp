#include "platform/ui/drawing/BlendBits.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

bool SupportedDepth(const DibHeader& header)
{
    return (header.bitsPerPixel == 24 || header.bitsPerPixel == 32) && header.width > 0 && header.height != 0;
}

std::int64_t Rows(const DibHeader& header)
{
    return std::llabs(static_cast<long long>(header.height));
}

}  // namespace

int BlendChannel(int destination, int source, int alpha)
{
    return destination + (source - destination) * alpha / 255;
}

std::int64_t DibStride(const DibHeader& header)
{
    if (header.width <= 0) {
        return 0;
    }
    return (static_cast<std::int64_t>(header.bitsPerPixel) * header.width + 31) / 32 * 4;
}

std::int64_t DibImageSize(const DibHeader& header)
{
    return DibStride(header) * Rows(header);
}

std::int64_t DibRowOffset(const DibHeader& header, std::int32_t row)
{
    if (header.height > 0) {
        return (static_cast<std::int64_t>(header.height) - 1 - row) * DibStride(header);
    }
    return static_cast<std::int64_t>(row) * DibStride(header);
}

bool ClipBlend(std::int32_t destinationWidth, std::int32_t destinationHeight, std::int32_t destinationX,
               std::int32_t destinationY, std::int32_t width, std::int32_t height, std::int32_t sourceWidth,
               std::int32_t sourceHeight, std::int32_t sourceX, std::int32_t sourceY, BlendRegion& region)
{
    // 64 bits: a far negative start must not wrap the width around.
    std::int64_t w = std::min<std::int64_t>(width, sourceWidth);
    std::int64_t h = std::min<std::int64_t>(height, sourceHeight);
    std::int64_t dx = destinationX;
    std::int64_t dy = destinationY;
    std::int64_t sx = sourceX;
    std::int64_t sy = sourceY;
    if (dx < 0) {
        sx -= dx;
        w += dx;
        dx = 0;
    }
    if (dy < 0) {
        sy -= dy;
        h += dy;
        dy = 0;
    }
    w = std::min<std::int64_t>(w, destinationWidth - dx);
    h = std::min<std::int64_t>(h, destinationHeight - dy);
    if (dx >= destinationWidth || dy >= destinationHeight || sx < 0 || sy < 0 || sx >= sourceWidth ||
        sy >= sourceHeight) {
        return false;
    }
    // The source rectangle must end inside the source as well, not only start there.
    w = std::min<std::int64_t>(w, sourceWidth - sx);
    h = std::min<std::int64_t>(h, sourceHeight - sy);
    if (w < 1 || h < 1) {
        return false;
    }
    region = BlendRegion{static_cast<std::int32_t>(dx), static_cast<std::int32_t>(dy), static_cast<std::int32_t>(sx),
                         static_cast<std::int32_t>(sy), static_cast<std::int32_t>(w), static_cast<std::int32_t>(h)};
    return true;
}

void BlendBits(const DibHeader& destinationHeader, std::uint8_t* destinationBits, std::int32_t destinationX,
               std::int32_t destinationY, std::int32_t width, std::int32_t height, const DibHeader& sourceHeader,
               const std::uint8_t* sourceBits, std::int32_t sourceX, std::int32_t sourceY, bool perPixelAlpha)
{
    if (destinationBits == nullptr || sourceBits == nullptr || !SupportedDepth(destinationHeader) ||
        !SupportedDepth(sourceHeader)) {
        return;
    }
    const std::int64_t destinationRows = Rows(destinationHeader);
    const std::int64_t sourceRows = Rows(sourceHeader);
    if (destinationRows > INT32_MAX || sourceRows > INT32_MAX) {
        return;
    }
    BlendRegion region;
    if (!ClipBlend(destinationHeader.width, static_cast<std::int32_t>(destinationRows), destinationX, destinationY,
                   width, height, sourceHeader.width, static_cast<std::int32_t>(sourceRows), sourceX, sourceY,
                   region)) {
        return;
    }
    const int destinationBytes = destinationHeader.bitsPerPixel / 8;
    const int sourceBytes = sourceHeader.bitsPerPixel / 8;
    const bool blend = perPixelAlpha && sourceBytes == 4;
    const int copied = std::min(destinationBytes, sourceBytes);
    for (std::int32_t row = 0; row < region.height; ++row) {
        std::uint8_t* d = destinationBits + DibRowOffset(destinationHeader, region.destinationY + row) +
                          static_cast<std::int64_t>(region.destinationX) * destinationBytes;
        const std::uint8_t* s = sourceBits + DibRowOffset(sourceHeader, region.sourceY + row) +
                                static_cast<std::int64_t>(region.sourceX) * sourceBytes;
        for (std::int32_t column = 0; column < region.width; ++column) {
            if (blend) {
                const int alpha = s[3];
                for (int channel = 0; channel < 3; ++channel) {
                    d[channel] = static_cast<std::uint8_t>(BlendChannel(d[channel], s[channel], alpha));
                }
                if (destinationBytes == 4) {
                    d[3] = static_cast<std::uint8_t>(BlendChannel(d[3], alpha, alpha));
                }
            } else {
                std::memcpy(d, s, static_cast<std::size_t>(copied));
            }
            d += destinationBytes;
            s += sourceBytes;
        }
    }
}

}  // namespace platform
