// Pixel blending on device-independent bitmap bytes: the header that describes them, the row
// addressing (bottom-up for a positive height) and the exact integer blend of a 32-bit image
// with per-pixel alpha onto another image. No toolkit: plain bytes in, plain bytes out.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

struct DibHeader {
    std::int32_t width = 0;
    // Positive: rows are stored bottom-up (the picture's top row last). Negative: top-down.
    std::int32_t height = 0;
    std::uint16_t bitsPerPixel = 32;  // 24 (blue, green, red) or 32 (blue, green, red, alpha)
};

// Bytes per row: rows are padded to a multiple of 4 bytes.
std::int64_t DibStride(const DibHeader& header);
// Bytes of the whole pixel array (stride x number of rows); 0 for a header that is not valid.
std::int64_t DibImageSize(const DibHeader& header);
// Offset of row `row` counted from the picture's top.
std::int64_t DibRowOffset(const DibHeader& header, std::int32_t row);

// The rectangle a blend touches once clipped, or nothing.
struct BlendRegion {
    std::int32_t destinationX = 0;
    std::int32_t destinationY = 0;
    std::int32_t sourceX = 0;
    std::int32_t sourceY = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// Clips a blend of width x height pixels from (sourceX, sourceY) of a source of sourceWidth x
// sourceHeight to (destinationX, destinationY) of a destination of destinationWidth x
// destinationHeight. A negative destination start moves the source start right (down) by as
// much. The region stays inside both images, the source start included; false when nothing
// is left to draw.
bool ClipBlend(std::int32_t destinationWidth, std::int32_t destinationHeight, std::int32_t destinationX,
               std::int32_t destinationY, std::int32_t width, std::int32_t height, std::int32_t sourceWidth,
               std::int32_t sourceHeight, std::int32_t sourceX, std::int32_t sourceY, BlendRegion& region);

// One colour byte of a blend: d + (s - d) * a / 255, the division truncating toward zero.
int BlendChannel(int destination, int source, int alpha);

// Blends (or copies) the source rectangle onto the destination. With perPixelAlpha and a
// 32-bit source, each colour byte becomes d + (s - d) * a / 255 (a the source alpha, the
// division truncating toward zero), and a 32-bit destination's alpha d + (a - d) * a / 255;
// otherwise the common bytes of each pixel are copied. Both byte arrays must hold
// DibImageSize of their header; images of other depths, or an empty clip, leave the
// destination as it is.
void BlendBits(const DibHeader& destinationHeader, std::uint8_t* destinationBits, std::int32_t destinationX,
               std::int32_t destinationY, std::int32_t width, std::int32_t height, const DibHeader& sourceHeader,
               const std::uint8_t* sourceBits, std::int32_t sourceX, std::int32_t sourceY, bool perPixelAlpha);

}  // namespace platform
