// Integer rectangles with the platform semantics the block diagram was designed on:
// right and bottom are exclusive, and a rectangle with no area is empty.
#pragma once

#include <cstdint>

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    friend bool operator==(const Rect&, const Rect&) = default;
};

// True when the rectangle has no area (also when it is reversed).
bool IsRectEmpty(const Rect& r);

// True when (x, y) lies inside; the right and bottom edges are outside.
bool PtInRect(const Rect& r, std::int32_t x, std::int32_t y);

// The smallest rectangle holding both; an empty operand is passed over, and two
// empty operands give the zero rectangle.
Rect UnionRect(const Rect& a, const Rect& b);

// The common part, or the zero rectangle with a false result when there is none.
bool IntersectRect(Rect& out, const Rect& a, const Rect& b);

// Swaps left/right and top/bottom where they are reversed.
Rect NormalizeRect(const Rect& r);

void OffsetRect(Rect& r, std::int32_t dx, std::int32_t dy);
