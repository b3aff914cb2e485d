// Template 327: the output-polarity panel (one owner-drawn polarity button per amplifier
// output).
#pragma once

#include <array>

#include "resources/templates/DialogTemplate.h"

namespace OutputPolarityPanelIds {
inline constexpr std::uint32_t kTemplateId = 327;
// The polarity buttons of outputs 1 to 4.
inline constexpr std::array<std::int32_t, 4> kButtons{1120, 1005, 1004, 1006};
}  // namespace OutputPolarityPanelIds

extern const DialogTemplate kOutputPolarityPanelTemplate;
