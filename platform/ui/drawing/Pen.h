// Pens as the drawing code selects them: colour, width in pixels and style, plus the stock pens.
#pragma once

#include "platform/ui/drawing/ColorRef.h"

namespace platform {

enum class PenStyle {
    Solid,
    Dot,   // alternate pixels, as the focus frame and dotted guides use
    Null,  // draws nothing: shapes get only their fill
};

struct Pen {
    ColorRef colour = 0x000000;
    int width = 1;
    PenStyle style = PenStyle::Solid;

    friend constexpr bool operator==(const Pen&, const Pen&) = default;
};

constexpr Pen SolidPen(ColorRef colour, int width = 1)
{
    return Pen{colour, width, PenStyle::Solid};
}

namespace StockPen {
inline constexpr Pen kBlack{0x000000, 1, PenStyle::Solid};
inline constexpr Pen kWhite{0xFFFFFF, 1, PenStyle::Solid};
inline constexpr Pen kNull{0x000000, 1, PenStyle::Null};
}  // namespace StockPen

}  // namespace platform
