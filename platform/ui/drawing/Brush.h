// Brushes as the drawing code selects them: one solid colour or hollow, plus the stock brushes.
#pragma once

#include "platform/ui/drawing/ColorRef.h"

namespace platform {

struct Brush {
    ColorRef colour = 0xFFFFFF;
    bool hollow = false;  // a hollow brush fills nothing

    friend constexpr bool operator==(const Brush&, const Brush&) = default;
};

constexpr Brush SolidBrush(ColorRef colour)
{
    return Brush{colour, false};
}

namespace StockBrush {
inline constexpr Brush kHollow{0x000000, true};
inline constexpr Brush kBlack{0x000000, false};
inline constexpr Brush kDarkGrey{0x404040, false};
inline constexpr Brush kGrey{0x808080, false};
inline constexpr Brush kLightGrey{0xC0C0C0, false};
inline constexpr Brush kWhite{0xFFFFFF, false};
}  // namespace StockBrush

}  // namespace platform
