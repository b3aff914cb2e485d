// The crossover filter types offered to the user and the design behind each.
#pragma once

#include <array>
#include <cstdint>

#include "dsp_blocks/filters/FilterDesign.h"

// Type codes; a type's name is string id kFilterTypeNameIdBase + code.
namespace FilterTypeCode {
inline constexpr std::int32_t kFlat = 0;
inline constexpr std::int32_t kButterworth6 = 1;
inline constexpr std::int32_t kButterworth12 = 2;
inline constexpr std::int32_t kButterworth18 = 3;
inline constexpr std::int32_t kButterworth24 = 4;
inline constexpr std::int32_t kButterworth36 = 5;
inline constexpr std::int32_t kButterworth48 = 6;
inline constexpr std::int32_t kBessel12 = 7;
inline constexpr std::int32_t kBessel18 = 8;
inline constexpr std::int32_t kBessel24 = 9;
inline constexpr std::int32_t kBessel36 = 10;
inline constexpr std::int32_t kBessel48 = 11;
inline constexpr std::int32_t kLinkwitzRiley12 = 12;
inline constexpr std::int32_t kLinkwitzRiley24 = 13;
inline constexpr std::int32_t kLinkwitzRiley36 = 14;
inline constexpr std::int32_t kLinkwitzRiley48 = 15;
}  // namespace FilterTypeCode

inline constexpr std::uint32_t kFilterTypeNameIdBase = 16435;

struct FilterTypeEntry {
    std::int32_t typeCode;
    std::uint32_t nameId;  // string-table id of the type's name
    const FilterDesign* highPass;
    const FilterDesign* lowPass;
};

inline constexpr std::size_t kFilterTypeCount = 9;

// In the order of the filter-type combo box: entry index = combo index.
extern const std::array<FilterTypeEntry, kFilterTypeCount> FilterTypeTable;

// The high-pass or low-pass design of the first entry with that code; a code that is
// not in the table gives the bypass design. Never fails.
const FilterDesign& FindFilterTable(bool highPass, std::int32_t typeCode);
