// Colour words as the design writes them: 0x00BBGGRR, red in the low byte. Qt's QRgb keeps
// red in the third byte (0xAARRGGBB), so every crossing goes through these conversions.
#pragma once

#include <cstdint>

namespace platform {

using ColorRef = std::uint32_t;

// Returned where no colour can be given (a pixel outside the image, a device without pixels).
inline constexpr ColorRef kInvalidColor = 0xFFFFFFFF;

constexpr ColorRef Rgb(int red, int green, int blue)
{
    return static_cast<ColorRef>(red & 0xFF) | (static_cast<ColorRef>(green & 0xFF) << 8) |
           (static_cast<ColorRef>(blue & 0xFF) << 16);
}

constexpr int RedOf(ColorRef colour) { return static_cast<int>(colour & 0xFF); }
constexpr int GreenOf(ColorRef colour) { return static_cast<int>((colour >> 8) & 0xFF); }
constexpr int BlueOf(ColorRef colour) { return static_cast<int>((colour >> 16) & 0xFF); }

// Opaque 0xAARRGGBB word (the layout of QRgb and of a 32-bit QImage pixel).
constexpr std::uint32_t ToArgb32(ColorRef colour)
{
    return 0xFF000000u | (static_cast<std::uint32_t>(RedOf(colour)) << 16) |
           (static_cast<std::uint32_t>(GreenOf(colour)) << 8) | static_cast<std::uint32_t>(BlueOf(colour));
}

// The colour of a 0xAARRGGBB word; alpha is dropped.
constexpr ColorRef FromArgb32(std::uint32_t argb)
{
    return Rgb(static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
               static_cast<int>(argb & 0xFF));
}

}  // namespace platform
