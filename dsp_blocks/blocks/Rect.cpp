// Rectangle arithmetic with exclusive right and bottom edges.
#include "dsp_blocks/blocks/Rect.h"

#include <algorithm>
#include <cstdint>
#include <utility>

bool IsRectEmpty(const Rect& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

bool PtInRect(const Rect& r, std::int32_t x, std::int32_t y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

Rect UnionRect(const Rect& a, const Rect& b)
{
    const bool aEmpty = IsRectEmpty(a);
    const bool bEmpty = IsRectEmpty(b);
    if (aEmpty && bEmpty) {
        return Rect{};
    }
    if (aEmpty) {
        return b;
    }
    if (bEmpty) {
        return a;
    }
    return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

bool IntersectRect(Rect& out, const Rect& a, const Rect& b)
{
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (IsRectEmpty(r)) {
        out = Rect{};
        return false;
    }
    out = r;
    return true;
}

Rect NormalizeRect(const Rect& r)
{
    Rect n = r;
    if (n.left > n.right) {
        std::swap(n.left, n.right);
    }
    if (n.top > n.bottom) {
        std::swap(n.top, n.bottom);
    }
    return n;
}

namespace {

// Coordinates saturate instead of wrapping, so a wild drag cannot overflow.
std::int32_t AddSaturated(std::int32_t a, std::int32_t b)
{
    const std::int64_t sum = static_cast<std::int64_t>(a) + b;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(sum, INT32_MIN, INT32_MAX));
}

}  // namespace

void OffsetRect(Rect& r, std::int32_t dx, std::int32_t dy)
{
    r.left = AddSaturated(r.left, dx);
    r.right = AddSaturated(r.right, dx);
    r.top = AddSaturated(r.top, dy);
    r.bottom = AddSaturated(r.bottom, dy);
}
