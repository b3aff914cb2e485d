// The main view's row layout of its child views, on plain sizes: rows numbered from 0, each
// as high as its tallest view; the first pass places every view at its natural size, the
// second hands the spare width of each row to its stretching views and lets the last row
// fill the remaining height. Positions, sizes and sums are 64-bit, so no set of items can
// overflow them.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

struct RowLayoutItem {
    std::int32_t row = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool stretch = false;
};

struct RowLayoutPlace {
    // False for a view whose row comes after the first row number without any view: it is
    // never placed (its window is hidden rather than left over row 0).
    bool placed = false;
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
};

struct RowLayoutResult {
    std::int64_t width = 0;   // max(natural layout width, client width)
    std::int64_t height = 0;  // max(natural layout height, client height)
    std::vector<RowLayoutPlace> places;  // one per item, in item order
};

RowLayoutResult LayOutRows(std::span<const RowLayoutItem> items, std::int32_t clientWidth, std::int32_t clientHeight);
