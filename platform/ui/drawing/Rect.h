// A rectangle in whole pixels whose right and bottom edges lie just outside it, the way the
// windows' drawing rules count: columns left .. right - 1 and rows top .. bottom - 1.
#pragma once

#include <algorithm>

class QRect;

namespace platform {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    // True when the rectangle covers no pixel.
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    constexpr bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }

    // Moves every edge inwards by dx at the sides and dy at the top and bottom (negative grows).
    constexpr Rect Deflated(int dx, int dy) const { return Rect{left + dx, top + dy, right - dx, bottom - dy}; }
    constexpr Rect Inflated(int dx, int dy) const { return Deflated(-dx, -dy); }
    constexpr Rect Offset(int dx, int dy) const { return Rect{left + dx, top + dy, right + dx, bottom + dy}; }
    // The common part; empty (all edges of the result may cross) when they do not meet.
    constexpr Rect Intersected(const Rect& other) const
    {
        return Rect{std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                    std::min(bottom, other.bottom)};
    }

    // From and to Qt's rectangle, whose right() and bottom() are the last pixel inside.
    static Rect FromQRect(const QRect& rect);
    QRect ToQRect() const;

    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

constexpr Rect RectFromSize(int x, int y, int width, int height)
{
    return Rect{x, y, x + width, y + height};
}

}  // namespace platform
