// The two-pass row layout of the main view.
#include "application/ui/RowLayout.h"

#include <algorithm>

namespace {

std::vector<std::size_t> RowMembers(std::span<const RowLayoutItem> items, std::int32_t row)
{
    std::vector<std::size_t> members;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].row == row) {
            members.push_back(i);
        }
    }
    return members;
}

}  // namespace

RowLayoutResult LayOutRows(std::span<const RowLayoutItem> items, std::int32_t clientWidth, std::int32_t clientHeight)
{
    RowLayoutResult result;
    result.places.resize(items.size());

    // The rows that take part: 0, 1, 2, ... up to the first number that has no view.
    std::vector<std::vector<std::size_t>> rows;
    for (std::int32_t row = 0;; ++row) {
        std::vector<std::size_t> members = RowMembers(items, row);
        if (members.empty()) {
            break;
        }
        rows.push_back(std::move(members));
    }

    std::int64_t y = 0;
    std::int64_t layoutWidth = 0;
    for (const std::vector<std::size_t>& members : rows) {
        std::int64_t rowHeight = 0;
        for (std::size_t i : members) {
            rowHeight = std::max<std::int64_t>(rowHeight, items[i].height);
        }
        std::int64_t x = 0;
        for (std::size_t i : members) {
            result.places[i] = RowLayoutPlace{true, x, y, items[i].width, rowHeight};
            x += items[i].width;
        }
        layoutWidth = std::max(layoutWidth, x);
        y += rowHeight;
    }
    result.width = std::max<std::int64_t>(layoutWidth, clientWidth);
    result.height = std::max<std::int64_t>(y, clientHeight);

    y = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::vector<std::size_t>& members = rows[r];
        std::int64_t rowHeight = 0;
        std::int64_t sum = 0;
        std::int64_t stretching = 0;
        for (std::size_t i : members) {
            rowHeight = std::max<std::int64_t>(rowHeight, items[i].height);
            sum += items[i].width;
            stretching += items[i].stretch ? 1 : 0;
        }
        bool heightChanged = false;
        if (r + 1 == rows.size() && y + rowHeight < result.height) {
            rowHeight = result.height - y;
            heightChanged = true;
        }
        if (sum < result.width || heightChanged) {
            std::int64_t spare = result.width - sum;
            std::int64_t x = 0;
            for (std::size_t i : members) {
                std::int64_t width = items[i].width;
                if (items[i].stretch && stretching > 0) {
                    // The last stretching view takes whatever the divisions left over.
                    const std::int64_t share = spare / stretching;
                    width += share;
                    spare -= share;
                    --stretching;
                }
                result.places[i] = RowLayoutPlace{true, x, y, width, rowHeight};
                x += width;
            }
        }
        y += rowHeight;
    }
    return result;
}
