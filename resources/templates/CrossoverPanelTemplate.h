// Template 334: the crossover panel (title, the two filter-section placeholders with their
// row captions, the impedance of the channel, and the frame of the response graph).
#pragma once

#include "resources/templates/DialogTemplate.h"

namespace CrossoverPanelIds {
inline constexpr std::uint32_t kTemplateId = 334;
inline constexpr std::int32_t kTitle = 1031;
inline constexpr std::int32_t kGraphFrame = 1014;
inline constexpr std::int32_t kImpedance = 1125;
inline constexpr std::int32_t kHighPassFrame = 1033;
inline constexpr std::int32_t kLowPassFrame = 1034;
}  // namespace CrossoverPanelIds

extern const DialogTemplate kCrossoverPanelTemplate;
