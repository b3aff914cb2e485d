// Template 336: one band row of the input-EQ panel (title, filter type, frequency, width and
// gain edits with their spins, the gain slider of graphic mode with its end labels, and a
// bypass button below that the row cuts off).
#pragma once

#include <array>
#include <string_view>

#include "resources/templates/DialogTemplate.h"

namespace BandRowIds {
inline constexpr std::uint32_t kTemplateId = 336;
inline constexpr std::int32_t kTitle = 1031;
inline constexpr std::int32_t kType = 1153;
inline constexpr std::int32_t kFrequency = 1024;
inline constexpr std::int32_t kFrequencySpin = 1028;
inline constexpr std::int32_t kWidth = 1026;
inline constexpr std::int32_t kWidthSpin = 1030;
inline constexpr std::int32_t kGain = 1025;
inline constexpr std::int32_t kGainSpin = 1029;
inline constexpr std::int32_t kGainSlider = 1001;
inline constexpr std::int32_t kBypass = 1021;
inline constexpr std::int32_t kSliderTopLabel = 1102;
inline constexpr std::int32_t kSliderBottomLabel = 16569;
// The type list's items; an item's index is the band type.
inline constexpr std::array<std::string_view, 4> kTypeNames{"PEQ", "HighShelf", "LowShelf", "Notch"};
}  // namespace BandRowIds

extern const DialogTemplate kBandRowTemplate;
