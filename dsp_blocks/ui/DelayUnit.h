// The units the delay panel shows delays in. The delay itself is always kept in
// milliseconds; a unit only scales what the rows and the graph show.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

struct DelayUnit {
    std::uint32_t code;
    float factor;                        // display units per millisecond
    std::string_view editFormat;         // the rows' edits
    std::string_view graphLabelFormat;   // the graph's scale
    std::uint32_t listTextId;            // the units list's text
    float graphMaximum;                  // 50 ms in this unit
};

// The table in list order: milliseconds, metres, feet.
std::span<const DelayUnit> DelayUnits();
// The unit of code; a code not in the table takes the first unit.
const DelayUnit& FindDelayUnit(std::uint32_t code);

// A shown value in unit as milliseconds cut down to the 0.1 ms grid. A value that came
// from a delay on the grid lands on that delay again, however the unit's factor rounded.
float DisplayToGridMilliseconds(const DelayUnit& unit, float shown);
